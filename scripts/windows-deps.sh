#!/usr/bin/env bash
# Prepares everything the Windows cross-build (cmake/mingw-w64.cmake) needs: the
# Debian packages (mingw-w64, Wine, NSIS, Xvfb, the Linux Qt whose moc/rcc/uic serve
# as host tools) and, built for 64-bit Windows into a cache folder outside the build
# tree, Qt 6, zlib, libpng and GoogleTest from the same Debian sources as the Linux
# build. Idempotent: a second run only checks.
#   RVK_WIN_DEPS   the cache folder (default ~/.cache/rvk-win-deps)
#   RVK_QT_ARCHIVE a prebuilt Qt archive (default ../shared/windows/ beside the clone);
#                  used only when its SHA-256 matches, else Qt is built (about an hour)
set -euo pipefail
cd "$(dirname "$0")/.."
deps=${RVK_WIN_DEPS:-$HOME/.cache/rvk-win-deps}
qt_archive=${RVK_QT_ARCHIVE:-$PWD/../shared/windows/qt6-base-6.4.2-mingw64.tar.xz}
qt_archive_sha=74cc79cf010afa557047e07b6b606a9551f96a9e7a77c7aa43e31303dd830fcd
toolchain=$PWD/cmake/mingw-w64.cmake
sysroot=$deps/sysroot
jobs=${RVK_JOBS:-$(nproc)}
export RVK_WIN_DEPS=$deps
mkdir -p "$deps/src" "$sysroot/lib"

as_root=()
[ "$(id -u)" -ne 0 ] && as_root=(sudo)

packages=(g++-mingw-w64-x86-64-posix wine wine64 nsis xvfb xauth cmake ninja-build
  dpkg-dev xz-utils qt6-base-dev qt6-translations-l10n libgtest-dev nlohmann-json3-dev zlib1g-dev libpng-dev
  openbox xdotool x11-utils imagemagick unzip python3)  # the last line: tests/e2e_win/
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  "${as_root[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The Windows libraries are built from the source of the very versions the Linux build
# links (the source version of an installed binary package).
source_version() { dpkg-query -W -f='${source:Version}' "$1"; }

# apt-get source needs deb-src entries: added beside the configured Debian sources
# (same addresses, suites and components), which stay as they are.
enable_deb_src() {
  local d=/etc/apt/sources.list.d tmp
  grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list $d/ && return
  tmp=$(mktemp -d)
  for f in $d/*.sources; do
    [ -e "$f" ] && sed 's/^Types:.*/Types: deb-src/' "$f" >"$tmp/rvk-src-$(basename "$f")"
  done
  [ -f /etc/apt/sources.list ] && sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >"$tmp/rvk-src.list"
  "${as_root[@]}" install -m 644 -t $d "$tmp"/*
  rm -rf "$tmp"
  "${as_root[@]}" apt-get update -qq
}

# Fetches the Debian source of PACKAGE at VERSION into $deps/src and prints the folder
# it unpacks to: with Debian's changes applied, or with --orig the upstream tarball as
# it is (Qt: the recipe that made the prebuilt archive). When that revision cannot be
# had (a security update replaced it), the newest one of the same upstream version.
debian_source() {
  local package=$1 version=$2 orig=${3:-} dir
  dir=$deps/src/$package-${version#*:}
  if [ ! -d "$dir/unpacked" ]; then
    enable_deb_src
    local candidates v
    candidates=$( (echo "$version"; apt-cache showsrc "$package" | sed -n 's/^Version: //p' |
      grep -F "${version%-*}-" | sort -rV) | awk '!seen[$0]++')
    for v in $candidates; do
      rm -rf "$dir" && mkdir -p "$dir/x"
      if [ "$orig" = --orig ]; then
        (cd "$dir" && apt-get source -qq --download-only "$package=$v" >/dev/null 2>&1 &&
          tar -C x -xf ./*.orig.tar.*) && break
      else
        (cd "$dir/x" && apt-get source -qq "$package=$v" >/dev/null 2>&1) && break
      fi
    done
    local unpacked
    unpacked=$(find "$dir/x" -mindepth 1 -maxdepth 1 -type d | head -n1)
    [ -n "$unpacked" ] || { echo "no source of $package $version to be had" >&2; exit 1; }
    mv "$unpacked" "$dir/unpacked"
    rm -rf "$dir/x" "$dir"/*.tar.* "$dir"/*.dsc
  fi
  echo "$dir/unpacked"
}

# A stamp names what a part was made from; a part whose stamp matches is only checked.
stamp_ok() { [ -f "$deps/$1.stamp" ] && [ "$(cat "$deps/$1.stamp")" = "$2" ]; }
stamp() { echo "$2" >"$deps/$1.stamp"; }

cmake_cross() {
  local src=$1 build=$2
  shift 2
  rm -rf "$build"
  cmake -G Ninja -S "$src" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$sysroot" "$@" >/dev/null
  cmake --build "$build" -j "$jobs" >/dev/null
  cmake --install "$build" >/dev/null
  rm -rf "$build"
}

# Qt: the prebuilt archive when it is there and intact, else Debian's qt6-base source
# built with two small changes that source needs for this target.
qt_version=$(source_version qt6-base-dev)
if stamp_ok qt "$qt_version" && [ -f "$deps/qt6-mingw/lib/cmake/Qt6/Qt6Config.cmake" ]; then
  echo "Qt $qt_version: present"
elif [ -f "$qt_archive" ] && [ "$qt_version" = 6.4.2+dfsg-10 ] &&
  echo "$qt_archive_sha  $qt_archive" | sha256sum --check --status; then
  echo "Qt $qt_version: unpacking $qt_archive"
  rm -rf "$deps/qt6-mingw"
  tar -C "$deps" -xJf "$qt_archive"
  stamp qt "$qt_version"
else
  echo "Qt $qt_version: building from the Debian source (about an hour on two cores)"
  src=$(debian_source qt6-base "$qt_version" --orig)
  # The tablet header (3rdparty/wintab) is not in the Debian source: the platform
  # plugin goes without tablet support (a pen still acts as a mouse).
  win=$src/src/plugins/platforms/windows
  sed -i 's/#if QT_CONFIG(tabletevent)/#if 0 \/\/ QT_CONFIG(tabletevent): no wintab.h in this source/' \
    "$win/qwindowscontext.cpp" "$win/qwindowspointerhandler.cpp" "$win/qwindowspointerhandler.h"
  sed -i 's/CONDITION QT_FEATURE_tabletevent$/CONDITION QT_FEATURE_tabletevent AND EXISTS ${QtBase_SOURCE_DIR}\/src\/3rdparty\/wintab\/wintab.h/' \
    "$win/CMakeLists.txt"
  # With Direct2D off QtGui has no DirectWrite font database; the plugin must not ask for it.
  sed -i 's/#if QT_CONFIG(directwrite3)$/#if QT_CONFIG(directwrite3) \&\& QT_CONFIG(direct2d)/' \
    "$win/qwindowsintegration.cpp"
  rm -rf "$deps/qt6-mingw" "$deps/qt-build"
  cmake -G Ninja -S "$src" -B "$deps/qt-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$deps/qt6-mingw" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_opengl=OFF -DINPUT_opengl=no -DFEATURE_printsupport=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_network=OFF -DFEATURE_vulkan=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF \
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_icu=OFF -DFEATURE_direct2d=OFF >/dev/null
  cmake --build "$deps/qt-build" -j "$jobs"
  cmake --install "$deps/qt-build" >/dev/null
  find "$deps/qt6-mingw" \( -name '*.dll' -o -name '*.a' \) -exec x86_64-w64-mingw32-strip --strip-debug {} +
  rm -rf "$deps/qt-build"
  stamp qt "$qt_version"
fi

# zlib and libpng as static libraries, so the programs carry them and need no DLL.
zlib_version=$(source_version zlib1g-dev)
if stamp_ok zlib "$zlib_version" && [ -f "$sysroot/lib/libz.a" ]; then
  echo "zlib $zlib_version: present"
else
  echo "zlib $zlib_version: building"
  src=$(debian_source zlib "$zlib_version")
  # (The Debian source has no Windows makefile, and zlib's configure refuses mingw.)
  mkdir -p "$deps/zlib-build"
  for c in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
    inflate inftrees trees uncompr zutil; do
    x86_64-w64-mingw32-gcc-posix -O2 -c "$src/$c.c" -o "$deps/zlib-build/$c.o"
  done
  x86_64-w64-mingw32-ar rcs "$sysroot/lib/libz.a" "$deps/zlib-build"/*.o
  install -D -m 644 -t "$sysroot/include" "$src/zlib.h" "$src/zconf.h"
  rm -rf "$deps/zlib-build"
  stamp zlib "$zlib_version"
fi

png_version=$(source_version libpng-dev)
if stamp_ok png "$png_version" && [ -f "$sysroot/lib/libpng16.a" ]; then
  echo "libpng $png_version: present"
else
  echo "libpng $png_version: building"
  src=$(debian_source libpng1.6 "$png_version")
  cmake_cross "$src" "$deps/png-build" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
  stamp png "$png_version"
fi

gtest_version=$(dpkg-query -W -f='${Version}' libgtest-dev)
if stamp_ok gtest "$gtest_version" && [ -f "$sysroot/lib/cmake/GTest/GTestConfig.cmake" ]; then
  echo "GoogleTest $gtest_version: present"
else
  echo "GoogleTest $gtest_version: building"
  cmake_cross /usr/src/googletest "$deps/gtest-build"
  stamp gtest "$gtest_version"
fi

# nlohmann-json is headers only: the Debian ones, with their package files, in the
# sysroot (the cross-build looks for packages nowhere else).
json_version=$(dpkg-query -W -f='${Version}' nlohmann-json3-dev)
if stamp_ok json "$json_version" && [ -f "$sysroot/share/cmake/nlohmann_json/nlohmann_jsonConfig.cmake" ]; then
  echo "nlohmann-json $json_version: present"
else
  echo "nlohmann-json $json_version: copying"
  rm -rf "$sysroot/include/nlohmann" "$sysroot/share/cmake/nlohmann_json"
  mkdir -p "$sysroot/include" "$sysroot/share/cmake"
  cp -r /usr/include/nlohmann "$sysroot/include/"
  cp -r /usr/share/cmake/nlohmann_json "$sysroot/share/cmake/"
  stamp json "$json_version"
fi

echo "Windows dependencies ready in $deps"
