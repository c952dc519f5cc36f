#!/usr/bin/env bash
# Configures and builds into build/ (shared by run.sh and test.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
generator=()
if command -v ninja >/dev/null 2>&1; then
    generator=(-G Ninja)
fi
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
else
    cmake -S . -B build "$@" >/dev/null
fi
cmake --build build --parallel "$(nproc)"
