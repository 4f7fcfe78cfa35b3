#!/usr/bin/env bash
# In a real X server: maximises the document window, opens a second document with F3,
# and checks through the frame's X window (title and geometry, no screenshot) that the
# new window opened maximised inside the workspace and that the title names the
# program once.
#
#   maximised_open.sh BIN_DIR SOURCE_DIR
set -euo pipefail

. "$(dirname "$0")/lib/e2e.bash" maximised_open "$@"

if [ "$inside" = 0 ]; then
    e2e_prepare
    cp "$work/trams.rvk" "$work/second.rvk"
    e2e_run_inside || fail "the editor session failed"
    exit 0
fi

# ---- inside the X server ----
e2e_inside

e2e_start_editor
xdotool windowmove "$win" 0 0
sleep 2
title() { xdotool getwindowname "$win"; }
[ "$(title)" = "RVK Editor 3.0 Beta2" ] || fail "title before maximising: $(title)"

# The document window opens at the workspace's top-left corner, under the menu bar: a
# double click on its title bar maximises it.
xdotool mousemove 120 40 click --repeat 2 --delay 80 1
sleep 1
case "$(title)" in
"RVK Editor 3.0 Beta2 - [trams.rvk]"*) ;;
*) fail "the document window did not maximise: title $(title)" ;;
esac
eval "$(xdotool getwindowgeometry --shell "$win")"
before="$WIDTH x $HEIGHT"

# F3, the path into the file dialog, Enter.
xdotool key F3
sleep 2
xdotool type --delay 20 "$work/second.rvk"
xdotool key Return
sleep 2
t=$(title)
case "$t" in
"RVK Editor 3.0 Beta2 - [second.rvk]"*) ;;
*) fail "the second document did not open maximised: title $t" ;;
esac
case "$t" in
*"—"*) fail "the program's name is appended a second time: $t" ;;
esac
eval "$(xdotool getwindowgeometry --shell "$win")"
[ "$WIDTH x $HEIGHT" = "$before" ] || fail "the frame changed size: $before became $WIDTH x $HEIGHT"
echo "maximised_open: the second document opened maximised; title \"$t\"; frame $before"
