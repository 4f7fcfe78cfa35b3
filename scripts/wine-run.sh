#!/usr/bin/env bash
# Runs a Windows program of the cross-build under Wine (the tests' emulator, see
# cmake/mingw-w64.cmake), in a Wine prefix of its own that says Windows 10 (Qt 6 needs
# it), with the Qt and compiler DLLs on the path. Made on first use.
#   scripts/wine-run.sh [--deps DIR] PROGRAM [ARGUMENTS...]
#   --deps DIR       the folder of scripts/windows-deps.sh (default $RVK_WIN_DEPS, or
#                    ~/.cache/rvk-win-deps)
#   RVK_WINEPREFIX   the prefix (default DIR/wine)
#   RVK_WINE_DESKTOP=NAME  the program has an X server of its own: it runs in the prefix
#                    PREFIX-NAME. (A prefix has one desktop for all of its programs, tied to
#                    the display of the one that opened it; a program showing its windows on
#                    another display can wait on that desktop for ever.)
#   RVK_WINE_OWN_DLLS=1  no DLLs on the path: the program must find its own beside it
#                    (an installed or unpacked copy)
set -euo pipefail
deps=${RVK_WIN_DEPS:-$HOME/.cache/rvk-win-deps}
if [ "${1:-}" = --deps ]; then
  deps=$2
  shift 2
fi
export WINEPREFIX=${RVK_WINEPREFIX:-$deps/wine}${RVK_WINE_DESKTOP:+-$RVK_WINE_DESKTOP}
export WINEDEBUG=${WINEDEBUG:--all}
# A crashing program must end at once, not wait in the debugger.
export WINEDLLOVERRIDES="winedbg.exe=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"

if [ ! -f "$WINEPREFIX/.rvk-ready" ]; then
  # Tests start in parallel: one makes the prefix, the others wait for it.
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec 9>"$WINEPREFIX.lock"
  flock 9
  if [ ! -f "$WINEPREFIX/.rvk-ready" ]; then
    # No offer to install .NET or the HTML engine while the prefix is made.
    WINEDLLOVERRIDES="mscoree=d;mshtml=d;$WINEDLLOVERRIDES" wineboot -i >/dev/null 2>&1
    winecfg -v win10 >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.rvk-ready"
  fi
  exec 9>&-
fi

if [ "${RVK_WINE_OWN_DLLS:-}" != 1 ]; then
  windows_path() { local p=${1//\//\\}; echo "Z:$p"; }
  path=$(windows_path "$deps/qt6-mingw/bin")
  for dll in libstdc++-6.dll libwinpthread-1.dll; do
    path+=";$(windows_path "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=$dll)")")"
  done
  export WINEPATH="$path${WINEPATH:+;$WINEPATH}"
fi
exec wine "$@"
