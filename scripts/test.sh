#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test under a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
cd build
# One X server for the whole run; tests that need none use Qt's offscreen platform.
xvfb-run -a -s "-screen 0 1920x1080x24 +extension RANDR" \
    ctest --output-on-failure --parallel "$(nproc)" --timeout 600
