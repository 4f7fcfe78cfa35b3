#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds everything and runs every test: the Linux build,
# then the Windows build under Wine (scripts/windows-test.sh; RVK_LINUX_ONLY=1 leaves it out).
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
(cd build && ctest --output-on-failure -j "$(nproc)")
[ "${RVK_LINUX_ONLY:-}" = 1 ] || scripts/windows-test.sh
