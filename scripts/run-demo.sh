#!/usr/bin/env bash
# Launches Soundrake on a demo sample library (generated on first use).
# Does all of its own set-up on a fresh Debian 12 machine. Usage: scripts/run-demo.sh [LIBRARY]
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target Soundrake
LIBRARY=${1:-$ROOT/build/demo-library}
python3 scripts/make-demo-library.py "$LIBRARY"
# The demo keeps its settings apart from the user's own, starting in the demo library.
DEMO_CONFIG="$ROOT/build/demo-home/config"
mkdir -p "$DEMO_CONFIG/Soundrake"
if [ ! -f "$DEMO_CONFIG/Soundrake/Soundrake.ini" ]; then
  printf '[General]\nStartup%%20Directory=%s\nFavorites%%20Directory=%s\nShow%%20Info=true\n' "$LIBRARY" "$LIBRARY" \
    > "$DEMO_CONFIG/Soundrake/Soundrake.ini"
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Soundrake on a virtual display (Xvfb) with a private sound server." >&2
  exec bash scripts/with-servers.sh env XDG_CONFIG_HOME="$DEMO_CONFIG" "$ROOT/build/bin/Soundrake"
fi
exec env XDG_CONFIG_HOME="$DEMO_CONFIG" "$ROOT/build/bin/Soundrake"
