#!/usr/bin/env bash
# Installs the build into scratch prefixes and checks where everything lands
# and that the installed program finds its data folder.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A per-user install: the user's own settings file records the data folder,
# and whatever else that file held survives.
config="$work/config/Quillory Wintermere/settings.ini"
mkdir -p "$(dirname "$config")"
printf '[Config]\ninstall_path=/old/place/\n[Options]\nframe_rate=45\n' >"$config"
XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/xdg" WM_INSTALL_SCOPE=auto \
  cmake --install "$build" --prefix "$work/prefix" >"$work/install.log"
[ -x "$work/prefix/bin/wintermere" ] || fail "no bin/wintermere"
[ -x "$work/prefix/bin/wintermere-pack" ] || fail "no bin/wintermere-pack"
[ -d "$work/prefix/share/wintermere" ] || fail "no share/wintermere"
# The screen-saver hosts' description of the hack and its options.
xml="$work/prefix/share/xscreensaver/config/wintermere.xml"
[ -f "$xml" ] || fail "no share/xscreensaver/config/wintermere.xml"
grep -qF '<command arg="--root"/>' "$xml" || fail "the hosts' XML runs no --root"
# MATE's and xfce's entry, whose Exec lies in the hack folder, where the program is linked.
hack="$work/prefix/libexec/xscreensaver/wintermere"
[ -L "$hack" ] && [ "$(readlink -f "$hack")" = "$(readlink -f "$work/prefix/bin/wintermere")" ] \
  || fail "no link to the program in libexec/xscreensaver"
entry="$work/prefix/share/applications/screensavers/wintermere.desktop"
grep -qFx "Exec=$work/prefix/libexec/xscreensaver/wintermere --root" "$entry" \
  || fail "the screensavers entry does not run the hack: $(cat "$entry")"
grep -qFx "Categories=Screensaver;" "$entry" || fail "the entry is no Screensaver"
# The menu entry for the settings runs the installed program, with its icon
# in the hicolor theme; the manual pages.
menu="$work/prefix/share/applications/wintermere-settings.desktop"
grep -qFx "Exec=$work/prefix/bin/wintermere /c" "$menu" || fail "the menu entry: $(cat "$menu")"
for size in 48 128 256; do
  [ -f "$work/prefix/share/icons/hicolor/${size}x$size/apps/wintermere.png" ] || fail "no $size px icon"
done
for page in wintermere wintermere-pack; do
  gzip -t "$work/prefix/share/man/man1/$page.1.gz" || fail "no manual page $page.1.gz"
done
# The built-in pack lies in the data folder, its members in the order of their roles.
"$work/prefix/bin/wintermere-pack" list "$work/prefix/share/wintermere" >"$work/members" \
  || fail "no readable pack in share/wintermere"
[ "$(wc -l <"$work/members")" -eq 17 ] || fail "pack has not 17 members: $(cat "$work/members")"
[ "$(cut -f1 "$work/members" | sed "s/.*\.//" | tr "\n" " ")" = "jpg jpg jpg jpg jpg jpg jpg jpg jpg jpg png png jpg mid mid mid mid " ] \
  || fail "members out of role order: $(cat "$work/members")"
grep -qFx "install_path=$work/prefix/share/wintermere/" "$config" || fail "install_path not recorded: $(cat "$config")"
grep -qFx "frame_rate=45" "$config" || fail "other settings lost"
[ ! -e "$work/xdg/Quillory Wintermere/settings.ini" ] || fail "a per-user install wrote the system file"

# The installed program starts and finds it (/a ends at once when it does).
XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/xdg" env -u DISPLAY -u QT_QPA_PLATFORM \
  "$work/prefix/bin/wintermere" /a 1 2>"$work/err" || fail "installed program: $(cat "$work/err")"
[ ! -s "$work/err" ] || fail "installed program complained: $(cat "$work/err")"

# A packaged system install: the system-wide file below DESTDIR (in /etc/xdg,
# whatever the installing desktop lists first), never the user's.
rm -rf "$work/config"
XDG_CONFIG_DIRS=/etc/xdg/xdg-gnome:/etc/xdg XDG_CONFIG_HOME="$work/config" DESTDIR="$work/stage" \
  cmake --install "$build" --prefix /usr >"$work/install.log"
[ -x "$work/stage/usr/bin/wintermere" ] || fail "no staged usr/bin/wintermere"
grep -qFx "Exec=/usr/libexec/xscreensaver/wintermere --root" \
  "$work/stage/usr/share/applications/screensavers/wintermere.desktop" \
  || fail "the staged entry does not run /usr/libexec/xscreensaver/wintermere"
[ "$(readlink "$work/stage/usr/libexec/xscreensaver/wintermere")" = "../../bin/wintermere" ] \
  || fail "the staged hack is no relative link to the program"
[ -d "$work/stage/usr/share/wintermere" ] || fail "no staged usr/share/wintermere"
grep -qFx "install_path=/usr/share/wintermere/" "$work/stage/etc/xdg/Quillory Wintermere/settings.ini" \
  || fail "system install_path not recorded"
[ ! -e "$work/stage/etc/xdg/xdg-gnome" ] || fail "wrote below the desktop's own folder"
[ ! -e "$config" ] || fail "a system install wrote the user's file"

# The installed program reads the system-wide value when the user has none:
# it gets as far as the saver, which without a display says so.
XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/stage/etc/xdg" env -u DISPLAY -u QT_QPA_PLATFORM \
  -u WAYLAND_DISPLAY "$work/stage/usr/bin/wintermere" /s 2>"$work/err" \
  && fail "/s ran without a display"
grep -q "the saver needs a display" "$work/err" || fail "unexpected: $(cat "$work/err")"
# A prefix with a blank in it: the entries' commands are quoted, their
# TryExec (a plain path) is not.
spaced="$work/my apps"
XDG_CONFIG_HOME="$work/config" XDG_CONFIG_DIRS="$work/xdg" WM_INSTALL_SCOPE=user \
  cmake --install "$build" --prefix "$spaced" >"$work/install.log"
grep -qFx "Exec=\"$spaced/bin/wintermere\" /c" "$spaced/share/applications/wintermere-settings.desktop" \
  || fail "the menu entry's command is not quoted: $(cat "$spaced/share/applications/wintermere-settings.desktop")"
grep -qFx "TryExec=$spaced/bin/wintermere" "$spaced/share/applications/wintermere-settings.desktop" \
  || fail "the menu entry's TryExec: $(cat "$spaced/share/applications/wintermere-settings.desktop")"
grep -qFx "Exec=\"$spaced/libexec/xscreensaver/wintermere\" --root" \
  "$spaced/share/applications/screensavers/wintermere.desktop" || fail "the hosts' command is not quoted"
echo "1 passed, 0 failed"
