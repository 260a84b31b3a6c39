#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
build=${WM_TEST_BUILD:-build-asan}
jobs=${WM_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWM_SANITIZE=ON \
  -DWM_BUILD_TESTS=ON -DWM_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" -j "$jobs" --output-on-failure --timeout 300
