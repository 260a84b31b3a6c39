#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz/ (or $WM_FUZZ_BUILD), writes
# their seed corpora, and runs each target for SECONDS (default 60) on its
# work corpus (build-fuzz/corpus/TARGET, kept between runs). Prints per target
# the inputs run, their rate, libFuzzer's coverage figures (cov: edges,
# ft: features) and what it found. Findings (crash-*, timeout-*, oom-*,
# leak-*) are kept in build-fuzz/findings/TARGET/, each with a minimised copy
# (minimized-*), and make the script exit with status 1.
#
#   bash scripts/fuzz.sh [SECONDS]   build, seed and run every target
#   bash scripts/fuzz.sh --check     exit 0 when clang can build libFuzzer programs
#                                    and libjpeg's headers are there
set -euo pipefail
cd "$(dirname "$0")/.."

cxx=$(command -v clang++-14 || command -v clang++ || true)
cc=$(command -v clang-14 || command -v clang || true)

# True when clang is there and links a program with libFuzzer's runtime.
fuzzer_available() {
  [ -n "$cxx" ] || return 1
  local probe
  probe=$(mktemp -d)
  printf 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }\n' \
    >"$probe/probe.cpp"
  local ok=0
  "$cxx" -fsanitize=fuzzer,address,undefined "$probe/probe.cpp" -o "$probe/probe" \
    >/dev/null 2>&1 || ok=1
  rm -rf "$probe"
  return $ok
}

# --check also wants libjpeg's headers, which the seed maker writes JPEGs with,
# so that the test command never needs to install anything for the fuzzing.
if [ "${1:-}" = "--check" ]; then
  fuzzer_available && pkg-config --exists libjpeg
  exit
fi

seconds=${1:-60}
case "$seconds" in
  '' | *[!0-9]*) echo "fuzz: SECONDS must be a whole number, not '$seconds'" >&2; exit 2 ;;
esac

bash scripts/setup.sh --fuzz
cxx=$(command -v clang++-14 || command -v clang++ || true)
cc=$(command -v clang-14 || command -v clang || true)
if ! fuzzer_available; then
  echo "fuzz: clang++ cannot link libFuzzer programs (packages clang-14, libclang-rt-14-dev)" >&2
  exit 2
fi

build=${WM_FUZZ_BUILD:-build-fuzz}
jobs=${WM_JOBS:-$(nproc)}
CC=$cc CXX=$cxx cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWM_FUZZ=ON \
  -DWM_BUILD_TESTS=OFF -DWM_BUILD_BENCHMARKS=OFF -DWM_WERROR=ON >/dev/null
# Only the fuzz targets and their seeds, not the program.
cmake --build "$build" -j "$jobs" --target wm_fuzz >/dev/null

targets=()
for source in fuzz/*_fuzz.cpp; do
  name=$(basename "$source" .cpp)
  [ -x "$build/fuzz/$name" ] && targets+=("$name")
done

# The targets' scratch folders go below the build folder, where a crashed
# run's leftovers are cleared by the next one.
scratch="$build/fuzz-tmp"
rm -rf "$scratch"
mkdir -p "$scratch" "$build/fuzz-logs"
export TMPDIR="$PWD/$scratch"
export QT_QPA_PLATFORM=offscreen
# Leaks inside the system's libraries are not ours to find.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/tests/support/lsan.supp}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# One figure from a libFuzzer log: the last "NAME: N".
figure() {
  local value
  value=$(grep -o -E "$2: +[0-9]+" "$1" | tail -n 1 | grep -o -E '[0-9]+$' || true)
  echo "${value:-?}"
}

found=0
summary=()
for name in "${targets[@]}"; do
  corpus="$build/corpus/$name"
  findings="$build/findings/$name"
  log="$build/fuzz-logs/$name.log"
  mkdir -p "$corpus" "$findings"
  echo "fuzz: $name for ${seconds}s" >&2
  # An input running 10 s is a finding: well beyond the slowest legitimate one
  # (settings whose lists claim 100000 entries: about 3 s under the sanitizers).
  # A target's words (markers, keys, switches) help it past the first checks.
  dict=()
  [ -f "fuzz/$name.dict" ] && dict=(-dict="fuzz/$name.dict")
  status=0
  "$build/fuzz/$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "${dict[@]}" \
    "$corpus" "$build/seeds/$name" >"$log" 2>&1 || status=$?
  runs=$(figure "$log" 'stat::number_of_executed_units')
  rate=$(figure "$log" 'stat::average_exec_per_sec')
  result="no finding"
  if [ "$status" -ne 0 ]; then
    found=1
    artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
    reason=$(grep -m 1 -o -E 'ERROR: [A-Za-z]+Sanitizer: [a-z-]+|runtime error: .*|fuzz check failed: .*|ALARM: working on the last Unit|out-of-memory \(([a-z_]+ )?[a-z: 0-9]*Mb\)|deadly signal' "$log" || true)
    # What a failed check said about the input, on the line after it.
    detail=$(grep -A 1 -m 1 '^==== fuzz check failed' "$log" | sed -n '2s/^==== //p' || true)
    result="FINDING (exit $status): ${reason:-see $log}${detail:+ ($detail)}; input ${artifact:-not written}"
    smallest=${artifact:-}
    if [ -n "$artifact" ] && [ -f "$artifact" ]; then
      # The smallest input that still fails, beside the original.
      minimised=$findings/minimized-$(basename "$artifact")
      "$build/fuzz/$name" -minimize_crash=1 -max_total_time=30 -timeout=10 \
        -rss_limit_mb=2048 -malloc_limit_mb=2048 -exact_artifact_path="$minimised" "$artifact" \
        >"$log.minimize" 2>&1 || true
      if [ -f "$minimised" ]; then
        result+=", minimised $minimised"
        smallest=$minimised
      fi
    fi
    # A short input is printed too, so that a finding on another machine can
    # be rerun here.
    if [ -n "$smallest" ] && [ -f "$smallest" ] && [ "$(stat -c %s "$smallest")" -le 2048 ]; then
      result+="; base64 $(base64 -w 0 "$smallest")"
    fi
  fi
  summary+=("$(printf '%-28s %10s runs %8s/s  cov %6s  ft %6s  corpus %6s  %s' "$name" \
    "${runs:-?}" "${rate:-?}" "$(figure "$log" cov)" "$(figure "$log" ft)" \
    "$(find "$corpus" -type f | wc -l)" "$result")")
done

printf '%s\n' "${summary[@]}"
rm -rf "$scratch"
exit $found
