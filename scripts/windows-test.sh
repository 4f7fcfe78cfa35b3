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
# nothing an earlier run left in its registry or folders plays a part.
export RVK_WINEPREFIX=$PWD/build-win/wine-prefix
rm -rf "$RVK_WINEPREFIX" "$RVK_WINEPREFIX.lock"
mkdir -p build-win

# Wine itself must start a program: cmd.exe must answer.
if ! answer=$(timeout 600 scripts/wine-run.sh cmd.exe /c echo wine-answers 2>&1) ||
    ! grep -q wine-answers <<<"$answer"; then
    echo "windows-test: SKIPPED: Wine cannot start a program here: ${answer:-no answer}"
    exit 0
fi
stage "Wine answers"

cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DRVK_WERROR=ON >/dev/null
cmake --build build-win -j "$jobs"
stage "built"

cd build-win
ctest --output-on-failure -j "$jobs"
stage "tested"
