#!/usr/bin/env bash
# Two editors on one document: the second is told who has it open and opens it
# read-only; the first types and saves; the second is told about the change, reloads,
# and its save is refused as for a write-protected file.
#
#   two_editors.sh BIN_DIR SOURCE_DIR [SHOT_FOLDER]
# With a shot folder, pictures of the question and of the read-only window are kept.
set -euo pipefail
[ -n "${E2E_TRACE:-}" ] && set -x

. "$(dirname "$0")/lib/e2e.bash" two_editors "$@"

if [ "$inside" = 0 ]; then
    e2e_prepare import
    e2e_run_inside "${args[@]}" || fail "the session failed"
    dump=$("$bin/rvktool" dump "$work/trams.rvk") || fail "rvktool dump"
    grep -q 'ONE' <<<"$dump" || fail "the first editor's save is not in the file"
    echo "two_editors: second editor told and read-only, told of the first one's save, its save refused"
    exit 0
fi

# ---- inside the X server ----
e2e_inside
shots=${args[0]:-}
shot() { [ -z "$shots" ] || import -window root "$shots/$1.png"; }
# The window of one editor process with a title matching $2.
window_of() {
    await_window 30 --all --pid "$1" --name "$2"
}

e2e_start_editor
first=$editor
xdotool windowmove "$win" 0 0 windowsize "$win" 630 700
settle 2
[ -f "$work/.trams.rvk.open" ] || fail "the first editor keeps no record of the open document"

"$bin/rvkedit" "$work/trams.rvk" &
second=$!
trap 'kill $first $second 2>/dev/null || true' EXIT
question=$(window_of $second "^Document in use$") || fail "the second editor did not ask"
settle
shot question
xdotool windowfocus --sync "$question"
xdotool key y
win2=$(window_of $second "RVK Editor") || fail "the second editor's window did not appear"
# Side by side, so that the pictures show both.
xdotool windowmove "$win2" 640 0 windowsize "$win2" 630 700
settle 2
shot read-only

# The first editor types into the document's info text and saves.
xdotool windowfocus --sync "$win"
xdotool key Tab
xdotool type ONE
xdotool key F2
settle 2

# The second is told; Yes reads the document again.
changed=$(window_of $second "^Changed by another program$") || fail "the second editor was not told"
shot changed
xdotool windowfocus --sync "$changed"
xdotool key y
settle 2

# Its own save is refused as for a write-protected file.
xdotool windowfocus --sync "$win2"
xdotool key F2
refused=$(window_of $second "^Error$") || fail "the read-only editor's save was not refused"
shot refused
xdotool windowfocus --sync "$refused"
xdotool key Return
settle

# Both end with nothing left to save.
xdotool windowfocus --sync "$win2"
xdotool key alt+x
xdotool windowfocus --sync "$win"
xdotool key alt+x
for _ in $(seq 50); do
    kill -0 $first 2>/dev/null || kill -0 $second 2>/dev/null || break
    sleep 0.2
done
kill -0 $first 2>/dev/null && fail "the first editor did not end"
kill -0 $second 2>/dev/null && fail "the second editor did not end"
[ -f "$work/.trams.rvk.open" ] && fail "the record of the open document was left behind"
exit 0
