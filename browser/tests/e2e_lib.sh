# Helpers for end-to-end checks of the real Soundrake binary under X (sourced).
# Needs DISPLAY (an X server; scripts/with-servers.sh provides Xvfb) and xdotool.

e2e_fail() { echo "FAIL: $*" >&2; [ -f "${E2E_WORK:-/nonexistent}/err" ] && sed 's/^/  stderr: /' "$E2E_WORK/err" | tail -40 >&2; exit 1; }

# e2e_setup SOURCE_DIR: a demo library and a private settings folder starting in it.
e2e_setup() {
  [ -n "${DISPLAY:-}" ] || e2e_fail "no X display (run under scripts/with-servers.sh)"
  command -v xdotool >/dev/null || e2e_fail "xdotool is missing"
  E2E_WORK=$(mktemp -d /tmp/srk-e2e.XXXXXX)
  trap 'e2e_cleanup' EXIT
  python3 "$1/scripts/make-demo-library.py" "$E2E_WORK/lib" >/dev/null || e2e_fail "demo library"
  export XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data" XDG_STATE_HOME="$E2E_WORK/state"
  mkdir -p "$XDG_CONFIG_HOME/Soundrake"
  printf '[General]\nStartup%%20Directory=%s\nFavorites%%20Directory=%s\n' "$E2E_WORK/lib" "$E2E_WORK/lib" \
    > "$XDG_CONFIG_HOME/Soundrake/Soundrake.ini"
}

e2e_cleanup() {
  [ -n "${E2E_REC:-}" ] && kill "$E2E_REC" 2>/dev/null
  [ -n "${E2E_PID:-}" ] && kill "$E2E_PID" 2>/dev/null
  rm -rf "${E2E_WORK:?}"
}

# e2e_start BINARY: starts Soundrake with its trace on and waits until it is ready.
e2e_start() {
  SRK_TRACE=1 QT_QPA_PLATFORM=xcb "$1" >"$E2E_WORK/out" 2>"$E2E_WORK/err" &
  E2E_PID=$!
  e2e_wait_trace "ready" 30 || e2e_fail "Soundrake did not become ready"
  E2E_WID=$(xdotool search --sync --onlyvisible --name '^Soundrake$' | head -1)
  [ -n "$E2E_WID" ] || e2e_fail "no Soundrake window"
  xdotool windowfocus --sync "$E2E_WID" 2>/dev/null || true
}

# e2e_wait_trace PATTERN SECONDS: waits for a trace line matching PATTERN (grep -E).
e2e_wait_trace() {
  local deadline=$((SECONDS + $2))
  while [ $SECONDS -lt $deadline ]; do
    grep -qE "soundrake: $1" "$E2E_WORK/err" 2>/dev/null && return 0
    kill -0 "$E2E_PID" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

# e2e_quit: the Quit command by its key equivalent; the program must end cleanly.
e2e_quit() {
  xdotool windowfocus --sync "$E2E_WID" 2>/dev/null || true
  xdotool key --clearmodifiers ctrl+q
  local deadline=$((SECONDS + 15))
  while kill -0 "$E2E_PID" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  kill -0 "$E2E_PID" 2>/dev/null && e2e_fail "Soundrake did not quit"
  wait "$E2E_PID"; local rc=$?
  E2E_PID=
  [ $rc -eq 0 ] || e2e_fail "Soundrake exited with status $rc"
  grep -q "Soundrake -- Terminated." "$E2E_WORK/out" || e2e_fail "no teardown line"
  grep -q "soundrake: quit" "$E2E_WORK/err" || e2e_fail "did not quit through the Quit command"
}

# e2e_start_recording FILE: records what the sound server plays (raw s16le stereo 44.1 kHz
# from the null sink's monitor) until e2e_stop_recording. Started before the sound is due:
# connecting to the monitor can take a moment.
e2e_start_recording() {
  pactl info >/dev/null 2>&1 || e2e_fail "no sound server (run under scripts/with-servers.sh)"
  parec -d nullsink.monitor --latency-msec=20 --format=s16le --rate=44100 --channels=2 --raw >"$1" &
  E2E_REC=$!
  sleep 0.5
}
e2e_stop_recording() { kill -INT "$E2E_REC"; wait "$E2E_REC" 2>/dev/null; }

# e2e_screenshot FILE: the whole screen as a PNG.
e2e_screenshot() { import -window root "$1" 2>/dev/null || e2e_fail "screenshot"; }
