# The frame the end-to-end scripts share. A script runs twice: first outside an X
# server, where it checks its tools and prepares a work folder, then again inside
# xvfb-run (with --inside), where it drives the editor with real input. Sourced as
#   . "$(dirname "$0")/lib/e2e.bash" NAME "$@"
# it sets `inside` (0 or 1), `bin` and `src` from the script's first two arguments,
# `args` to the rest, and defines the functions below.

e2e_name=$1
shift
if [ "${1:-}" = "--inside" ]; then
    inside=1
    shift
else
    inside=0
fi
bin=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)
args=("${@:3}")

# With RVK_E2E_SHOTS naming a folder, pictures of the screen at the steps a script names
# with `trace_shot NAME`, and at a failure inside the X server, are kept there.
trace_shot() {
    if [ "$inside" = 1 ] && [ -n "${RVK_E2E_SHOTS:-}" ]; then
        import -window root "$RVK_E2E_SHOTS/$e2e_name-$1.png" 2>/dev/null || true
    fi
}

fail() {
    echo "$e2e_name: FAIL: $*" >&2
    trace_shot failed
    exit 1
}

# Outside: reports "skipped" to ctest (77) where no X server can be started, fails
# when another tool it needs is missing, and makes `work` with a copy of the example
# document, removed at the end.
e2e_prepare() {
    if ! command -v xvfb-run >/dev/null; then
        echo "$e2e_name: SKIPPED: xvfb-run is not installed"
        exit 77
    fi
    local tool
    for tool in xdotool "$@"; do
        command -v "$tool" >/dev/null || fail "$tool is not installed"
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$src"/examples/trams.rvk "$src"/examples/trams-*.fzz "$work"/
}

# Outside: runs the script again inside an X server; extra arguments follow the two
# folders. Variables to pass go before the call's name, as for any command. The server
# never resets: by default it does each time its last client goes (an editor killed, an
# xdotool call done), and a program connecting just then was turned away.
e2e_run_inside() {
    WORK="$work" xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        bash "$0" --inside "$bin" "$src" "$@"
}

# Inside: a home, a settings folder and a runtime folder of the run's own.
e2e_inside() {
    work=$WORK
    export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    # The Windows run starts the programs under Wine, whose windows expect a window manager.
    if [ -n "${RVK_E2E_WM:-}" ]; then
        "$RVK_E2E_WM" >/dev/null 2>&1 &
        sleep 1
    fi
}

# Inside: await_window SECONDS SEARCH-ARGUMENTS... prints the first visible window the
# xdotool search finds within the seconds (lib/await-window).
await_window() { "$src/tests/e2e/lib/await-window" "$@"; }

# Inside: starts the editor on the copy of the example document, to be killed should the
# script end early; sets `editor` to its process and `win` to its main window, waited for
# RVK_E2E_START_WAIT seconds (default 30; a program's first start under Wine takes longer).
e2e_start_editor() {
    "$bin/rvkedit" "$work/trams.rvk" &
    editor=$!
    trap 'kill $editor 2>/dev/null || true' EXIT
    win=$(await_window "${RVK_E2E_START_WAIT:-30}" --name "RVK Editor") ||
        fail "the main window did not appear"
}

# Inside: waits (a second by default) for the editor to take in what it was sent.
settle() { sleep "${1:-1}"; }
click_at() { xdotool mousemove "$1" "$2" click 1; }

# Inside: screenshots for lib/look.py, which finds the places to click in them.
e2e_look="$src/tests/e2e/lib/look.py"
snap() { import -window root -depth 8 "$work/$1.ppm"; }
double_click_at() { xdotool mousemove "$1" "$2" click --repeat 2 --delay 60 1; }

# Alt+X to the editor whose process id is $1; fails unless it ends within ten seconds
# without an error.
quit_editor() {
    xdotool key alt+x
    for _ in $(seq 50); do
        kill -0 "$1" 2>/dev/null || break
        sleep 0.2
    done
    kill -0 "$1" 2>/dev/null && fail "the editor did not quit on Alt+X"
    wait "$1" || fail "the editor exited with an error"
}

# Inside: starts the editor with its frame at 0, 0 in 1270 x 1000 and opens the first
# vehicle of the first fleet. Sets `wx wy` to the vehicle window's title bar, `ox oy` to
# the screen position of cell (0, 0) of its left side view, `px py` to the tool panel.
e2e_open_first_vehicle() {
    e2e_start_editor
    # No window manager: the frame goes where it is told.
    xdotool windowmove "$win" 0 0 windowsize "$win" 1270 1000
    settle 2
    # The document window is the only child: its title bar is the only one.
    snap empty
    local dx dy fx fy
    read -r dx dy < <(python3 "$e2e_look" new-title none "$work/empty.ppm") ||
        fail "no document window"
    read -r fx fy < <(e2e_open_first_line "$dx" "$dy" empty fleet) || fail "no fleet window opened"
    read -r wx wy < <(e2e_open_first_line "$fx" "$fy" fleet vehicle) ||
        fail "no vehicle window opened"
    read -r ox oy < <(python3 "$e2e_look" view-origin "$work/vehicle.ppm" "$wx" "$wy")
    read -r px py < <(python3 "$e2e_look" tool-panel "$work/vehicle.ppm")
}

# Inside: double-clicks the first line of the list in the window whose title bar starts
# at (x, y) in screenshot $3, and prints where the title bar of the window it opens starts.
e2e_open_first_line() {
    local lx ly
    read -r lx ly < <(python3 "$e2e_look" first-line "$work/$3.ppm" "$1" "$2")
    click_at "$lx" "$ly"
    settle
    snap "$4-selected"
    double_click_at "$lx" "$ly"
    settle 2
    snap "$4"
    python3 "$e2e_look" new-title "$work/$4-selected.ppm" "$work/$4.ppm"
}

# Inside: works the import dialog whose client area is at $1, $2 (its controls have fixed
# places there): the installation at index $3 of its list, "tram, DE", the set on line $4
# of the list, vehicle $5 with the alternative Zoom2 file; when $6 names a file, a
# picture of window $7 before Insert; then Insert and Close.
e2e_import_vehicle() {
    local dx=$1 dy=$2 keys=(Home) i
    for ((i = 0; i < $3; i++)); do keys+=(Down); done
    at() { click_at $((dx + $1)) $((dy + $2)); }
    # Choosing the installation reads its vuvi.ini and the texts it names.
    at 200 26
    settle
    xdotool key "${keys[@]}" Return
    settle 2
    at 100 66
    settle
    xdotool key Home Down Return
    settle 2
    at 60 $((96 + 10 + 16 * $4))
    settle
    at 480 $((56 + 16 + 31 * $5))
    settle
    at 376 557
    settle
    if [ -n "$6" ]; then
        xdotool mousemove $((dx + 300)) $((dy + 640))
        settle
        import -window "$7" "$6"
    fi
    at 440 617
    settle
    at 572 616
    settle 2
}
