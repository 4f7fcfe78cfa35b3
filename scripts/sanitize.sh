#!/usr/bin/env bash
# Builds every suite (core, command line, windows) with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-asan/ and runs them all with ctest; any report
# fails its test. Extra arguments go to ctest (for example -R Monkey).
#   scripts/sanitize.sh --monkey SECONDS   runs only the random walk through the windows,
#                                          rounds after rounds until SECONDS are up
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${RVK_SANITIZE_DIR:-build-asan}
jobs=${RVK_JOBS:-$(nproc)}
monkey=
if [ "${1:-}" = --monkey ]; then
    monkey=${2:?--monkey needs a number of seconds}
    shift 2
fi
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRVK_WERROR=ON -DRVK_BENCH=OFF \
    "${launcher[@]}" -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined"
export ASAN_OPTIONS="detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
if [ -n "$monkey" ]; then
    cmake --build "$dir" -j "$jobs" --target rvk_gui_tests
    RVK_MONKEY_SECONDS=$monkey QT_QPA_PLATFORM=offscreen \
        exec "$dir/bin/rvk_gui_tests" --gtest_filter='Monkey*' "$@"
fi
cmake --build "$dir" -j "$jobs"
cd "$dir"
ctest --output-on-failure -j "$jobs" "$@"
