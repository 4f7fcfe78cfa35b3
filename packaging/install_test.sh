#!/usr/bin/env bash
# Installs the build into a temporary prefix and packages it, then checks both the
# way a desktop uses them: the desktop entry validates, the MIME database names a
# .rvk file application/x-rvk-document, the installed editor started from another
# folder finds its language file, and the Debian package holds the same files.
# Exits 77 (reported as skipped) when a tool it needs is missing.
#
#   install_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail

build=$(cd "$1" && pwd)
src=$(cd "$2" && pwd)

fail() {
    echo "install_layout: FAIL: $*" >&2
    exit 1
}

for tool in desktop-file-validate update-mime-database gio xvfb-run xdotool dpkg-deb \
    dpkg-shlibdeps cpack; do
    if ! command -v "$tool" >/dev/null; then
        echo "install_layout: SKIPPED: $tool is not installed"
        exit 77
    fi
done

if [ "${INSIDE_X:-}" != 1 ]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    prefix="$work/prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"

    expected=(bin/rvkedit bin/rvktool share/rvkedit/rvk3b2.lng share/rvkedit/deutsch.lng
        share/applications/rvkedit.desktop share/mime/packages/rvkedit.xml
        share/icons/hicolor/16x16/apps/rvkedit.png share/icons/hicolor/32x32/apps/rvkedit.png
        share/icons/hicolor/48x48/apps/rvkedit.png share/icons/hicolor/256x256/apps/rvkedit.png
        share/man/man1/rvktool.1.gz)
    for f in "${expected[@]}"; do
        [ -f "$prefix/$f" ] || fail "$f was not installed"
    done
    (cd "$prefix" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"

    desktop-file-validate "$prefix/share/applications/rvkedit.desktop" ||
        fail "the desktop entry does not validate"
    grep -qx 'Exec=rvkedit %f' "$prefix/share/applications/rvkedit.desktop" ||
        fail "the desktop entry does not pass the file"

    update-mime-database "$prefix/share/mime" >"$work/mime.log" 2>&1 ||
        { cat "$work/mime.log" >&2; fail "update-mime-database failed"; }
    cp "$src/examples/trams.rvk" "$work/sample.rvk"
    type=$(XDG_DATA_DIRS="$prefix/share" XDG_DATA_HOME="$work/nohome" \
        gio info -a standard::content-type "$work/sample.rvk" |
        sed -n 's/^ *standard::content-type: //p')
    [ "$type" = application/x-rvk-document ] || fail "a .rvk file is '$type'"

    # The installed editor, started from a folder that holds no language file.
    mkdir -p "$work/elsewhere"
    PREFIX="$prefix" WORK="$work" INSIDE_X=1 \
        xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$build" "$src" ||
        fail "the installed editor did not run"

    # The package holds the same files under /usr.
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/package" >"$work/cpack.log" 2>&1 ||
        { cat "$work/cpack.log" >&2; fail "cpack failed"; }
    deb=$(ls "$work"/package/*.deb)
    dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | sort >"$work/packaged"
    diff "$work/installed" "$work/packaged" >&2 || fail "the package lists other files"
    depends=$(dpkg-deb -f "$deb" Depends)
    for lib in libqt6widgets6 libpng16 libstdc++6; do
        [[ "$depends" == *"$lib"* ]] || fail "the package does not depend on $lib: $depends"
    done
    echo "install_layout: installed, validated, MIME type found, editor ran, package matches"
    exit 0
fi

# ---- inside the X server ----
export HOME="$WORK/home" XDG_CONFIG_HOME="$WORK/config" XDG_RUNTIME_DIR="$WORK/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cd "$WORK/elsewhere"
"$PREFIX/bin/rvkedit" &
editor=$!
# Without its language file the editor shows an error box and ends with status 1.
win=$(timeout 30 xdotool search --sync --onlyvisible --name "RVK Editor" | head -1) ||
    fail "the main window did not appear"
sleep 1
if xdotool search --onlyvisible --name "^Error$" >/dev/null; then
    fail "the editor did not find its language file"
fi
xdotool windowfocus --sync "$win"
xdotool key alt+x  # the Exit item's accelerator comes from the language file
for _ in $(seq 50); do
    kill -0 $editor 2>/dev/null || break
    sleep 0.2
done
if kill -0 $editor 2>/dev/null; then
    kill $editor
    fail "Alt+X did not end the editor"
fi
status=0
wait $editor || status=$?
[ "$status" = 0 ] || fail "the editor ended with status $status"
grep -qx "LangFile=rvk3b2.lng" "$XDG_CONFIG_HOME/DUR/RVK 3.0.conf" ||
    fail "the editor did not keep its language file"
exit 0
