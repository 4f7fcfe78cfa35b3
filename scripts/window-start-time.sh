#!/usr/bin/env bash
# Measures how long the editor takes from its start to a visible main window with the
# example document open, the Linux build against the Windows build under Wine, on this
# machine, in one X server (Xvfb). Each program starts RUNS times; the first Wine start
# also starts the Wine server, the later ones find it running.
#   scripts/window-start-time.sh [LINUX_BUILD [WINDOWS_BUILD [RUNS]]]
# (defaults build, build-win, 5). Prints one line per start and the median of each.
set -euo pipefail
cd "$(dirname "$0")/.."
linux=$(cd "${1:-build}" && pwd)
windows=$(cd "${2:-build-win}" && pwd)
runs=${3:-5}

if [ -z "${RVK_INSIDE_X:-}" ]; then
    RVK_INSIDE_X=1 exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" \
        "$0" "$linux" "$windows" "$runs"
fi

# Wine's prefix and the Windows DLLs are found from the real home, not the run's own.
export RVK_WIN_DEPS=${RVK_WIN_DEPS:-$HOME/.cache/rvk-win-deps}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cp examples/trams.rvk examples/trams-*.fzz "$work/"
doc="$work/trams.rvk"

# Milliseconds from the start of COMMAND... to its visible main window; ends it then.
time_start() {
    local t0 t1 pid
    t0=$(date +%s%N)
    "$@" >/dev/null 2>&1 &
    pid=$!
    tests/e2e/lib/await-window 120 --name "RVK Editor" >/dev/null ||
        { echo "no window appeared" >&2; exit 1; }
    t1=$(date +%s%N)
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    echo $(((t1 - t0) / 1000000))
}
median() { printf '%s\n' "$@" | sort -n | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }

report() {
    local name=$1 times=()
    shift
    for i in $(seq "$runs"); do
        times+=("$(time_start "$@")")
        echo "$name start $i: ${times[-1]} ms"
        sleep 1
    done
    echo "$name median: $(median "${times[@]}") ms"
}
report linux "$linux/bin/rvkedit" "$doc"
report wine scripts/wine-run.sh "$windows/bin/rvkedit.exe" "Z:${doc//\//\\}"
