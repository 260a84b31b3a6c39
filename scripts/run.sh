#!/usr/bin/env bash
# Installs what is missing, builds the program, installs it into build/stage
# and starts it as the screen-saver host would: `wintermere /s`.
#
# The run keeps its settings in build/run-config, so the user's own settings
# are never touched by it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
build=${WM_BUILD:-build}
export XDG_CONFIG_HOME="$PWD/$build/run-config"
WM_INSTALL_SCOPE=user cmake --install "$build" --prefix "$PWD/$build/stage" >/dev/null
echo "Installed into $build/stage (settings in $XDG_CONFIG_HOME)."
echo "Starting: $build/stage/bin/wintermere /s"
set +e
"$build/stage/bin/wintermere" /s "$@"
status=$?
set -e
if [ "$status" -eq 2 ]; then
  echo "This build has no saver window yet (see the README): start-up, settings, the media"
  echo "pack tool ($build/stage/bin/wintermere-pack), the imaging core and the built-in media"
  echo "(the pack in $build/stage/share/wintermere; see them with scripts/contact-sheet.sh)"
  echo "are in place."
  exit 0
fi
exit "$status"
