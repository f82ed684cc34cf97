#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks to build, run or test haze.
# Idempotent: asks apt only for packages that are not installed yet.
#
#   scripts/setup.sh run    what building and running haze needs
#   scripts/setup.sh test   that, plus every tool the tests use
set -euo pipefail

purpose=${1:-run}

run_packages=(
  g++ cmake make pkg-config
  libgl-dev libglu1-mesa-dev libegl-dev libx11-dev libxrandr-dev libxinerama-dev libpng-dev
  libwayland-dev libwayland-bin wayland-protocols libxkbcommon-dev
  libgl1-mesa-dri libegl-mesa0 libglx-mesa0
  x11-utils
)
test_packages=(
  clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xserver-xephyr xdotool imagemagick apitrace time
  xscreensaver-gl-extra
  g++-mingw-w64-x86-64 wine wine64 fonts-wine
  xscreensaver xscreensaver-gl
  sway swayidle grim wtype weston
  dpkg-dev file lintian desktop-file-utils libxml2-utils man-db unzip
)

case "$purpose" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${run_packages[@]}" "${test_packages[@]}") ;;
  *) echo "usage: $0 run|test" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

echo "Installing: ${missing[*]}"
as_root apt-get update -q
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
