#!/usr/bin/env bash
# Measures the full-screen saver as it runs: builds the program (optimised,
# no sanitizers) in build/ through scripts/build.sh, installs it into a
# scratch prefix with settings of its own (the user's settings are never
# touched), and runs `wintermere /s` on a virtual 1920 x 1080 display at 30
# frames a second with 20 birds for 30 seconds. Then it prints
#   - the processor use of the saver process (user + system time from
#     /proc/PID/stat over its wall time, as a share of one core), taken just
#     before the saver is ended with SIGTERM;
#   - the mean and 99th-percentile frame interval, from the frame start
#     times the saver writes with --frame-times.
# The scene lasts longer than the run, so the figures are those of ordinary
# frames, without a scene change. WM_MEASURE_SECONDS changes the length.
# WM_MEASURE_MUSIC=1 plays the music as well, into SDL's disk driver (which
# takes the samples in real time and throws them away).
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${WM_MEASURE_SECONDS:-30}
music=${WM_MEASURE_MUSIC:-0}

# The part that runs on the virtual display: scripts/measure-saver.sh --on-display WORK
if [ "${1:-}" = "--on-display" ]; then
  work=$2
  frames="$work/frame-times"
  "$work/prefix/bin/wintermere" /s --frame-times "$frames" 2>"$work/saver.err" &
  pid=$!
  for _ in $(seq "$seconds"); do
    sleep 1
    kill -0 "$pid" 2>/dev/null || break
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    set +e
    wait "$pid"
    status=$?
    set -e
    echo "measure-saver: the saver ended by itself (status $status) before the run was over:" >&2
    cat "$work/saver.err" >&2
    exit 1
  fi
  # Processor time and age of the process, both in clock ticks. The fields
  # after the command name (which may hold spaces) start at field 3, "state".
  read -r -a stat <<<"$(sed 's/.*) //' "/proc/$pid/stat")"
  read -r uptime _ </proc/uptime
  kill -TERM "$pid"
  set +e
  wait "$pid"
  status=$?
  set -e
  [ "$status" -eq 0 ] || echo "measure-saver: SIGTERM ended the saver with status $status" >&2
  ticks=$(getconf CLK_TCK)
  awk -v cpu=$((stat[11] + stat[12])) -v start="${stat[19]}" -v up="$uptime" -v hz="$ticks" 'BEGIN {
    wall = up - start / hz
    use = 100 * cpu / hz / wall
    printf "processor use:        %5.1f %% of one core over %.1f s   (goal: under 5 %%)%s\n",
           use, wall, use < 5 ? "" : "   <- over the goal"
  }'
  if [ ! -s "$frames" ]; then
    echo "measure-saver: no frame times in $frames" >&2
    exit 1
  fi
  awk 'NR > 1 { print $1 - last } { last = $1 }' "$frames" | sort -n | awk '
    { d[NR] = $1; sum += $1 }
    END {
      if (NR == 0) { print "measure-saver: fewer than two frames" > "/dev/stderr"; exit 1 }
      mean = sum / NR
      p99 = d[int((99 * NR + 99) / 100)]
      printf "frame interval, mean: %5.1f ms   (goal: 33-34 ms)%s\n", mean,
             (mean >= 33 && mean <= 34) ? "" : "   <- outside the goal"
      printf "frame interval, p99:  %5.1f ms   (goal: under 40 ms)%s\n", p99,
             p99 < 40 ? "" : "   <- over the goal"
      printf "frames: %d, longest interval %d ms\n", NR + 1, d[NR]
    }'
  exit 0
fi

bash scripts/build.sh
build=${WM_BUILD:-build}
# shellcheck source=scripts/private-home.sh
. scripts/private-home.sh
if [ "$music" = 1 ]; then
  mute=0 with_music="with music"
  export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
else
  mute=1 with_music="no music"
fi
private_install "$build" "" frame_rate=30 sprite_active=20 objects_off=0 \
  scale_background=1 scene_duration=180 mute_audio=$mute
echo "Running wintermere /s on a 1920 x 1080 virtual display for $seconds s" \
  "(30 frames a second, 20 birds, $with_music)..."
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1920x1080x24" bash scripts/measure-saver.sh --on-display "$work"
