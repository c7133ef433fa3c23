#!/usr/bin/env bash
# The real Soundrake under X with a real sound server: selecting a file in the browser plays
# it at once (its tone is recorded from the null sink's monitor); the space bar stops it.
# A screenshot of the window is taken while it plays.
# usage: e2e_audition_test.sh SOURCE_DIR SOUNDRAKE_BINARY ARTIFACT_DIR
set -uo pipefail
HERE=$(dirname "$0")
source "$HERE/e2e_lib.sh"
SRC=$1 BIN=$2 ART=$3
mkdir -p "$ART"
e2e_setup "$SRC"
# A library of one folder with one 440 Hz tone, so the keyboard reaches it in one step.
rm -rf "$E2E_WORK/lib" && mkdir -p "$E2E_WORK/lib"
sox -n -r 44100 -c 2 -b 16 "$E2E_WORK/lib/A 440.wav" synth 6 sine 440 vol 0.5 || e2e_fail "sox"

e2e_start "$BIN"
e2e_start_recording "$E2E_WORK/playing.raw"
xdotool key --clearmodifiers Right
e2e_wait_trace "play /.*/A 440.wav" 10 || e2e_fail "selecting the file did not play it"
sleep 3.5  # the test server's null sink can start a new stream up to two seconds late
e2e_screenshot "$ART/playing.png"
e2e_stop_recording
read -r rms freq _ gap < <(python3 "$HERE/tone_check.py" "$E2E_WORK/playing.raw" | tr ' ' '\n' | cut -d= -f2 | tr '\n' ' ')
echo "while playing: rms=$rms freq=$freq longest gap ${gap} ms"
cp "$E2E_WORK/playing.raw" "$ART/playing.raw"
python3 -c "import sys; r,f=float('$rms'),float('$freq'); sys.exit(0 if r>0.1 and abs(f-440)<10 else 1)" ||
  e2e_fail "no clean 440 Hz tone came out (rms=$rms freq=$freq, longest gap $gap ms)"

xdotool key --clearmodifiers space
e2e_wait_trace "stop" 5 || e2e_fail "the space bar did not stop playback"
sleep 0.3
e2e_start_recording "$E2E_WORK/stopped.raw"
sleep 0.5
e2e_stop_recording
read -r rms2 _ < <(python3 "$HERE/tone_check.py" "$E2E_WORK/stopped.raw" | cut -d' ' -f1 | cut -d= -f2)
echo "after stop: rms=$rms2"
python3 -c "import sys; sys.exit(0 if float('$rms2')<0.01 else 1)" || e2e_fail "sound went on after the stop (rms=$rms2)"

# The space bar starts the current file again.
xdotool key --clearmodifiers space
e2e_wait_trace "play /.*/A 440.wav.*" 5 || e2e_fail "the space bar did not start playback"
e2e_quit
echo "e2e audition: ok"
