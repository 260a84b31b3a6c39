#!/usr/bin/env bash
# Builds the built-in media and writes a review sheet of all of it (the ten
# pictures, the wing cycle drawn over a scene, the sheets, the title card and
# the window pictures) to build/contact-sheet.png, or to the file given.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${WM_BUILD:-build}
sheet=${1:-$build/contact-sheet.png}
bash scripts/build.sh wm_media_files
QT_QPA_PLATFORM=offscreen "$build/assets/wintermere-media" contact-sheet "$build/media" "$sheet"
echo "Contact sheet: $sheet"
