#!/usr/bin/env bash
# The house goes one way: a file includes headers of its own folder and of folders below it,
# never above; and only platform/ talks to X11, xcb, ALSA or V4L2 directly.
# Usage: scripts/check-layering.sh [SOURCE_ROOT]   (exit 1 and one line per fault)
set -euo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root"

# From the top of the house down. A folder may include its own headers and those of any
# folder after it. ui/settings/ sits below ui/ (the main window holds the settings window),
# and ui/clickwindows/ below ui/settings/ (the settings window holds the click windows).
# bench/ and assets/ are build tools beside the program: they may include any folder.
order="bench=0 assets=0 app=1 ui=2 ui/settings=3 ui/clickwindows=4 tracking=5 engine=6
vision=7 hotkeys=8 core=9 feedback=10 platform=11"

status=0
find . \( -name 'build*' -o -name '.git' \) -prune -o \
    -type f \( -name '*.cpp' -o -name '*.h' \) -print | sed 's#^\./##' | sort |
    xargs -r awk -v order="$order" '
function folderOf(path,    best, f) {
    best = ""
    for (f in rank)
        if (index(path, f "/") == 1 && length(f) > length(best))
            best = f
    return best
}
BEGIN {
    n = split(order, pairs, /[ \n]+/)
    for (i = 1; i <= n; i++) {
        split(pairs[i], kv, "=")
        rank[kv[1]] = kv[2] + 0
    }
    faults = 0
}
FNR == 1 {
    file = FILENAME
    isTest = index(file, "tests/") == 1
    own = folderOf(isTest ? substr(file, 7) : file)
    # Shared test helpers serve every test: they may use the core and what is below it.
    if (index(file, "tests/support/") == 1)
        own = "core"
}
/^[ \t]*#[ \t]*include[ \t]*"/ {
    if (own == "")
        next
    inc = $0
    sub(/^[^"]*"/, "", inc)
    sub(/".*$/, "", inc)
    target = inc
    if (index(target, "tests/") == 1) {
        if (index(target, "tests/support/") == 1)
            next
        target = substr(target, 7)
    }
    theirs = folderOf(target)
    if (theirs != "" && rank[theirs] < rank[own]) {
        printf "%s:%d: includes \"%s\": %s/ is above %s/\n", file, FNR, inc, theirs, own
        faults++
    }
}
/^[ \t]*#[ \t]*include[ \t]*</ {
    if (isTest || own == "platform")
        next
    inc = $0
    sub(/^[^<]*</, "", inc)
    sub(/>.*$/, "", inc)
    if (inc ~ /^(X11|xcb|alsa|libv4l[0-9]*)\// || inc ~ /^(linux\/videodev2\.h|QX11Info|xcb\.h|asoundlib\.h)$/) {
        printf "%s:%d: includes <%s>: only platform/ talks to the desktop directly\n", file, FNR, inc
        faults++
    }
}
END { exit faults > 0 ? 1 : 0 }
' || status=1
exit $status
