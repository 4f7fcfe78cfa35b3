#!/usr/bin/env bash
# In a real X server: maximises the document window, opens a second document with F3,
# and checks through the frame's X window (title and geometry, no screenshot) that the
# new window opened maximised inside the workspace and that the title names the
# program once.
#
#   maximised_open.sh BIN_DIR SOURCE_DIR
set -euo pipefail

if [ "${1:-}" = "--inside" ]; then
    inside=1
    shift
else
    inside=0
fi
bin=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)

fail() {
    echo "maximised_open: FAIL: $*" >&2
    exit 1
}

if [ "$inside" = 0 ]; then
    if ! command -v xvfb-run >/dev/null; then
        echo "maximised_open: SKIPPED: xvfb-run is not installed"
        exit 0
    fi
    command -v xdotool >/dev/null || fail "xdotool is not installed"
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    cp "$src"/examples/trams.rvk "$src"/examples/trams-*.fzz "$work"/
    cp "$work/trams.rvk" "$work/second.rvk"
    WORK="$work" xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$bin" "$src" ||
        fail "the editor session failed"
    exit 0
fi

# ---- inside the X server ----
work=$WORK
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

"$bin/rvkedit" "$work/trams.rvk" &
editor=$!
trap 'kill $editor 2>/dev/null || true' EXIT
win=$(timeout 30 xdotool search --sync --onlyvisible --name "RVK Editor" | head -1) ||
    fail "the main window did not appear"
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
