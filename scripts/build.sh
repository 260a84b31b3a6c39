#!/usr/bin/env bash
# Installs what is missing and builds the program (no tests) in build/, or in
# $WM_BUILD. Arguments name the targets to build; none builds everything.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${WM_BUILD:-build}
jobs=${WM_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWM_SANITIZE=OFF -DWM_BUILD_TESTS=OFF \
  -DWM_BUILD_BENCHMARKS=OFF -DWM_WERROR=ON >/dev/null
if [ "$#" -gt 0 ]; then
  cmake --build "$build" -j "$jobs" --target "$@"
else
  cmake --build "$build" -j "$jobs"
fi
