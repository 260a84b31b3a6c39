#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
# With what the fuzz targets need too (clang, libFuzzer, libjpeg for their seeds).
bash scripts/setup.sh --fuzz
build=${WM_TEST_BUILD:-build-asan}
jobs=${WM_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWM_SANITIZE=ON \
  -DWM_BUILD_TESTS=ON -DWM_BUILD_BENCHMARKS=ON -DWM_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
ctest --test-dir "$build" -j "$jobs" --output-on-failure --timeout 300
# The fuzz targets, about 20 seconds each, where clang can build libFuzzer
# programs (their findings fail the test run like a failed test).
if bash scripts/fuzz.sh --check; then
  bash scripts/fuzz.sh 20
else
  echo "test: no clang with libFuzzer (or no libjpeg headers) here, so the fuzz targets" \
    "do not run; scripts/setup.sh --fuzz installs them" >&2
fi
