#!/usr/bin/env bash
# Builds the Debian package as a packager does: a Release build in
# build-package/ (or $WM_PACKAGE_BUILD) for the prefix /usr, without the
# tests, with warnings left as warnings and with Debian's hardening flags
# (dpkg-buildflags, every hardening feature on); then writes
# wintermere_<version>_<arch>.deb into that folder and prints its path.
# `sudo apt install ./build-package/wintermere_<version>_<arch>.deb` installs it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${WM_PACKAGE_BUILD:-build-package}
jobs=${WM_JOBS:-$(nproc)}
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DWM_SANITIZE=OFF -DWM_WERROR=OFF -DWM_BUILD_TESTS=OFF -DWM_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$jobs"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/wintermere_${version}_$(dpkg --print-architecture).deb"
rm -f "$deb"
(cd "$build" && cpack >/dev/null)
[ -f "$deb" ] || { echo "package: cpack wrote no $deb" >&2; exit 1; }
echo "Package: $deb"
