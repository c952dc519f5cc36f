#!/usr/bin/env bash
# Configures and builds into build/ (shared by run.sh and test.sh), or into the folder
# TOVRA_BUILD_DIR names. Arguments go to cmake's configure step. TOVRA_BUILD_TARGETS, when set,
# names the targets to build (e.g. "tests-vision"); everything is built otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="${TOVRA_BUILD_DIR:-build}"
generator=()
if command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
else
    cmake -S . -B "$dir" "$@" >/dev/null
fi
targets=()
if [ -n "${TOVRA_BUILD_TARGETS:-}" ]; then
    read -r -a names <<<"$TOVRA_BUILD_TARGETS"
    targets=(--target "${names[@]}")
fi
cmake --build "$dir" --parallel "${TOVRA_BUILD_JOBS:-$(nproc)}" "${targets[@]}"
