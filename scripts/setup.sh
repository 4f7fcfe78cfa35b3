#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need (skipped when
# all are present), then configures and builds into build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev
  libbenchmark-dev nlohmann-json3-dev libpng-dev qt6-base-dev libgl1-mesa-dev
  qt6-translations-l10n xvfb xauth xdotool imagemagick fonts-dejavu-core
  dpkg-dev desktop-file-utils shared-mime-info libglib2.0-bin)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  echo "Installing: ${missing[*]}"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRVK_WERROR=ON >/dev/null
cmake --build build -j "$(nproc)"
