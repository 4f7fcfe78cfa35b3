#!/usr/bin/env bash
# Draws twenty pen strokes and mirrors a selection in a vehicle of the example document
# with real input in an X server, then takes all of it back with Ctrl+Z and brings it
# again with Ctrl+Y, saving with F2 after each: what rvktool dumps must be the original
# document after the undos and the drawn one after the redos.
#
#   undo_redo.sh BIN_DIR SOURCE_DIR
set -euo pipefail

. "$(dirname "$0")/lib/e2e.bash" undo_redo "$@"

if [ "$inside" = 0 ]; then
    e2e_prepare import python3
    "$bin/rvktool" dump "$work/trams.rvk" >"$work/before.json" || fail "rvktool dump before"
    e2e_run_inside || fail "the editor session failed"
    cmp -s "$work/before.json" "$work/drawn.json" && fail "drawing changed nothing"
    cmp -s "$work/before.json" "$work/undone.json" ||
        fail "after 21 undos the document differs from the original"
    cmp -s "$work/drawn.json" "$work/redone.json" ||
        fail "after 21 redos the document differs from the drawn one"
    echo "undo_redo: 21 undos gave back the original, 21 redos the drawing"
    exit 0
fi

# ---- inside the X server ----
e2e_inside
e2e_open_first_vehicle
snap vehicle
panel_bottom=$(python3 "$e2e_look" area-bottom "$work/vehicle.ppm")
zoom=4
cx() { echo $((ox + $1 * zoom + zoom / 2)); }
cy() { echo $((oy + $1 * zoom + zoom / 2)); }
# Saves with F2 and dumps the document into $1.json.
save_and_dump() {
    xdotool key F2
    settle 2
    "$bin/rvktool" dump "$work/trams.rvk" >"$work/$1.json" || fail "rvktool dump $1"
}

# Twenty pen strokes through the left side view, the left button drawing white and
# the right one transparent.
click_at $((px + 19)) $((py + 165))
for i in $(seq 0 19); do
    x=$((4 + 4 * i))
    button=$((i % 2 == 0 ? 1 : 3))
    xdotool mousemove "$(cx "$x")" "$(cy 2)" mousedown "$button"
    xdotool mousemove "$(cx $((x + 2)))" "$(cy 6)"
    sleep 0.05
    xdotool mousemove "$(cx "$x")" "$(cy 11)" mouseup "$button"
    sleep 0.1
done
# A selection over the middle of the tram, mirrored left to right with the panel's button.
xdotool mousemove "$(cx 10)" "$(cy 1)" keydown shift click 1 \
    mousemove "$(cx 70)" "$(cy 12)" click 3 keyup shift
click_at $((px + 8 + 16)) $((panel_bottom - 145 + 72 + 12))
settle
save_and_dump drawn

xdotool key --delay 100 --repeat 21 ctrl+z
settle
save_and_dump undone
xdotool key --delay 100 --repeat 21 ctrl+y
settle
save_and_dump redone

quit_editor "$editor"
trap - EXIT
