#!/usr/bin/env bash
# Draws a line, lets the editor take a snapshot, kills it with SIGKILL, starts it again
# on the same document, answers the restore question with Yes and saves with F2: the
# file holds the line and nothing else changed.
#
#   recovery_restore.sh BIN_DIR SOURCE_DIR
set -euo pipefail
RVK_E2E_CRASH=1 exec bash "$(dirname "$0")/editor_draw.sh" "$1" "$2"
