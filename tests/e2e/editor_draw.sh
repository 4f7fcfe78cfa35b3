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
look="$work/look.py"
cat >"$look" <<'EOF'
# Finds the places to click in screenshots (binary PPM) of the editor.
import sys

def load(path):
    data = open(path, "rb").read()
    fields, pos = [], 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    assert fields[0] == b"P6" and fields[3] == b"255", "not an 8-bit PPM"
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos + 1:]

class Shot:
    def __init__(self, path):
        self.w, self.h, self.px = load(path)
    def at(self, x, y):
        i = (y * self.w + x) * 3
        return tuple(self.px[i:i + 3])

def titleish(c):  # the active window's title bar and selected list lines
    r, g, b = c
    return b > 150 and b - r > 80

def new_title(before, after):
    """Top-left of the topmost run of title colour that was not there before. A new
    window may cover what was title-coloured before (a selected line of the window
    below it): the run then reaches on to the left as far as the title colour does."""
    for y in range(after.h):
        run = 0
        for x in range(after.w):
            if titleish(after.at(x, y)) and not (before and titleish(before.at(x, y))):
                run += 1
                if run >= 150:
                    left = x - run + 1
                    while left > 0 and titleish(after.at(left - 1, y)):
                        left -= 1
                    return left, y
            else:
                run = 0
    sys.exit("no new window found")

def first_line(shot, x, y):
    """A point on the first line of the list below the title bar at (x, y): the first
    row with dark text pixels."""
    while titleish(shot.at(x + 30, y)):
        y += 1
    for yy in range(y, min(y + 200, shot.h)):
        if any(max(shot.at(xx, yy)) < 100 for xx in range(x + 4, x + 150)):
            return x + 30, yy + 3
    sys.exit("no list line found below the title bar")

def view_origin(shot, x, y):
    """Screen position of cell (0, 0) of the left side view: right of its arrow image,
    inside the first framed panel below the window's title bar."""
    sky, green = (0xA6, 0xCA, 0xF0), (0x00, 0x70, 0x00)
    for yy in range(y, shot.h - 2):
        for xx in range(max(x - 2, 0), shot.w - 2):
            if (shot.at(xx, yy) == sky and shot.at(xx + 1, yy) == sky
                    and shot.at(xx, yy + 1) == sky and shot.at(xx + 1, yy + 1) == green):
                return xx + 2 + 11, yy + 2
    sys.exit("no view panel found")

def tool_panel(shot):
    """Top-left of the tool panel, found by the dark green inside of its right-colour
    rectangle (49 x 25 with a black border, at 144, 84 in the panel)."""
    green, black = (0x00, 0x70, 0x00), (0, 0, 0)
    for y in range(1, shot.h - 25):
        for x in range(shot.w - 260, shot.w - 49):
            if (shot.at(x, y) == green and shot.at(x + 46, y + 22) == green
                    and shot.at(x - 1, y) == black and shot.at(x, y - 1) == black):
                return x - 1 - 144, y - 1 - 84
    sys.exit("no tool panel found")

cmd, args = sys.argv[1], sys.argv[2:]
if cmd == "new-title":
    print(*new_title(None if args[0] == "none" else Shot(args[0]), Shot(args[1])))
elif cmd == "first-line":
    print(*first_line(Shot(args[0]), int(args[1]), int(args[2])))
elif cmd == "view-origin":
    print(*view_origin(Shot(args[0]), int(args[1]), int(args[2])))
elif cmd == "tool-panel":
    print(*tool_panel(Shot(args[0])))
EOF

snap() { import -window root -depth 8 "$work/$1.ppm"; }
double_click_at() { xdotool mousemove "$1" "$2" click --repeat 2 --delay 60 1; }

e2e_start_editor
# No window manager: the frame goes where it is told.
xdotool windowmove "$win" 0 0 windowsize "$win" 1270 1000
settle 2

# The document window is the only child: its title bar is the only one.
snap empty
read -r dx dy < <(python3 "$look" new-title none "$work/empty.ppm") || fail "no document window"
# Double-clicks the first line of the list in the window whose title bar starts at
# (x, y) in screenshot $3, and prints where the title bar of the window it opens starts.
open_first_line() {
    local lx ly
    read -r lx ly < <(python3 "$look" first-line "$work/$3.ppm" "$1" "$2")
    click_at "$lx" "$ly"
    settle
    snap "$4-selected"
    double_click_at "$lx" "$ly"
    settle 2
    snap "$4"
    python3 "$look" new-title "$work/$4-selected.ppm" "$work/$4.ppm"
}
read -r fx fy < <(open_first_line "$dx" "$dy" empty fleet) || fail "no fleet window opened"
read -r wx wy < <(open_first_line "$fx" "$fy" fleet vehicle) || fail "no vehicle window opened"
read -r ox oy < <(python3 "$look" view-origin "$work/vehicle.ppm" "$wx" "$wy")
read -r px py < <(python3 "$look" tool-panel "$work/vehicle.ppm")

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
    question=$(timeout 30 xdotool search --sync --onlyvisible --name "Recovery" | head -1) ||
        fail "the restore question did not appear"
    xdotool windowfocus --sync "$question"
    xdotool key y
    settle 2
    # No window manager hands the focus back to the main window.
    win=$(xdotool search --onlyvisible --name "RVK Editor" | head -1) || fail "no main window"
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
    read -r ox oy < <(python3 "$look" view-origin "$work/photo.ppm" 0 0) || fail "no views to photograph"
    zoom=6
    xdotool mousemove "$(cx 34)" "$(cy 2)" keydown shift click 1 \
        mousemove "$(cx 61)" "$(cy 11)" click 3 keyup shift
    xdotool mousemove $((px + 100)) $((py + 600))
    settle 2
    import -window root -crop 1270x1000+0+0 "$shot"
fi

xdotool key alt+x
for _ in $(seq 50); do
    kill -0 "$editor" 2>/dev/null || break
    sleep 0.2
done
kill -0 "$editor" 2>/dev/null && fail "the editor did not quit on Alt+X"
wait "$editor" || fail "the editor exited with an error"
trap - EXIT
