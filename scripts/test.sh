#!/usr/bin/env bash
# Builds every target and runs every test (unit, end-to-end, fuzz smoke runs).
# Does all of its own set-up on a fresh Debian 12 machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
JOBS=${JOBS:-$(nproc)}
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
bash scripts/with-servers.sh ctest --test-dir build --output-on-failure -j "$JOBS" --timeout 600
