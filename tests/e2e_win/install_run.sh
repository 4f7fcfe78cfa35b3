#!/usr/bin/env bash
# Installs the Windows package as a Windows user would, under Wine: the installer runs
# silently (/S) in a new Wine prefix; a .rvk document opened as Explorer would opens in
# the installed editor; the installed editor draws a line into the example document and
# saves it, and the installed rvktool checks the document (tests/e2e/editor_draw.sh with
# the installed programs in place of the built ones, in an X server with openbox); then
# the uninstaller runs silently and nothing of ours may be left: files, Start-menu
# entry, registry keys (an association another program took over since stays). The
# portable ZIP, unpacked into another folder, must run from there.
# Exits 77 (reported as skipped) when a tool it needs is missing.
#
#   install_run.sh BUILD_DIR SOURCE_DIR     BUILD_DIR: the Windows cross-build
set -euo pipefail

build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)

fail() {
    echo "install_run: FAIL: $*" >&2
    exit 1
}

for tool in wine wineserver xvfb-run xdotool openbox makensis cpack unzip python3 import; do
    if ! command -v "$tool" >/dev/null; then
        echo "install_run: SKIPPED: $tool is not installed"
        exit 77
    fi
done

work=$(mktemp -d)
export RVK_WINEPREFIX="$work/prefix" WINEPREFIX="$work/prefix"
# Menu entries and file types stay inside the prefix, not on this Linux desktop.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
trap 'wineserver -k 2>/dev/null || true; rm -rf "$work"' EXIT

cpack --config "$build/CPackConfig.cmake" -G "NSIS;ZIP" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
installer="$work/package/rvkedit-3.0-win64.exe"
zip="$work/package/rvkedit-3.0-win64.zip"
[ -f "$installer" ] && [ -f "$zip" ] || fail "cpack made $(ls "$work/package")"

# ---- install ----
run() { RVK_WINE_OWN_DLLS=1 "$src/scripts/wine-run.sh" "$@"; }
run "$installer" /S || fail "the silent install failed"
wineserver -w
c="$WINEPREFIX/drive_c"
prog="$c/Program Files/RVK Editor 3.0"
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/RVK Editor 3.0"
for f in rvkedit.exe rvktool.exe rvk3b2.lng deutsch.lng Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll \
    platforms/qwindows.dll styles/qwindowsvistastyle.dll translations/qtbase_de.qm \
    libstdc++-6.dll libgcc_s_seh-1.dll \
    libwinpthread-1.dll Uninstall.exe; do
    [ -f "$prog/$f" ] || fail "$f was not installed"
done
[ -f "$menu/RVK Editor.lnk" ] || fail "no Start-menu entry: $(ls "$menu" 2>&1)"
query() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
query 'HKLM\Software\Classes\.rvk' /ve | grep -q 'RVKEditor.Document' ||
    fail ".rvk is not associated"
query 'HKLM\Software\Classes\RVKEditor.Document\DefaultIcon' /ve | grep -qi 'rvkedit.exe,0' ||
    fail "the document type has not the program's icon"

echo "install_run: installer $(stat -c %s "$installer") bytes, ZIP $(stat -c %s "$zip") bytes," \
    "installed program $(du -sk "$prog" | cut -f1) KiB"

# ---- open a document through the association ----
# As a double click in Explorer would; the editor keeps what it opened among its recent
# files when it quits.
mkdir -p "$work/assoc"
cp "$src/examples/trams.rvk" "$src"/examples/trams-*.fzz "$work/assoc/"
cat >"$work/assoc.sh" <<'INSIDE'
openbox >/dev/null 2>&1 &
RVK_WINE_OWN_DLLS=1 "$1/scripts/wine-run.sh" start /wait /unix "$2/assoc/trams.rvk" &
opened=$!
win=$("$1/tests/e2e/lib/await-window" 60 --name "RVK Editor") || exit 1
sleep 2
xdotool windowfocus --sync "$win" key alt+x
wait $opened
INSIDE
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$work/assoc.sh" "$src" "$work" 2>/dev/null ||
    fail "opening a .rvk document did not start the editor"
wineserver -w
query 'HKCU\Software\DUR\RVK 3.0' /v H0 | grep -qi 'assoc.trams\.rvk' ||
    fail "the editor started through the association did not open the document"

# ---- draw, save and check through the installed programs ----
# Unix paths among the arguments become Windows paths on Wine's drive Z:. The editor
# draws in the Fusion style, whose title bars editor_draw.sh finds in its screenshots.
mkdir -p "$work/bin"
for program in rvkedit rvktool; do
    options=
    [ $program = rvkedit ] && options="-style fusion"
    cat >"$work/bin/$program" <<WRAP
#!/usr/bin/env bash
args=()
for a in "\$@"; do [[ \$a == /* ]] && a="Z:\${a//\\//\\\\}"; args+=("\$a"); done
RVK_WINE_OWN_DLLS=1 exec "$src/scripts/wine-run.sh" 'C:\\Program Files\\RVK Editor 3.0\\$program.exe' $options "\${args[@]}"
WRAP
    chmod +x "$work/bin/$program"
done
RVK_E2E_WM=openbox RVK_E2E_START_WAIT=180 bash "$src/tests/e2e/editor_draw.sh" "$work/bin" "$src" ||
    fail "drawing with the installed editor failed"
wineserver -w

# The settings the editor left, each with the registry type of its own: the recent files
# as strings, counts as 32-bit integers, the window's place as a 17-byte block.
settings=$(query 'HKCU\Software\DUR\RVK 3.0')
for value in 'H0 REG_SZ .+' 'P1 REG_SZ .+' 'AutosaveSeconds REG_DWORD 0x[0-9a-f]+' \
    'UndoSteps REG_DWORD 0x[0-9a-f]+' 'WindowPos REG_BINARY [0-9A-F]{34}'; do
    read -r name type data <<<"$value"
    grep -Eq "^ +$name +$type +$data\$" <<<"$settings" ||
        fail "the setting $name is not stored as $type: $(grep " $name " <<<"$settings")"
done

# ---- uninstall ----
# The uninstaller copies itself away and returns at once: wait for the copy.
run "$prog/Uninstall.exe" /S || fail "the silent uninstall failed"
wineserver -w
[ ! -e "$prog" ] || fail "left in the program folder: $(cd "$prog" && find . | head)"
[ ! -e "$menu" ] || fail "the Start-menu folder is left: $(ls "$menu")"
for key in 'HKLM\Software\Classes\.rvk' 'HKLM\Software\Classes\RVKEditor.Document' \
    'HKLM\Software\RVK Editor' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\RVK Editor 3.0' \
    'HKCU\Software\Classes\.rvk' 'HKCU\Software\Classes\RVKEditor.Document'; do
    if wine reg query "$key" >/dev/null 2>&1; then fail "registry key $key is left"; fi
done

# Another program that took .rvk over after the install keeps it through the uninstall.
run "$installer" /S || fail "the second silent install failed"
wine reg add 'HKLM\Software\Classes\.rvk' /ve /d Other.Document /f >/dev/null 2>&1
run "$prog/Uninstall.exe" /S || fail "the second silent uninstall failed"
wineserver -w
query 'HKLM\Software\Classes\.rvk' /ve | grep -q 'Other.Document' ||
    fail "the uninstaller took away another program's .rvk"
if wine reg query 'HKLM\Software\Classes\RVKEditor.Document' >/dev/null 2>&1; then
    fail "the document type is left after the second uninstall"
fi

# ---- portable ----
portable="$work/any folder/Prüfung"
mkdir -p "$portable"
unzip -q "$zip" -d "$portable"
cp "$src/examples/trams.rvk" "$src"/examples/trams-*.fzz "$work/"
info=$(RVK_WINE_OWN_DLLS=1 "$src/scripts/wine-run.sh" "$portable/rvkedit-3.0-win64/rvktool.exe" \
    info "Z:${work//\//\\}\\trams.rvk" | tr -d '\r') || fail "the unpacked rvktool failed: $info"
grep -qx "Fleets: 2" <<<"$info" || fail "the unpacked rvktool said: $info"
echo "install_run: installed, drew and saved with the installed editor, uninstalled without" \
    "a trace; the ZIP runs from another folder"
