# Sourced by the scripts that run the saver on a virtual display:
#   private_install BUILD PREFIX OPTION=VALUE...
# makes a temporary home for the run ($work, removed when the script ends),
# points the settings, data and runtime folders into it (so the user's own
# settings are never touched), installs BUILD into PREFIX (empty: $work/prefix)
# and writes the given [Options] values.
private_install() {
  local build=$1 prefix=$2
  shift 2
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" XDG_RUNTIME_DIR="$work/run"
  mkdir -p "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  WM_INSTALL_SCOPE=user cmake --install "$build" --prefix "${prefix:-$work/prefix}" >/dev/null
  {
    echo "[Options]"
    printf '%s\n' "$@"
  } >>"$XDG_CONFIG_HOME/Quillory Wintermere/settings.ini"
}
