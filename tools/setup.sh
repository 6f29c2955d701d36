#!/bin/sh
# Installs what building and testing need on Debian 12: the mingw-w64 cross compiler, 32-bit
# Wine, a virtual X display, GoogleTest, SQLite's tools, Japanese and Chinese fonts. Quick when
# everything is present.
set -e
PACKAGES="cmake ninja-build g++ g++-mingw-w64-i686 binutils-mingw-w64-i686 googletest libgtest-dev
 sqlite3 nodejs wine wine32:i386 wine64 xvfb xauth x11-utils x11-xserver-utils
 xdotool imagemagick xserver-xorg-core xserver-xorg-video-dummy fonts-liberation fonts-wine
 fonts-ipafont-gothic fonts-wqy-microhei
 libxrandr2:i386 libxinerama1:i386 libxrender1:i386 libxi6:i386 libxcursor1:i386
 libxcomposite1:i386 libxfixes3:i386 libxxf86vm1:i386"

missing=""
for p in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
# npm ships with some Node.js builds and is a package of its own in others
command -v npm >/dev/null 2>&1 || missing="$missing npm"
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
echo "Installing:$missing"
$SUDO dpkg --add-architecture i386
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing >/dev/null
