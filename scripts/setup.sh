#!/usr/bin/env bash
# Installs what building, running and testing need (Debian 12, as root) and builds.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6serialport6-dev qt6-image-formats-plugins qt6-qpa-plugins
  libgl-dev libjpeg-dev
  qt6-charts-dev libqt6opengl6-dev poppler-utils libqt6sql6-sqlite
  qt6-charts-dev libqt6opengl6-dev poppler-utils
  qt6-translations-l10n
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libmodbus-dev
  fonts-dejavu-core fonts-liberation2
  xvfb xauth
  clang libclang-rt-14-dev appstream
  dpkg-dev file lintian libqt6sql6-sqlite qt6-translations-l10n
)
missing=()
for p in "${packages[@]}"; do
  dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root, or install them first)" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
