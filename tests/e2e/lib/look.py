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

def area_bottom(shot):
    """The first row below the child-window area (grey at its left edge), where the
    status bar starts and the tool panel ends."""
    grey = shot.at(2, shot.h // 2)
    y = shot.h // 2
    while y < shot.h and shot.at(2, y) == grey:
        y += 1
    return y

cmd, args = sys.argv[1], sys.argv[2:]
if cmd == "new-title":
    print(*new_title(None if args[0] == "none" else Shot(args[0]), Shot(args[1])))
elif cmd == "first-line":
    print(*first_line(Shot(args[0]), int(args[1]), int(args[2])))
elif cmd == "view-origin":
    print(*view_origin(Shot(args[0]), int(args[1]), int(args[2])))
elif cmd == "tool-panel":
    print(*tool_panel(Shot(args[0])))
elif cmd == "area-bottom":
    print(area_bottom(Shot(args[0])))
