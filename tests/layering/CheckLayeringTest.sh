#!/usr/bin/env bash
# The layering check on a small tree of its own: every kind of fault is named with its file
# and line, and a tree that goes one way passes.
set -uo pipefail
check=${1:?usage: CheckLayeringTest.sh path/to/check-layering.sh}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
failures=0
expect() { # description, condition
    if ! eval "$2"; then
        echo "FAILED: $1"
        failures=$((failures + 1))
    fi
}

mkdir -p "$tree"/{engine,vision,platform/x11,ui/settings,ui/clickwindows,tests/engine,tests/support}
printf '#include "vision/FrameRecords.h"\n#include "platform/Platform.h"\n' >"$tree/engine/Good.cpp"
printf '#include <X11/Xlib.h>\n' >"$tree/platform/x11/Native.cpp"
printf '#include "ui/clickwindows/ClickPauseWindow.h"\n' >"$tree/ui/settings/Holder.cpp"
printf '#include "engine/ClickEngine.h"\n#include "tests/support/TestHome.h"\n#include <X11/Xlib.h>\n' \
    >"$tree/tests/engine/Reads.cpp"
out=$("$check" "$tree" 2>&1)
expect "a tree that goes one way passes (got: $out)" '[ $? -eq 0 ] && [ -z "$out" ]'

printf '// the engine reaching up\n#include "tracking/QTracker.h"\n' >"$tree/engine/Up.cpp"
printf '#include "ui/settings/SettingsWindow.h"\n' >"$tree/ui/clickwindows/Up.cpp"
printf '#include "app/Startup.h"\n' >"$tree/tests/engine/Up.cpp"
printf '#include <QX11Info>\n#include <xcb/xcb.h>\n' >"$tree/vision/Native.cpp"
out=$("$check" "$tree" 2>&1)
status=$?
expect "an upward include fails the check" '[ $status -ne 0 ]'
expect "the engine file and line are named (got: $out)" 'grep -q "^engine/Up.cpp:2: .*tracking/" <<<"$out"'
expect "a sub-folder below its holder is checked (got: $out)" 'grep -q "^ui/clickwindows/Up.cpp:1: " <<<"$out"'
expect "tests follow the folder they test (got: $out)" 'grep -q "^tests/engine/Up.cpp:1: " <<<"$out"'
expect "X11 outside platform is named (got: $out)" 'grep -q "^vision/Native.cpp:1: .*QX11Info" <<<"$out"'
expect "xcb outside platform is named (got: $out)" 'grep -q "^vision/Native.cpp:2: .*xcb/xcb.h" <<<"$out"'
expect "nothing else is named (got: $out)" '[ "$(wc -l <<<"$out")" -eq 5 ]'
exit $failures
