#!/usr/bin/env bash
# Installs every Debian package Wintermere needs to build, run and test;
# with --fuzz also what the fuzz targets need (clang 14 with libFuzzer, and
# libjpeg's own API for their JPEG seeds).
# Idempotent: when everything is present it prints nothing and changes nothing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format
  qt6-base-dev qt6-qpa-plugins
  libturbojpeg0-dev
  libsdl2-dev libsdl2-mixer-dev timgm6mb-soundfont
  libxcb1-dev libxcb-shm0-dev libfontconfig-dev
  fonts-liberation
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool imagemagick x11-utils
  # measure-saver.sh gives the saver a session bus, as a desktop does.
  dbus-daemon
  # A real screen-saver host and xrandr's monitors for the end-to-end tests.
  xscreensaver x11-xserver-utils
  # The package's checks: its desktop entries and manual pages.
  desktop-file-utils man-db
)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev libjpeg62-turbo-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}" >&2
if [ "$(id -u)" -eq 0 ]; then
  sudo=()
elif command -v sudo >/dev/null 2>&1; then
  sudo=(sudo)
else
  echo "setup: missing packages (${missing[*]}) and not root, no sudo available" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
