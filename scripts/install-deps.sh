#!/bin/sh
# Installs what building, running and testing Vornelnet needs on Debian 12.
set -eu
PACKAGES="cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6svg6
  libgtest-dev libgmock-dev
  libcanberra-dev libasound2-dev sound-theme-freedesktop libchm-dev
  qt6-translations-l10n
  xdg-utils fonts-ipaexfont-gothic dpkg-dev
  dbus-daemon xvfb xauth rsync clang-format"
missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
