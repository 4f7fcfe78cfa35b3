#!/usr/bin/env bash
# Takes a vehicle under Wine from made-up host installations that the registry names as
# the simulation does: `wine reg add` puts string values under the current user's
# Software\DADuroVo_ZeZERa naming an installation on drive C: and one on a drive R: of
# the prefix's own, and an expandable string (which does not count) naming a third. The
# registry lists the values by name, so the dialog's list is C:, then R:. In the built
# editor, with real input in an X server with openbox: the example document, its first
# fleet, Import from the Edit menu, the second installation, "tram, DE", the set 5012,
# its first vehicle with the alternative Zoom2 file, Insert, save, quit. The saved vehicle
# must equal what rvktool host-export gives for the installation on R: (the Linux
# rvktool when the Linux build is beside the sources in build/, else rvktool.exe). The
# installations' texts differ, so a vehicle from another one would not.
#
#   host_registry.sh BUILD_DIR SOURCE_DIR [SCREENSHOT.png]   BUILD_DIR: the Windows cross-build
# With a third argument the dialog is photographed before Insert.
set -euo pipefail

if [ "${1:-}" != --inside ]; then
    for tool in wine wineserver xvfb-run xdotool xwininfo openbox python3 import; do
        if ! command -v "$tool" >/dev/null; then
            echo "host_registry: SKIPPED: $tool is not installed"
            exit 77
        fi
    done
    build=$(cd "$1" && pwd)
    src=$(cd "$2" && pwd)
    shot=${3:-}
    # The programs are called through wrappers in a folder of their own, which give Unix
    # paths among the arguments as paths on Wine's drive Z:, with the DLLs of the
    # dependencies the build was made with (the run changes HOME).
    deps=$(sed -n 's/^RVK_WIN_DEPS:PATH=//p' "$build/CMakeCache.txt")
    wrappers=$(mktemp -d)
    for program in rvkedit rvktool make_host_install; do
        options=
        [ $program = rvkedit ] && options="-style fusion"
        cat >"$wrappers/$program" <<WRAP
#!/usr/bin/env bash
args=()
for a in "\$@"; do [[ \$a == /* ]] && a="Z:\${a//\\//\\\\}"; args+=("\$a"); done
exec "$src/scripts/wine-run.sh" --deps "$deps" "$build/bin/$program.exe" $options "\${args[@]}"
WRAP
        chmod +x "$wrappers/$program"
    done
    set -- "$wrappers" "$src" ${shot:+"$shot"}
fi

. "$(dirname "$0")/../e2e/lib/e2e.bash" host_registry "$@"
shot=${args[0]:-}

set_number=5012
vehicle=0

if [ "$inside" = 0 ]; then
    e2e_prepare python3 import
    trap 'wineserver -k 2>/dev/null || true; rm -rf "$work" "$bin"' EXIT
    export RVK_WINEPREFIX="$work/prefix" WINEPREFIX="$work/prefix"
    export WINEDLLOVERRIDES="winemenubuilder.exe=d"
    # Drive R: is a folder of the run's; the prefix is made by the first program.
    "$bin/rvktool" --version >/dev/null 2>&1 || true
    mkdir -p "$work/drive_r"
    ln -s "$work/drive_r" "$WINEPREFIX/dosdevices/r:"
    c="$WINEPREFIX/drive_c"
    "$bin/make_host_install" 'C:\VuVi' || fail "make_host_install on C:"
    "$bin/make_host_install" 'R:\Spiele\VuVi' || fail "make_host_install on R:"
    "$bin/make_host_install" 'C:\Andere' || fail "make_host_install of the third"
    [ -d "$work/drive_r/Spiele/VuVi" ] || fail "drive R: is not the run's folder"
    # Each installation names its vehicles its own way (the texts are UTF-16).
    for place in "$work/drive_r/Spiele/VuVi:R" "$c/Andere:X"; do
        python3 - "$(find "${place%:*}" -maxdepth 1 -iname vuvi_en.lnv)" "${place##*:}" <<'TEXTS'
import sys
path, mark = sys.argv[1:3]
text = open(path, encoding="utf-16").read()
open(path, "w", encoding="utf-16", newline="").write(text.replace("\nMotor car", f"\n{mark} motor car"))
TEXTS
    done
    key='HKCU\Software\DADuroVo_ZeZERa'
    wine reg add "$key" /v ZWEIT_PFAD /t REG_SZ /d 'R:\Spiele\VuVi\' /f >/dev/null 2>&1
    wine reg add "$key" /v STANDARD_PFAD /t REG_SZ /d 'C:\VuVi\' /f >/dev/null 2>&1
    wine reg add "$key" /v ANDERER_PFAD /t REG_EXPAND_SZ /d 'C:\Andere\' /f >/dev/null 2>&1
    wine reg add "$key" /v VERSION /t REG_DWORD /d 3 /f >/dev/null 2>&1
    wineserver -w
    wine reg query "$key" 2>/dev/null | tr -d '\r' | grep -q 'ZWEIT_PFAD *REG_SZ' ||
        fail "wine reg add did not take the values"

    linux_tool="$src/build/bin/rvktool"
    if [ -x "$linux_tool" ]; then
        install="$work/drive_r/Spiele/VuVi/"
    else
        linux_tool="$bin/rvktool"
        install='R:\Spiele\VuVi\'
    fi
    # The line of the set in the list: the dialog's order, with the texts vuvi.ini names.
    "$linux_tool" host-dump "$install" --filter 1 --texts vuvi_en.lnv >"$work/sets.json" ||
        fail "rvktool host-dump"
    row=$(python3 "$src/tests/e2e/lib/host_check.py" row "$work/sets.json" "$set_number")
    "$linux_tool" host-export "$install" --set "$set_number" --vehicle "$vehicle" \
        --alternative --texts vuvi_en.lnv "$work/expected.rvk" || fail "rvktool host-export"
    "$bin/rvktool" dump "$work/trams.rvk" | tr -d '\r' >"$work/before.json" ||
        fail "rvktool dump before"
    if [ -n "$shot" ]; then shot=$(cd "$(dirname "$shot")" && pwd)/$(basename "$shot"); fi
    ROW="$row" RVK_E2E_WM=openbox RVK_E2E_START_WAIT=180 e2e_run_inside "$shot" || fail "the editor session failed"
    wineserver -w
    "$bin/rvktool" dump "$work/trams.rvk" | tr -d '\r' >"$work/after.json" ||
        fail "rvktool dump after"
    "$linux_tool" dump "$work/expected.rvk" | tr -d '\r' >"$work/expected.json" ||
        fail "rvktool dump expected"
    python3 "$src/tests/e2e/lib/host_check.py" inserted host_registry "$work/before.json" \
        "$work/after.json" "$work/expected.json"
    exit 0
fi

# ---- inside the X server ----
e2e_inside
e2e_start_editor
xdotool windowmove "$win" 0 0 windowsize "$win" 1270 1000
settle 3
snap empty
read -r dx dy < <(python3 "$e2e_look" new-title none "$work/empty.ppm") ||
    fail "no document window"
read -r fx fy < <(e2e_open_first_line "$dx" "$dy" empty fleet) || fail "no fleet window opened"
# The fleet window is active: its Edit menu is the menu bar's second item, Import the
# one before its last.
click_at 56 8
settle
trace_shot menu
xdotool key Up Up Return
dialog=$(await_window 60 --name "Import vehicle from VUVI") ||
    fail "the import dialog did not appear"
settle 2
# (xdotool's own geometry counts the window manager's frame in twice.)
read -r dx dy < <(xwininfo -id "$dialog" |
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }')
# The second installation of the list.
e2e_import_vehicle "$dx" "$dy" 1 "$ROW" "$vehicle" "$shot" root
xdotool key F2
settle 3
quit_editor "$editor"
trap - EXIT
