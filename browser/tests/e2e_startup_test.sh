#!/usr/bin/env bash
# The real Soundrake starts under X, shows its window with the start-up folder listed, and
# quits cleanly through the Quit command.
# usage: e2e_startup_test.sh SOURCE_DIR SOUNDRAKE_BINARY ARTIFACT_DIR
set -uo pipefail
source "$(dirname "$0")/e2e_lib.sh"
SRC=$1 BIN=$2 ART=$3
mkdir -p "$ART"
e2e_setup "$SRC"
e2e_start "$BIN"
grep -qF "soundrake: listed /$E2E_WORK/lib (" "$E2E_WORK/err" || e2e_fail "the start-up folder was not listed"
grep -qF "soundrake: current /$E2E_WORK/lib" "$E2E_WORK/err" || e2e_fail "the start-up folder is not the current file"
e2e_screenshot "$ART/startup.png"
e2e_quit
grep -q "Main%20Window=" "$XDG_CONFIG_HOME/Soundrake/Soundrake.ini" || e2e_fail "the window frame was not saved"
echo "e2e startup: ok"
