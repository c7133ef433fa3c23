#!/usr/bin/env bash
# The real Soundrake under X: a comment typed for one file is written to its user.xdg.comment
# attribute when the next file is selected (read back with getfattr), and Move to Trash puts the
# current file into the freedesktop.org trash under XDG_DATA_HOME with its .trashinfo, after
# which the next file plays.
# usage: e2e_library_test.sh SOURCE_DIR SOUNDRAKE_BINARY ARTIFACT_DIR
set -uo pipefail
HERE=$(dirname "$0")
source "$HERE/e2e_lib.sh"
SRC=$1 BIN=$2 ART=$3
mkdir -p "$ART"
command -v getfattr >/dev/null || e2e_fail "getfattr is missing (package attr)"
e2e_setup "$SRC"
# One folder with three short tones, so the keyboard walks them in order.
rm -rf "$E2E_WORK/lib" && mkdir -p "$E2E_WORK/lib"
for f in a b c; do
  sox -n -r 44100 -c 2 -b 16 "$E2E_WORK/lib/$f.wav" synth 1 sine 440 vol 0.3 || e2e_fail "sox"
done
setfattr -n user.xdg.comment -v probe "$E2E_WORK/lib/c.wav" 2>/dev/null ||
  e2e_fail "the test folder's file system keeps no user attributes"
setfattr -x user.xdg.comment "$E2E_WORK/lib/c.wav"

e2e_start "$BIN"
xdotool key --clearmodifiers Right
e2e_wait_trace "play /.*/a\.wav" 10 || e2e_fail "selecting the first file did not play it"

# Type a comment, hand the keys back to the browser, select the next file.
COMMENT="Kick from the 909 – grün"
xdotool key --clearmodifiers ctrl+e
sleep 0.3
xdotool type --delay 20 "$COMMENT"
xdotool key --clearmodifiers Return
sleep 0.2
[ -z "$(getfattr --only-values -n user.xdg.comment "$E2E_WORK/lib/a.wav" 2>/dev/null)" ] ||
  e2e_fail "the comment was written before another file became current"
xdotool key --clearmodifiers Down
e2e_wait_trace "play /.*/b\.wav" 10 || e2e_fail "Down did not select and play the next file"
got=$(getfattr --only-values -n user.xdg.comment "$E2E_WORK/lib/a.wav" 2>/dev/null)
echo "comment of a.wav: $got"
[ "$got" = "$COMMENT" ] || e2e_fail "the comment of a.wav is '$got', not '$COMMENT'"
e2e_screenshot "$ART/library-comment.png"

# Move to Trash: b.wav goes to the trash and c.wav, now in its row, plays.
xdotool key --clearmodifiers ctrl+BackSpace
e2e_wait_trace "trash /.*/b\.wav" 10 || e2e_fail "Move to Trash did not run"
e2e_wait_trace "play /.*/c\.wav" 10 || e2e_fail "the next file did not play after the trash"
TRASH="$XDG_DATA_HOME/Trash"
[ ! -e "$E2E_WORK/lib/b.wav" ] || e2e_fail "b.wav is still in its folder"
[ -f "$TRASH/files/b.wav" ] || e2e_fail "b.wav is not in $TRASH/files"
INFO="$TRASH/info/b.wav.trashinfo"
[ -f "$INFO" ] || e2e_fail "no $INFO"
grep -qx '\[Trash Info\]' "$INFO" || e2e_fail "the .trashinfo has no [Trash Info] group"
grep -q "^Path=$E2E_WORK/lib/b.wav$" "$INFO" || e2e_fail "the .trashinfo does not name the original path: $(cat "$INFO")"
grep -q '^DeletionDate=' "$INFO" || e2e_fail "the .trashinfo has no deletion date"
[ -s "$TRASH/files/b.wav" ] || e2e_fail "the trashed file is empty"
echo "trash: $(ls "$TRASH/files") with $(basename "$INFO")"
e2e_quit
echo "e2e library: ok"
