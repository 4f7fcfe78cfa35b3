#!/usr/bin/env bash
# Builds the Windows target into build-win/ and runs its tests under Wine: the core,
# rvktool and window suites, the clipboard between two programs, and the installer's
# end-to-end run. Prepares what it needs first (scripts/windows-deps.sh). When Wine
# cannot start a program at all on this machine it says so and stops without running
# the tests (exit 0); every other failure fails.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs=${RVK_JOBS:-$(nproc)}

started=$(date +%s)
stage() { echo "windows-test: $1 after $(($(date +%s) - started)) s"; }

scripts/windows-deps.sh
stage "dependencies ready"

# A Wine prefix made for this run (set to Windows 10 by scripts/wine-run.sh), so that
# nothing an earlier run left in its registry or folders plays a part; the tests in an X
# server of their own get prefixes beside it.
export RVK_WINEPREFIX=$PWD/build-win/wine-prefix
rm -rf "$RVK_WINEPREFIX" "$RVK_WINEPREFIX".lock "$RVK_WINEPREFIX"-*
mkdir -p build-win

# Wine itself must start a program: cmd.exe must answer. (Through a file: the helpers
# Wine starts beside the first program of a prefix hold its output open as long as the
# Wine server runs.)
answer=build-win/wine-answer.txt
if ! timeout 600 scripts/wine-run.sh cmd.exe /c echo wine-answers </dev/null >"$answer" 2>&1 ||
    ! grep -q wine-answers "$answer"; then
    echo "windows-test: SKIPPED: Wine cannot start a program here: $(head -c 2000 "$answer")"
    exit 0
fi
stage "Wine answers"

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DRVK_WERROR=ON >/dev/null
cmake --build build-win -j "$jobs"
stage "built"

# One Wine server for all the tests: a cmd.exe reading a pipe keeps it and its helpers up
# until this script ends. It starts a window program first, so that every helper (the
# desktop among them) is up before the first test: a helper started by a test would hold
# that test's output open as long as the server runs, and ctest would wait on it.
keeper=build-win/wine-keeper
rm -f "$keeper".in "$keeper".ready
mkfifo "$keeper".in
scripts/wine-run.sh cmd.exe <"$keeper".in >/dev/null 2>&1 &
exec 8>"$keeper".in
trap 'exec 8>&-; WINEPREFIX=$RVK_WINEPREFIX wineserver -k 2>/dev/null || true' EXIT
# (One line: cmd.exe reads all there is and runs the first line only.)
echo "build-win\\bin\\rvk_gui_tests.exe --gtest_list_tests >NUL 2>&1 & echo up>${keeper//\//\\}.ready" >&8
for _ in $(seq 600); do
    [ -f "$keeper".ready ] && break
    sleep 0.5
done
[ -f "$keeper".ready ] || { echo "windows-test: Wine did not come up in five minutes"; exit 1; }
stage "Wine up"

cd build-win
ctest --output-on-failure -j "$jobs"
stage "tested"
