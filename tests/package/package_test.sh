#!/bin/sh
# Installs the built Debian package into a temporary root and starts the program from there
# the way a user of an installed copy does: from a program folder the user may not write, so
# settings and history must go to the user's own data folder.
# Usage: package_test.sh FOLDER-WITH-THE-DEB
set -eu
deb=$(ls "$1"/vornelnet_*.deb)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
chmod 755 "$root"
fail() { echo "FAIL: $*" >&2; exit 1; }

dpkg-deb -x "$deb" "$root/pkg"
for f in usr/bin/vornelnet usr/share/vornelnet/Vornel_Net1.chm \
         usr/share/icons/hicolor/scalable/apps/vornelnet.svg \
         usr/share/applications/vornelnet.desktop; do
    [ -f "$root/pkg/$f" ] || fail "the package lacks /$f"
done
grep -qx 'Exec=/usr/bin/vornelnet' "$root/pkg/usr/share/applications/vornelnet.desktop" ||
    fail "the menu entry does not start /usr/bin/vornelnet"
depends=$(dpkg-deb -f "$deb" Depends)
for p in libqt6widgets6 libqt6dbus6 libcanberra0 libchm1 qt6-translations-l10n \
         fonts-ipaexfont-gothic xdg-utils; do
    echo "$depends" | grep -q "\\b$p\\b" || fail "Depends lacks $p: $depends"
done

# The superuser may write anywhere, so the program is started as an ordinary user; someone
# who is not root runs the test with the program folder made read-only.
home="$root/home"
mkdir -p "$home" "$root/run"
chmod 700 "$root/run"
as_user=""
if [ "$(id -u)" -eq 0 ]; then
    chown nobody "$home" "$root/run"
    as_user="runuser -u nobody --"
else
    chmod a-w "$root/pkg/usr/bin"
fi
status=0
$as_user env -i HOME="$home" XDG_RUNTIME_DIR="$root/run" QT_QPA_PLATFORM=offscreen \
    PATH=/usr/bin:/bin ASAN_OPTIONS="${ASAN_OPTIONS:-}" \
    DBUS_SYSTEM_BUS_ADDRESS=unix:path=/nonexistent/vornel-test-no-system-bus \
    DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/vornel-test-no-session-bus \
    timeout 60 "$root/pkg/usr/bin/vornelnet" --backup > "$root/out.txt" 2>&1 || status=$?
[ "$status" -eq 0 ] || { cat "$root/out.txt" >&2; fail "--backup exited with $status"; }

data="$home/.local/share/vornelnet"
[ -f "$data/system.dat" ] || fail "no settings in $data"
iconv -f CP932 -t UTF-8 "$data/history.txt" | grep -q '\[Success\]  \[Manual\]' ||
    fail "no successful run in $data/history.txt"
[ "$(stat -c %a "$data")" = 700 ] || fail "$data is not for its user alone"
[ "$(ls "$root/pkg/usr/bin")" = vornelnet ] || fail "files were written beside the program"
echo "PASS: installed from $(basename "$deb"); settings and history in the user's data folder"
