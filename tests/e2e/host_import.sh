#!/usr/bin/env bash
# Takes a vehicle from a made-up host installation named by a Wine registry, with real
# mouse input in an X server: the example document, its first fleet, Import from the
# fleet's Edit menu, the installation, "tram, DE", the set 5012, its first vehicle with
# the alternative Zoom2 file, Insert, save, quit. The saved vehicle must equal what
# rvktool host-export gives for the same choice.
#
#   host_import.sh BIN_DIR SOURCE_DIR [SCREENSHOT.png]
#
# With a third argument the dialog is photographed before Insert.
set -euo pipefail

. "$(dirname "$0")/lib/e2e.bash" host_import "$@"
shot=${args[0]:-}

set_number=5012
vehicle=0

if [ "$inside" = 0 ]; then
    [ -x "$bin/make_host_install" ] || fail "make_host_install is not built"
    e2e_prepare import python3
    # The installation on drive C: of a Wine prefix in the home folder, its folder name
    # in another case than the registry gives it.
    mkdir -p "$work/home/.wine/dosdevices" "$work/drive_c"
    "$bin/make_host_install" "$work/drive_c/VuVi" || fail "make_host_install"
    ln -s ../../../drive_c "$work/home/.wine/dosdevices/c:"
    cat >"$work/home/.wine/user.reg" <<'EOF'
WINE REGISTRY Version 2
;; All keys relative to \\User\\S-1-5-21-0-0-0-1000

[Software\\DADuroVo_ZeZERa] 1700000000
#time=1da0000000000000
"PFAD"="C:\\nothing\\"
"STANDARD_PFAD"="C:\\vuvi\\"
"VERSION"=dword:00000003
EOF
    # The line of the set in the list: the dialog's order, with the texts vuvi.ini names.
    "$bin/rvktool" host-dump "$work/drive_c/VuVi/" --filter 1 --texts vuvi_en.lnv \
        >"$work/sets.json" || fail "rvktool host-dump"
    row=$(python3 "$src/tests/e2e/lib/host_check.py" row "$work/sets.json" "$set_number")
    "$bin/rvktool" host-export "$work/drive_c/VuVi/" --set "$set_number" --vehicle "$vehicle" \
        --alternative --texts vuvi_en.lnv "$work/expected.rvk" || fail "rvktool host-export"
    "$bin/rvktool" dump "$work/trams.rvk" >"$work/before.json" || fail "rvktool dump before"
    if [ -n "$shot" ]; then shot=$(cd "$(dirname "$shot")" && pwd)/$(basename "$shot"); fi
    ROW="$row" e2e_run_inside "$shot" || fail "the editor session failed"
    "$bin/rvktool" dump "$work/trams.rvk" >"$work/after.json" || fail "rvktool dump after"
    "$bin/rvktool" dump "$work/expected.rvk" >"$work/expected.json" || fail "rvktool dump expected"
    python3 "$src/tests/e2e/lib/host_check.py" inserted host_import "$work/before.json" \
        "$work/after.json" "$work/expected.json"
    exit 0
fi

# ---- inside the X server ----
e2e_inside
unset WINEPREFIX

e2e_start_editor
# No window manager: the frame goes where it is told, and the document window opens at
# the top left of its client area with the fleets listed from its top.
xdotool windowmove "$win" 0 0 windowsize "$win" 1270 1000
settle 2
xdotool mousemove 30 54 click --repeat 2 --delay 60 1
settle 2
# The fleet window is active now: its Edit menu is the menu bar's second item, Import
# its last.
click_at 56 8
settle
click_at 125 169
dialog=$(await_window 30 --name "Import vehicle from VUVI") ||
    fail "the import dialog did not appear"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
dx=$X
dy=$Y
e2e_import_vehicle "$dx" "$dy" 0 "$ROW" "$vehicle" "$shot" "$dialog"
# Without a window manager nothing hands the keyboard back: a click on the fleet
# window's title bar does.
click_at 575 30
settle
xdotool key F2
settle 2
xdotool key alt+x
wait $editor || fail "the editor ended with an error"
trap - EXIT
