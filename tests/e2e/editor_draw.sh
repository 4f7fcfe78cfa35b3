#!/usr/bin/env bash
# Draws a line into a vehicle of the example document with real mouse input in an X
# server, saves with F2, quits, and checks that exactly the pixels of the line changed.
# With RVK_E2E_CRASH=1 (recovery_restore.sh) the editor takes a snapshot every two
# seconds and is killed after drawing; started again, it is told to restore the
# document, which F2 then saves.
#
#   editor_draw.sh BIN_DIR SOURCE_DIR [SCREENSHOT.png]
#
# With a third argument the editor is also photographed at night level 3 with a
# selection, after the save.
set -euo pipefail

. "$(dirname "$0")/lib/e2e.bash" editor_draw "$@"
shot=${args[0]:-}

# The line, in cells of the left side view of the first vehicle of the first fleet.
line_from="10 2"
line_to="40 9"

if [ "$inside" = 0 ]; then
    e2e_prepare import python3
    "$bin/rvktool" dump "$work/trams.rvk" >"$work/before.json" || fail "rvktool dump before"
    if [ -n "$shot" ]; then shot=$(cd "$(dirname "$shot")" && pwd)/$(basename "$shot"); fi
    e2e_run_inside "$shot" || fail "the editor session failed"
    "$bin/rvktool" dump "$work/trams.rvk" >"$work/after.json" || fail "rvktool dump after"
    python3 - "$work/before.json" "$work/after.json" $line_from $line_to <<'EOF'
import json, math, sys

before, after = (json.load(open(p)) for p in sys.argv[1:3])
x0, y0, x1, y1 = map(int, sys.argv[3:7])
dx, dy = x1 - x0, y1 - y0
n = max(abs(dx), abs(dy))
line = {(x0 + math.floor(dx * (i / n) + 0.5), y0 + math.floor(dy * (i / n) + 0.5))
        for i in range(n + 1)}
white = "00ffffff"

def views(doc):
    for f, fleet in enumerate(doc["fleets"]):
        for v, veh in enumerate(fleet["vehicles"]):
            yield from (((f, v, "normal", k), view) for k, view in enumerate(veh["views"]))
            if veh["zoom2"]:
                yield from (((f, v, "zoom2", k), view)
                            for k, view in enumerate(veh["zoom2"]["views"]))

# The left side view of the first vehicle, row-major from its top visible row.
target = (0, 0, "normal", 1)
length = before["fleets"][0]["vehicles"][0]["length"]
errors = []
now = dict(views(after))
for key, view in views(before):
    words = [view[i:i + 8] for i in range(0, len(view), 8)]
    expected = list(words)
    if key == target:
        for (x, y) in line:
            expected[y * length + x] = white
        if all(words[y * length + x] == white for (x, y) in line):
            errors.append("the line lies on white pixels only; the check would prove nothing")
    got = now.get(key, "")
    got = [got[i:i + 8] for i in range(0, len(got), 8)]
    if len(got) != len(expected):
        errors.append(f"view {key} has {len(got)} pixels after saving, {len(expected)} before")
        continue
    for i, (want, have) in enumerate(zip(expected, got)):
        if want != have:
            errors.append(f"view {key} pixel {i}: {words[i]} became {have}, expected {want}")
for e in errors[:20]:
    print("editor_draw: FAIL:", e, file=sys.stderr)
if errors:
    sys.exit(1)
print(f"editor_draw: the {len(line)} pixels of the line changed and nothing else")
EOF
    exit 0
fi

# ---- inside the X server ----
e2e_inside
crash=${RVK_E2E_CRASH:-0}
if [ "$crash" = 1 ]; then
    mkdir -p "$XDG_CONFIG_HOME/DUR"
    printf '[General]\nAutosaveSeconds=2\n' >"$XDG_CONFIG_HOME/DUR/RVK 3.0.conf"
fi

e2e_open_first_vehicle

# Line tool, then a drag from the first cell to the last through a few positions.
click_at $((px + 42)) $((py + 165))
settle
zoom=4
read -r ax ay <<<"$line_from"
read -r bx by <<<"$line_to"
cx() { echo $((ox + $1 * zoom + zoom / 2)); }
cy() { echo $((oy + $1 * zoom + zoom / 2)); }
xdotool mousemove "$(cx "$ax")" "$(cy "$ay")" mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove "$(cx $((ax + (bx - ax) * step / 5)))" "$(cy $((ay + (by - ay) * step / 5)))"
    sleep 0.1
done
xdotool mouseup 1
settle
if [ "$crash" = 1 ]; then
    # A snapshot's manifest, when there is one within ten seconds.
    snapshot_taken() {
        for _ in $(seq 50); do
            find "$HOME/.local/share" -path '*/recovery/*/manifest' 2>/dev/null | grep -q . &&
                return 0
            sleep 0.2
        done
        return 1
    }
    # Wait for the snapshot of the drawing, then the program dies without a word. A
    # snapshot may fall in the middle of the stroke; the finished line then changed the
    # document again, and the next turn of the two-second interval takes it whole.
    snapshot_taken || fail "no snapshot was taken"
    sleep 5
    kill -9 "$editor"
    wait "$editor" 2>/dev/null || true
    "$bin/rvkedit" "$work/trams.rvk" &
    editor=$!
    question=$(await_window 30 --name "Recovery") ||
        fail "the restore question did not appear"
    xdotool windowfocus --sync "$question"
    xdotool key y
    settle 2
    # No window manager hands the focus back to the main window.
    win=$(await_window 10 --name "RVK Editor") || fail "no main window"
    xdotool windowfocus --sync "$win"
    snapshot_taken || fail "the restored document is not kept for the next crash"
fi
xdotool key F2
settle 2

if [ -n "$shot" ]; then
    # The vehicle window maximised, zoomed in once, at night level 3, with a selection
    # over the middle section of the tram.
    double_click_at $((wx + 200)) $((wy + 8))
    click_at $((px + 165)) $((py + 165))
    click_at $((px + 25)) $((py + 254))
    settle
    snap photo
    read -r ox oy < <(python3 "$e2e_look" view-origin "$work/photo.ppm" 0 0) || fail "no views to photograph"
    zoom=6
    xdotool mousemove "$(cx 34)" "$(cy 2)" keydown shift click 1 \
        mousemove "$(cx 61)" "$(cy 11)" click 3 keyup shift
    xdotool mousemove $((px + 100)) $((py + 600))
    settle 2
    import -window root -crop 1270x1000+0+0 "$shot"
fi

quit_editor "$editor"
trap - EXIT
