#!/usr/bin/env bash
# A long run of the installed saver, watched for growth:
#   bash scripts/soak.sh [MINUTES]      (default 60)
# Builds the program (optimised, no sanitizers) in build/ through
# scripts/build.sh, installs it into a scratch prefix with settings of its own
# (the user's settings are never touched) and runs `wintermere /s` on a
# virtual 1920 x 1080 display with twenty birds, the clock, the music (into
# SDL's disk driver, which takes the samples in real time and throws them
# away) and a new scene every 10 seconds. Every minute it prints the saver's
# resident and peak memory, its open file descriptors and the files in its
# private temporary folder; at the end the growth over the run, and it fails
# when the saver ended by itself or did not end on a key press.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-60}
case $minutes in
  '' | *[!0-9]*)
    echo "soak: MINUTES must be a whole number, not '$minutes'" >&2
    exit 2
    ;;
esac

# The part that runs on the virtual display: scripts/soak.sh MINUTES --on-display WORK
if [ "${2:-}" = "--on-display" ]; then
  work=$3
  "$work/prefix/bin/wintermere" /s 2>"$work/saver.err" &
  pid=$!
  field() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$pid/status"; }
  printf '%7s %12s %12s %6s %12s\n' minute "rss (KiB)" "peak (KiB)" fds "temp files"
  first_rss='' first_fds=''
  for minute in $(seq 0 "$minutes"); do
    if [ "$minute" -gt 0 ]; then
      for _ in $(seq 60); do
        sleep 1
        kill -0 "$pid" 2>/dev/null || break 2
      done
    fi
    rss=$(field VmRSS) peak=$(field VmHWM)
    fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 | wc -l)
    temp=$(find "$XDG_RUNTIME_DIR" -path "$XDG_RUNTIME_DIR/wintermere-*" -type f | wc -l)
    printf '%7d %12d %12d %6d %12d\n' "$minute" "$rss" "$peak" "$fds" "$temp"
    # The first reading is taken a minute in, once the run has settled.
    if [ "$minute" -eq 1 ]; then
      first_rss=$rss first_fds=$fds
    fi
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    set +e
    wait "$pid"
    status=$?
    set -e
    echo "soak: the saver ended by itself (status $status) after $minute minutes:" >&2
    cat "$work/saver.err" >&2
    exit 1
  fi
  if [ -n "$first_rss" ]; then
    echo "growth from minute 1 to minute $minutes: $((rss - first_rss)) KiB resident," \
      "$((fds - first_fds)) file descriptors"
  fi
  xdotool key space
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$pid" 2>/dev/null; then
    echo "soak: a key press did not end the saver within five seconds" >&2
    kill -KILL "$pid"
    exit 1
  fi
  set +e
  wait "$pid"
  status=$?
  set -e
  left=$(find "$XDG_RUNTIME_DIR" -path "$XDG_RUNTIME_DIR/wintermere-*" | wc -l)
  echo "the saver ended with status $status; $left of its temporary files and folders left"
  [ "$status" -eq 0 ] && [ "$left" -eq 0 ]
  exit
fi

bash scripts/build.sh
# shellcheck source=scripts/private-home.sh
. scripts/private-home.sh
private_install build '' scene_duration=10 mute_audio=0 sprite_active=20 show_time=1 \
  objects_off=0 frame_rate=30
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE=/dev/null
unset QT_QPA_PLATFORM
echo "soak: wintermere /s for $minutes minutes on a virtual 1920 x 1080 display" \
  "(ten-second scenes, music, twenty birds, the clock)"
xvfb-run -a -s "-screen 0 1920x1080x24" bash scripts/soak.sh "$minutes" --on-display "$work"
