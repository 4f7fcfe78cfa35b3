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

fail() {
    echo "$e2e_name: FAIL: $*" >&2
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
# folders. Variables to pass go before the call's name, as for any command.
e2e_run_inside() {
    WORK="$work" xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" --inside "$bin" "$src" "$@"
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

# Inside: starts the editor on the copy of the example document, to be killed should the
# script end early; sets `editor` to its process and `win` to its main window.
e2e_start_editor() {
    "$bin/rvkedit" "$work/trams.rvk" &
    editor=$!
    trap 'kill $editor 2>/dev/null || true' EXIT
    win=$(timeout 30 xdotool search --sync --onlyvisible --name "RVK Editor" | head -1) ||
        fail "the main window did not appear"
}

# Inside: waits (a second by default) for the editor to take in what it was sent.
settle() { sleep "${1:-1}"; }
click_at() { xdotool mousemove "$1" "$2" click 1; }
