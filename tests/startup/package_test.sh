#!/usr/bin/env bash
# Builds the Debian package from a build folder (or takes a built one) and
# checks it as a user's machine would meet it: its control fields, its file
# list, its desktop entries and manual pages, and the programs run from the
# unpacked tree, the hack on a virtual display.
#
#   package_test.sh BUILD VERSION           package BUILD with cpack, then check
#   package_test.sh --deb FILE VERSION      check the package FILE
# (WM_KEEP=1 keeps its scratch folder for a look.)
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }

work=$(mktemp -d)
trap '[ -n "${WM_KEEP:-}" ] || rm -rf "$work"' EXIT
if [ "$1" = "--deb" ]; then
  deb=$2 version=$3
else
  version=$2
  cpack --config "$1/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 \
    || fail "cpack: $(cat "$work/cpack.log")"
  deb=$(echo "$work"/out/*.deb)
fi
arch=$(dpkg --print-architecture)
[ -f "$deb" ] || fail "no package: $deb"
[ "$(basename "$deb")" = "wintermere_${version}_${arch}.deb" ] || fail "package named $(basename "$deb")"

# The control fields: the libraries from the binaries, the data packages
# read at run time, and the hosts as recommendations.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = wintermere ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
depends=$(field Depends)
for needed in timgm6mb-soundfont fonts-liberation libqt6widgets6 libsdl2-2.0-0 libsdl2-mixer-2.0-0 \
  libturbojpeg0 libxcb1; do
  [[ ", $depends," == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done
[ "$(field Recommends)" = "xscreensaver | mate-screensaver" ] || fail "Recommends: $(field Recommends)"
# A package built for users (given with --deb) holds no sanitizer build.
if [ "$1" = "--deb" ] && [[ "$depends" == *libasan* || "$depends" == *libubsan* ]]; then
  fail "a sanitizer build: $depends"
fi

# The control archive: the system-wide settings file as the one conffile,
# and no maintainer scripts at all.
mkdir "$work/control"
dpkg-deb -e "$deb" "$work/control"
[ "$(cat "$work/control/conffiles")" = "/etc/xdg/Quillory Wintermere/settings.ini" ] \
  || fail "conffiles: $(cat "$work/control/conffiles")"
for script in preinst postinst prerm postrm config; do
  [ ! -e "$work/control/$script" ] || fail "the package has a $script script"
done

# Every file in its place, owned by root, programs executable and the rest
# not; nothing else.
dpkg-deb -c "$deb" >"$work/contents"
awk '$1 !~ /^d/' "$work/contents" | sed -E 's/^([^ ]+) +([^ ]+) +[0-9]+ +[^ ]+ +[^ ]+ +/\1 \2 /' \
  | sort >"$work/files"
sort >"$work/expected" <<EOF
-rw-r--r-- root/root ./etc/xdg/Quillory Wintermere/settings.ini
-rw-r--r-- root/root ./usr/share/applications/screensavers/wintermere.desktop
-rw-r--r-- root/root ./usr/share/applications/wintermere-settings.desktop
-rw-r--r-- root/root ./usr/share/doc/wintermere/changelog.gz
-rw-r--r-- root/root ./usr/share/doc/wintermere/copyright
-rw-r--r-- root/root ./usr/share/icons/hicolor/128x128/apps/wintermere.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/256x256/apps/wintermere.png
-rw-r--r-- root/root ./usr/share/icons/hicolor/48x48/apps/wintermere.png
-rw-r--r-- root/root ./usr/share/lintian/overrides/wintermere
-rw-r--r-- root/root ./usr/share/man/man1/wintermere-pack.1.gz
-rw-r--r-- root/root ./usr/share/man/man1/wintermere.1.gz
-rw-r--r-- root/root ./usr/share/wintermere/images.icf
-rw-r--r-- root/root ./usr/share/wintermere/images.img
-rw-r--r-- root/root ./usr/share/xscreensaver/config/wintermere.xml
-rwxr-xr-x root/root ./usr/bin/wintermere
-rwxr-xr-x root/root ./usr/bin/wintermere-pack
lrwxrwxrwx root/root ./usr/libexec/xscreensaver/wintermere -> ../../bin/wintermere
EOF
diff "$work/expected" "$work/files" >"$work/diff" || fail "the file list differs:"$'\n'"$(cat "$work/diff")"
grep -v ' root/root ' "$work/contents" && fail "entries not owned by root"

root="$work/root"
dpkg-deb -x "$deb" "$root"

# The packaged install_path names the packaged data folder.
settings="$root/etc/xdg/Quillory Wintermere/settings.ini"
grep -qFx "install_path=/usr/share/wintermere/" "$settings" || fail "settings.ini: $(cat "$settings")"
"$root/usr/bin/wintermere-pack" list "$root/usr/share/wintermere" >"$work/members" \
  || fail "the packaged pack cannot be listed"
[ "$(wc -l <"$work/members")" -eq 17 ] || fail "the packaged pack has not 17 members"
# SDL and SDL_mixer are loaded when music is first wanted, never linked.
readelf -d "$root/usr/bin/wintermere" | grep -q 'NEEDED.*libSDL2' && fail "wintermere links SDL"

# The desktop entries. The hosts' entry is in the reserved category
# Screensaver, which the validator wants restricted by OnlyShowIn: it is
# left open to every host (MATE and xfce4-screensaver read it, and
# applications menus leave that category out), so that one error and the
# hint that comes with it are expected, and nothing else.
desktop-file-validate "$root/usr/share/applications/wintermere-settings.desktop" >"$work/validate" 2>&1 \
  || fail "menu entry: $(cat "$work/validate")"
[ ! -s "$work/validate" ] || fail "menu entry: $(cat "$work/validate")"
entry="$root/usr/share/applications/wintermere-settings.desktop"
grep -qFx "Name=Wintermere Screen Saver Settings" "$entry" || fail "menu entry's name: $(cat "$entry")"
grep -qFx "Exec=/usr/bin/wintermere /c" "$entry" || fail "menu entry's command: $(cat "$entry")"
grep -qFx "Icon=wintermere" "$entry" || fail "menu entry's icon: $(cat "$entry")"
hosts="$root/usr/share/applications/screensavers/wintermere.desktop"
desktop-file-validate "$hosts" 2>&1 | sed "s|^$hosts: ||" \
  | grep -v '^error: value item "Screensaver" in key "Categories" in group "Desktop Entry" is a reserved category, so a "OnlyShowIn" key must be included$' \
  | grep -v '^hint: value "Screensaver;" for key "Categories" in group "Desktop Entry" does not contain a registered main category' \
  >"$work/validate" || true
[ ! -s "$work/validate" ] || fail "hosts' entry: $(cat "$work/validate")"
for line in "Exec=/usr/libexec/xscreensaver/wintermere --root" \
  "TryExec=/usr/libexec/xscreensaver/wintermere" "Categories=Screensaver;" "Terminal=false" \
  "StartupNotify=false"; do
  grep -qFx "$line" "$hosts" || fail "hosts' entry lacks $line: $(cat "$hosts")"
done
grep -qE '^(OnlyShowIn|NoDisplay|Hidden)=' "$hosts" && fail "hosts' entry is hidden from a host"
grep -qFx "NotShowIn=GNOME;KDE;" "$hosts" || fail "hosts' entry shows in GNOME's or KDE's launchers"

# The manual pages: no complaints from man's formatter, the version in their heading.
for page in wintermere wintermere-pack; do
  file="$root/usr/share/man/man1/$page.1.gz"
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" >"$work/page" 2>"$work/warnings" \
    || fail "man $page: $(cat "$work/warnings")"
  [ ! -s "$work/warnings" ] || fail "man $page warns: $(cat "$work/warnings")"
  zcat "$file" | grep -q "^\.TH .*$version" || fail "$page.1 does not give version $version"
done
zcat "$root/usr/share/doc/wintermere/changelog.gz" | head -1 | grep -qF "wintermere ($version)" \
  || fail "the changelog's newest entry is not $version"

# The unpacked programs answer --version and --help.
for program in wintermere wintermere-pack; do
  [ "$("$root/usr/bin/$program" --version)" = "$program $version" ] || fail "$program --version"
  "$root/usr/bin/$program" --help >"$work/help" || fail "$program --help failed"
  grep -q "$program" "$work/help" || fail "$program --help: $(cat "$work/help")"
done

# The hack, as a host starts it (through its link in the hack folder, the
# window in $XSCREENSAVER_WINDOW), in a host's window on a virtual display,
# with the data found through the packaged install_path pointed at the
# unpacked tree.
sed -i "s|^install_path=.*|install_path=$root/usr/share/wintermere/|" "$settings"
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
cat >"$work/hack.sh" <<'EOF'
set -euo pipefail
root=$1 work=$2
# Generous bounds only, so that a slow machine waits instead of failing.
xmessage -geometry 640x480+0+0 -title wintermere-host host 2>/dev/null &
host=$!
window=
for _ in $(seq 300); do
  window=$(xwininfo -name wintermere-host 2>/dev/null | awk '/Window id:/ { print $4 }') || true
  [ -n "$window" ] && break
  sleep 0.1
done
XDG_CONFIG_DIRS="$root/etc/xdg" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
  XSCREENSAVER_WINDOW=$window "$root/usr/libexec/xscreensaver/wintermere" --root --mute \
  2>"$work/hack.err" &
hack=$!
# Drawn once the host's window shows a picture (many colours) rather than black.
for _ in $(seq 120); do
  sleep 0.5
  kill -0 "$hack" 2>/dev/null || break
  import -window "$window" "$work/shot.png"
  [ "$(identify -format '%k' "$work/shot.png")" -gt 200 ] && break
done
kill -TERM "$hack" 2>/dev/null || true
status=0
wait "$hack" || status=$?
echo "$status" >"$work/hack.status"
kill "$host"
EOF
xvfb-run -a -s "-screen 0 640x480x24" bash "$work/hack.sh" "$root" "$work" \
  || fail "the virtual display run failed: $(cat "$work/hack.err")"
[ "$(cat "$work/hack.status")" = 0 ] || fail "the hack ended with $(cat "$work/hack.status"): $(cat "$work/hack.err")"
[ ! -s "$work/hack.err" ] || fail "the hack complained: $(cat "$work/hack.err")"
[ -f "$work/shot.png" ] || fail "the hack ended before its window could be looked at"
colours=$(identify -format '%k' "$work/shot.png")
[ "$colours" -gt 200 ] || fail "the hack drew no picture into the host's window ($colours colours)"
echo "1 passed, 0 failed"
