#!/usr/bin/env bash
# Runs a command with a private X server (Xvfb) and a private PulseAudio server whose
# default sink is a null sink ("nullsink"), so that programs can open windows and play
# real sound that tests record from "nullsink.monitor". Both servers stop afterwards.
set -uo pipefail
RUNDIR=$(mktemp -d /tmp/srk-run.XXXXXX)
chmod 700 "$RUNDIR"
export XDG_RUNTIME_DIR="$RUNDIR"
export PULSE_RUNTIME_PATH="$RUNDIR/pulse"
unset PULSE_SERVER

cleanup() {
  pactl exit >/dev/null 2>&1 || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" >/dev/null 2>&1
  rm -rf "$RUNDIR"
}
trap cleanup EXIT

# Pick a free display number.
for n in $(seq 90 140); do
  if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then DISPLAY_NUM=$n; break; fi
done
Xvfb ":$DISPLAY_NUM" -screen 0 1280x900x24 -nolisten tcp >"$RUNDIR/xvfb.log" 2>&1 &
XVFB_PID=$!
export DISPLAY=":$DISPLAY_NUM"

pulseaudio --daemonize=yes --exit-idle-time=-1 -n --system=false \
  --load="module-null-sink sink_name=nullsink" --load=module-native-protocol-unix \
  >"$RUNDIR/pulse.log" 2>&1 || echo "with-servers: pulseaudio did not start" >&2
for _ in $(seq 1 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink nullsink >/dev/null 2>&1 || true
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$DISPLAY_NUM" ] && break; sleep 0.1; done

"$@"
