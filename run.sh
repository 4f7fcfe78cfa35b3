#!/usr/bin/env bash
# Sets up, builds and shows the bundled example document.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
build/bin/rvktool info examples/trams.rvk
