#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under a virtual X server.
#
#   scripts/test.sh                     the normal build, in build/
#   scripts/test.sh --sanitize=address  AddressSanitizer with UndefinedBehaviorSanitizer, in build-asan/
#   scripts/test.sh --sanitize=thread   ThreadSanitizer, in build-tsan/
#   scripts/test.sh --clang             built by Clang, in build-clang/
#   scripts/test.sh --plain-paths       no hand-written vector code (TOVRA_PLAIN_PATHS), in build-plain/
#
# Any further arguments go to ctest, e.g. -L '^(engine|tracking|core)$' for the tests of those
# folders only (each test is labelled with its folder under tests/). TOVRA_BUILD_TARGETS limits
# the build to those targets (e.g. "tests-engine tests-core": each folder's test programs).
# TOVRA_BUILD_JOBS and TOVRA_TEST_JOBS limit the parallel jobs (default: one per core).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

sanitize=""
variant=""
case "${1:-}" in
--sanitize=address | --sanitize=thread)
    sanitize="${1#--sanitize=}"
    shift
    ;;
--sanitize=*)
    echo "test.sh: --sanitize takes address or thread, not '${1#--sanitize=}'" >&2
    exit 2
    ;;
--clang | --plain-paths)
    variant="${1#--}"
    shift
    ;;
esac

ctest_args=(--output-on-failure --parallel "${TOVRA_TEST_JOBS:-$(nproc)}" --timeout 600)
if [ "$variant" = clang ]; then
    scripts/install-deps.sh clang
else
    scripts/install-deps.sh
fi
case "$sanitize$variant" in
"")
    scripts/build.sh
    dir=build
    ;;
clang)
    dir=build-clang
    CC=clang CXX=clang++ TOVRA_BUILD_DIR=$dir scripts/build.sh
    ;;
plain-paths)
    dir=build-plain
    TOVRA_BUILD_DIR=$dir scripts/build.sh -DTOVRA_PLAIN_PATHS=ON
    ;;
address)
    dir=build-asan
    TOVRA_BUILD_DIR=$dir scripts/build.sh -DTOVRA_SANITIZE=address
    # A report ends the test that made it (halt_on_error), so it fails and shows the report.
    export ASAN_OPTIONS="detect_leaks=1:strict_init_order=1"
    export LSAN_OPTIONS="suppressions=$root/scripts/sanitizers/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    # OpenCV probes its gphoto2 back end (still cameras over USB) for every file it opens, and
    # gphoto2 leaks a USB device list on each probe, in a module it has unloaded by exit (no
    # name to suppress it by). The file camera never needs it.
    export OPENCV_VIDEOIO_PRIORITY_GPHOTO2=0
    # Qt's X11 platform loads its GLX integration, and with it Mesa's driver where one is
    # installed (libgl1-mesa-dri), which keeps a buffer in a static and is unloaded at exit: a
    # leak from an unknown module, which no suppression can name. Nothing here draws with GL.
    export QT_XCB_GL_INTEGRATION=none
    ;;
thread)
    dir=build-tsan
    TOVRA_BUILD_DIR=$dir scripts/build.sh -DTOVRA_SANITIZE=thread
    # Any report left after the suppressions makes the test exit with 66, so it fails.
    # Accesses that libraries built without it make through its interceptors (memcpy, free...)
    # are not checked; their locks still count.
    export TSAN_OPTIONS="suppressions=$root/scripts/sanitizers/tsan.supp:print_suppressions=0:second_deadlock_stack=1:ignore_noninstrumented_modules=1"
    ;;
esac

cd "$dir"
# One X server for the whole run; tests that need none use Qt's offscreen platform. Xvfb picks a
# free display number itself and tells it (-displayfd): runs started side by side on one machine
# never take the same one, as xvfb-run -a can.
xserver_dir=$(mktemp -d)
Xvfb -displayfd 3 -nolisten tcp -screen 0 1920x1080x24 +extension RANDR -noreset \
    3>"$xserver_dir/display" >"$xserver_dir/log" 2>&1 &
xserver=$!
trap 'kill "$xserver" 2>/dev/null; wait "$xserver" 2>/dev/null; rm -rf "$xserver_dir"' EXIT
for _ in $(seq 1200); do
    [ -n "$(cat "$xserver_dir/display")" ] && break
    if ! kill -0 "$xserver" 2>/dev/null; then
        echo "test.sh: Xvfb did not start:" >&2
        cat "$xserver_dir/log" >&2
        exit 1
    fi
    sleep 0.1
done
if [ -z "$(cat "$xserver_dir/display")" ]; then
    echo "test.sh: Xvfb told no display number within two minutes" >&2
    exit 1
fi
export DISPLAY=":$(head -n 1 "$xserver_dir/display")"
if [ -n "$sanitize" ]; then
    # The sanitizers slow the program several times over: tests that hold it to a frame rate or
    # to a time limit cannot pass, and say nothing about memory or threads. Listed, not run.
    echo "Not run under the $sanitize sanitizer (label 'timing': they assume the speed of a normal build):"
    ctest -N -L '^timing$' | sed -n 's/^ *Test *#[0-9]*: /    /p'
    ctest_args+=(-LE '^timing$')
    # The random engine sequences look for the same faults at any speed: a share of them is
    # enough where every pass costs several times more.
    if [ "$sanitize" = thread ]; then
        export TOVRA_ENGINE_SEQUENCES="${TOVRA_ENGINE_SEQUENCES:-1000}"
    else
        export TOVRA_ENGINE_SEQUENCES="${TOVRA_ENGINE_SEQUENCES:-2000}"
    fi
fi
ctest "${ctest_args[@]}" "$@"
