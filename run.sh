#!/usr/bin/env bash
# Sets up, builds and shows the bundled example document.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then exec build/bin/rvkedit examples/trams.rvk; else echo "No display (\$DISPLAY and \$WAYLAND_DISPLAY are empty); run the editor with: xvfb-run -s '-screen 0 1280x900x24' build/bin/rvkedit examples/trams.rvk"; fi
