#!/usr/bin/env bash
# The real Soundrake under X with a real sound server: the Seeker lists the demo library,
# a typed filter narrows the list, and play-all plays the listed files one after another
# (two separate sounds are recorded from the null sink's monitor).
# usage: e2e_seeker_test.sh SOURCE_DIR SOUNDRAKE_BINARY ARTIFACT_DIR
set -uo pipefail
HERE=$(dirname "$0")
source "$HERE/e2e_lib.sh"
SRC=$1 BIN=$2 ART=$3
mkdir -p "$ART"
e2e_setup "$SRC"
e2e_start "$BIN"

e2e_start_recording "$E2E_WORK/seeker.raw"

xdotool key --clearmodifiers ctrl+f
e2e_wait_trace "seeker status [0-9]+ files found" 20 || e2e_fail "the Seeker did not list the library"
grep -q "soundrake: seeker status 16 files found" "$E2E_WORK/err" || e2e_fail "the Seeker did not list the 16 audio files"
xdotool type --delay 30 "kick"
xdotool key --clearmodifiers Return
e2e_wait_trace "seeker status 3 files found" 10 || e2e_fail "the filter did not narrow the list to the three kicks"
e2e_screenshot "$ART/seeker.png"

# A click on the first row plays it; play-all then walks the list from that row.
xdotool mousemove --window "$E2E_WID" 100 202 click 1
e2e_wait_trace "play /.*Kick" 5 || e2e_fail "a click on the first row did not play it"
xdotool key --clearmodifiers ctrl+shift+a
deadline=$((SECONDS + 15))
while [ $SECONDS -lt $deadline ]; do
  n=$(sed -n '/soundrake: stop/,$p' "$E2E_WORK/err" | grep -E "soundrake: play /.*Kick" | sort -u | wc -l)
  [ "$n" -ge 2 ] && break
  sleep 0.2
done
[ "${n:-0}" -ge 2 ] || e2e_fail "play-all did not play two files in turn"
sleep 3  # the test server's null sink can start a new stream up to two seconds late
e2e_stop_recording
bursts=$(python3 "$HERE/tone_check.py" --bursts "$E2E_WORK/seeker.raw" | cut -d= -f2)
echo "seeker play-all: $(grep -E 'soundrake: play /' "$E2E_WORK/err" | sed 's/.*\///' | tr '\n' ',') bursts=$bursts"
[ "$bursts" -ge 2 ] || e2e_fail "two files did not sound in turn (bursts=$bursts)"
e2e_quit
echo "e2e seeker: ok"
