#!/usr/bin/env bash
# Installs what is missing, builds the program, installs it into build/stage
# and starts it as the screen-saver host would: `wintermere /s`.
#
# On a machine with a display the saver covers the screen until a key is
# pressed (or the mouse is clicked or moved); its settings live in
# build/run-config. With no display ($DISPLAY and $WAYLAND_DISPLAY empty) it
# runs on a virtual display (Xvfb) for about twenty seconds with ten-second
# scenes, settings in a temporary folder, saves screenshots in
# build/run-screens/, writes the music it plays to build/run-screens/sound.raw
# (through SDL's disk driver) and ends with a key press. Either way the
# user's own settings are never touched.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${WM_BUILD:-build}
case $build in
  /*) build_path=$build ;;
  *) build_path="$PWD/$build" ;;
esac
stage="$build_path/stage"
screens="$build_path/run-screens"

# The part that runs on the virtual display: scripts/run.sh --on-display [ARGS...]
if [ "${1:-}" = "--on-display" ]; then
  shift
  "$stage/bin/wintermere" /s "$@" &
  pid=$!
  start=$(date +%s%N)
  # Waits until `seconds` after the start; fails when the saver has ended.
  wait_until() {
    while [ $(($(date +%s%N) - start)) -lt $(($1 * 1000000000)) ]; do
      kill -0 "$pid" 2>/dev/null || return 1
      sleep 0.2
    done
  }
  for at in 2 8 15; do
    wait_until "$at" || break
    import -window root "$screens/screen-${at}s.png"
    echo "Screenshot after ${at} s: $screens/screen-${at}s.png"
  done
  if wait_until 20; then
    echo "Pressing a key to end it."
    xdotool key space || echo "xdotool could not press a key." >&2
    for _ in $(seq 50); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
      echo "The key press did not end the saver within five seconds; sending SIGTERM." >&2
      kill -TERM "$pid"
    fi
  fi
  set +e
  wait "$pid"
  status=$?
  set -e
  echo "The saver ended with status $status."
  if [ -f "${SDL_DISKAUDIOFILE:-}" ]; then
    # 16-bit stereo samples at 44.1 kHz: 176400 bytes a second.
    od -An -v -td2 -w2 "$SDL_DISKAUDIOFILE" | awk -v f="$SDL_DISKAUDIOFILE" '
      { n++; if ($1 > 200 || $1 < -200) loud++ }
      END { printf "Music: %.1f s of sound in %s, %.1f s of it audible" \
                   " (play it with: aplay -f cd %s).\n", n / 88200, f, loud / 88200, f }'
  else
    echo "Music: none was played." >&2
  fi
  exit "$status"
fi

bash scripts/build.sh

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  export XDG_CONFIG_HOME="$build_path/run-config"
  WM_INSTALL_SCOPE=user cmake --install "$build" --prefix "$stage" >/dev/null
  echo "Installed into $build/stage (settings in $XDG_CONFIG_HOME)."
  echo "Starting: $build/stage/bin/wintermere /s  (press a key to end it)"
  # Shown on the real display, whatever a test session left in the environment.
  unset QT_QPA_PLATFORM
  exec "$stage/bin/wintermere" /s "$@"
fi

# No display: a short run on a virtual one, with settings of its own.
# shellcheck source=scripts/private-home.sh
. scripts/private-home.sh
private_install "$build" "$stage" scene_duration=10 mute_audio=0
rm -rf "$screens"
mkdir -p "$screens"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$screens/sound.raw"
echo "Installed into $build/stage. No display here: running wintermere /s on a virtual"
echo "1920 x 1080 display for about twenty seconds (ten-second scenes, settings in a"
echo "temporary folder, the music written to $screens/sound.raw)."
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1920x1080x24" bash scripts/run.sh --on-display "$@"
