#!/usr/bin/env bash
# Installs what is missing, builds the window-shots tool and renders every
# window of the program on a virtual display into build/window-shots/NAME.png
# (NAME is the window's name, such as frm_custompictures), once at normal
# size and once at twice the size (NAME@2x.png, QT_SCALE_FACTOR=2), with a
# folder of sample pictures and songs the tool makes in
# build/window-shots/samples/.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${WM_BUILD:-build}
bash scripts/build.sh wintermere-window-shots
out="$PWD/$build/window-shots"
rm -rf "$out"
mkdir -p "$out/2x"
tool="$PWD/$build/config_ui/wintermere-window-shots"
# A private settings folder: the tool never touches the user's own.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" XDG_RUNTIME_DIR="$scratch/run"
mkdir -m 0700 -p "$XDG_RUNTIME_DIR"
export SDL_AUDIODRIVER=dummy
unset QT_QPA_PLATFORM
xvfb-run -a -s "-screen 0 1920x1200x24" "$tool" "$out"
QT_SCALE_FACTOR=2 xvfb-run -a -s "-screen 0 3840x2400x24" "$tool" "$out/2x"
for shot in "$out"/2x/*.png; do
  name=$(basename "$shot" .png)
  mv "$shot" "$out/$name@2x.png"
done
rm -rf "$out/2x"
echo "Window shots: $out"
