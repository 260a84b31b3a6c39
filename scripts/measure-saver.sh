#!/usr/bin/env bash
# Measures the full-screen saver as it runs: builds the program (optimised,
# no sanitizers) in build/ through scripts/build.sh, installs it into a
# scratch prefix with settings of its own (the user's settings are never
# touched), and runs `wintermere /s` on a virtual display at 30 frames a
# second with 20 birds, a new scene every 10 seconds and the music playing
# into SDL's disk driver (which takes the samples in real time and writes
# them to /dev/null). As on a desktop, the saver finds a session bus (one
# of the run's own, from dbus-run-session): without one, Qt's accessibility
# bridge would start a bus daemon on the saver's first window, some 25 ms
# that no desktop user waits for. Then it prints
#   - the processor use of the saver and of the display server over the
#     saver's life (user + system time from /proc/PID/stat over the saver's
#     wall time, as a share of one core), taken just before the saver is
#     ended with SIGTERM;
#   - the saver's peak memory (VmHWM) and its resident memory early in the
#     run and at its end;
#   - the time from the start of the process to the first scene on the
#     display, with its caption;
#   - the mean and 99th-percentile frame interval and the longest interval
#     outside the scene changes, from the times the saver writes with
#     --frame-times.
#
# Options:
#   --size WxH      the screen size (default 1920x1080); --4k is 3840x2160
#   --no-music      no music
#   --no-scenes     one scene for the whole run
#   --seconds N     the length of the run (default 30, or $WM_MEASURE_SECONDS)
#   --keep-frames F keeps the saver's frame times in file F
# (WM_MEASURE_SECONDS, WM_MEASURE_MUSIC=0|1 and WM_MEASURE_KEEP do the same.)
# WM_MEASURE_PIDFILE=F writes the saver's process id to F as it starts, for
# a profiler to attach to.
set -euo pipefail
cd "$(dirname "$0")/.."

usage() {
  sed -n '/^# Options:/,/^set /p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
}

seconds=${WM_MEASURE_SECONDS:-30}
size=1920x1080
music=${WM_MEASURE_MUSIC:-1}
scenes=1
keep_frames=${WM_MEASURE_KEEP:-}
while [ "$#" -gt 0 ]; do
  case $1 in
    --on-display) break ;;
    --size)
      [ "$#" -ge 2 ] || usage
      size=$2
      shift
      ;;
    --4k) size=3840x2160 ;;
    --no-music) music=0 ;;
    --no-scenes) scenes=0 ;;
    --seconds)
      [ "$#" -ge 2 ] || usage
      seconds=$2
      shift
      ;;
    --keep-frames)
      [ "$#" -ge 2 ] || usage
      keep_frames=$2
      shift
      ;;
    *) usage ;;
  esac
  shift
done
[[ $size =~ ^[1-9][0-9]{2,4}x[1-9][0-9]{2,4}$ ]] || {
  echo "measure-saver: --size takes WIDTHxHEIGHT, such as 3840x2160" >&2
  exit 2
}
[[ $seconds =~ ^[1-9][0-9]*$ ]] || {
  echo "measure-saver: --seconds takes a whole number of seconds above 0" >&2
  exit 2
}

# Processor time (user + system) of process $1 in clock ticks.
cpu_ticks() {
  local -a stat
  # The fields after the command name (which may hold spaces) start at
  # field 3, "state".
  read -r -a stat <<<"$(sed 's/.*) //' "/proc/$1/stat")"
  echo $((stat[11] + stat[12]))
}

# A memory line of /proc/$1/status ("VmHWM", "VmRSS") in kB.
memory_kb() {
  awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"
}

# The part that runs on the virtual display: scripts/measure-saver.sh --on-display WORK
if [ "${1:-}" = "--on-display" ]; then
  work=$2
  frames="$work/frame-times"
  display_server=$(pgrep -f "^Xvfb $DISPLAY( |\$)" | head -n 1)
  [ -n "$display_server" ] || {
    echo "measure-saver: cannot find the Xvfb of $DISPLAY" >&2
    exit 1
  }
  server_before=$(cpu_ticks "$display_server")
  # The clock the saver's frame times are on (the monotonic one), read just
  # before the saver's program replaces the one that reads it.
  perl -MTime::HiRes=clock_gettime,CLOCK_MONOTONIC -e '
    open(my $out, ">", shift) or die; printf $out "%d\n", clock_gettime(CLOCK_MONOTONIC) * 1000;
    close $out; exec @ARGV or die "cannot run $ARGV[0]: $!\n"' "$work/started" \
    "$work/prefix/bin/wintermere" /s --frame-times "$frames" 2>"$work/saver.err" &
  pid=$!
  [ -z "${WM_MEASURE_PIDFILE:-}" ] || echo "$pid" >"$WM_MEASURE_PIDFILE"
  early_rss=
  for second in $(seq "$seconds"); do
    sleep 1
    kill -0 "$pid" 2>/dev/null || break
    if [ "$second" -eq $(((seconds + 4) / 5)) ]; then
      early_rss=$(memory_kb "$pid" VmRSS)
      early_second=$second
      # From here on the start-up is over: the steady share is taken from
      # this point to the end.
      steady_cpu=$(cpu_ticks "$pid")
      read -r steady_uptime _ </proc/uptime
    fi
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
  saver_cpu=$(cpu_ticks "$pid")
  server_after=$(cpu_ticks "$display_server")
  start_ticks=$(sed 's/.*) //' "/proc/$pid/stat" | awk '{ print $20 }')
  read -r uptime _ </proc/uptime
  peak=$(memory_kb "$pid" VmHWM)
  end_rss=$(memory_kb "$pid" VmRSS)
  kill -TERM "$pid"
  set +e
  wait "$pid"
  status=$?
  set -e
  failed=0
  if [ "$status" -ne 0 ]; then
    echo "measure-saver: SIGTERM ended the saver with status $status" >&2
    failed=1
  fi
  # SDL's disk driver announces itself on standard error.
  sed -i '/^CRITICAL: .*SDL disk i.o audio driver/d; /^CRITICAL:  Writing to file/d' "$work/saver.err"
  if [ -s "$work/saver.err" ]; then
    echo "measure-saver: the saver wrote to standard error:" >&2
    cat "$work/saver.err" >&2
    failed=1
  fi
  awk -v cpu="$saver_cpu" -v server=$((server_after - server_before)) -v start="$start_ticks" \
    -v up="$uptime" -v hz="$(getconf CLK_TCK)" -v music="$music" -v peak="$peak" \
    -v early="${early_rss:-0}" -v early_s="${early_second:-0}" -v end_rss="$end_rss" \
    -v steady_cpu="${steady_cpu:-}" -v steady_up="${steady_uptime:-}" 'BEGIN {
    wall = up - start / hz
    use = 100 * cpu / hz / wall
    goal = music ? 3.0 : 2.0
    printf "saver processor use:  %5.1f %% of one core over %.1f s   (goal: at most %.1f %%)%s\n",
           use, wall, goal, use <= goal ? "" : "   <- over the goal"
    if (steady_cpu != "" && up > steady_up) {
      use = 100 * (cpu - steady_cpu) / hz / (up - steady_up)
      printf "  of which after %d s: %5.1f %% of one core over %.1f s\n", early_s, use, up - steady_up
    }
    use = 100 * server / hz / wall
    printf "display server use:   %5.1f %% of one core               (goal: at most 1.5 %%)%s\n",
           use, use <= 1.5 ? "" : "   <- over the goal"
    printf "peak memory (VmHWM):  %5.1f MB\n", peak / 1000
    if (early > 0)
      printf "resident memory:      %5.1f MB at %d s, %.1f MB at the end\n", early / 1000, early_s,
             end_rss / 1000
  }'
  [ -z "$keep_frames" ] || cp "$frames" "$keep_frames"
  if [ ! -s "$frames" ]; then
    echo "measure-saver: no frame times in $frames" >&2
    exit 1
  fi
  # Frame starts are plain ticks; "shown T" is the first scene on the
  # display, "scene B E" a scene change. An interval between two frame
  # starts that overlaps a scene change holds a transition and is left out
  # of the longest one.
  awk -v started="$(cat "$work/started")" '
    $1 == "shown" { shown = $2; next }
    $1 == "scene" { b[++scenes] = $2; e[scenes] = $3; next }
    { t[++n] = $1 }
    END {
      if (n < 2) { print "measure-saver: fewer than two frames" > "/dev/stderr"; exit 1 }
      if (shown != "") {
        first = (shown - started % 4294967296 + 4294967296) % 4294967296
        printf "first frame:          %5d ms after the process started (goal: at most 100 ms)%s\n",
               first, first <= 100 ? "" : "   <- over the goal"
      } else {
        print "measure-saver: the saver did not say when its first frame was shown" > "/dev/stderr"
        failed = 1
      }
      longest = 0
      for (i = 2; i <= n; ++i) {
        d = t[i] - t[i - 1]
        inside = 0
        for (s = 1; s <= scenes; ++s) {
          if (t[i - 1] <= e[s] && t[i] >= b[s]) { inside = 1; break }
        }
        if (!inside && d > longest) { longest = d; at = t[i - 1] - t[1] }
      }
      printf "longest interval outside the %d scene changes: %d ms, %.1f s into the run (goal: at most 45 ms)%s\n",
             scenes + 0, longest, at / 1000, longest <= 45 ? "" : "   <- over the goal"
      exit failed
    }' "$frames" || failed=1
  awk '$1 ~ /^[0-9]+$/ { if (n++) print $1 - last; last = $1 }' "$frames" | sort -n | awk '
    { d[NR] = $1; sum += $1 }
    END {
      printf "frame interval, mean: %5.1f ms, p99: %.1f ms, over %d frames\n", sum / NR,
             d[int((99 * NR + 99) / 100)], NR + 1
    }'
  # The figures are printed whatever they are; a run that went wrong fails.
  exit "$failed"
fi

bash scripts/build.sh
build=${WM_BUILD:-build}
# shellcheck source=scripts/private-home.sh
. scripts/private-home.sh
if [ "$music" = 1 ]; then
  mute=0 with_music="music into SDL's disk driver"
  export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
else
  mute=1 with_music="no music"
fi
if [ "$scenes" = 1 ]; then
  scene_duration=10 with_scenes="a new scene every 10 s"
else
  scene_duration=$((seconds + 60)) with_scenes="one scene"
fi
private_install "$build" "" frame_rate=30 sprite_active=20 objects_off=0 \
  scale_background=1 scene_duration=$scene_duration mute_audio=$mute
echo "Running wintermere /s on a ${size/x/ x } virtual display for $seconds s" \
  "(30 frames a second, 20 birds, $with_scenes, $with_music)..."
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
WM_MEASURE_SECONDS=$seconds WM_MEASURE_MUSIC=$music WM_MEASURE_KEEP=${keep_frames:+$(realpath -m "$keep_frames")} \
  xvfb-run -a -s "-screen 0 ${size}x24" dbus-run-session -- \
  bash scripts/measure-saver.sh --on-display "$work"
