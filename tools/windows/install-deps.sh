#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building RIGDECK for Windows and checking it under Wine needs
# on Debian, on top of tools/install-deps.sh, and nothing already there; and
# makes Debian's source packages reachable (deb-src), since Qt for Windows is
# built from Debian's own qtbase source.
set -euo pipefail
cd "$(dirname "$0")/../.."
tools/install-deps.sh

# MinGW-w64 with POSIX threads (Qt needs std::thread), windres for the icon;
# wine64 runs the result; Xvfb, xdotool and ImageMagick's import show,
# click and capture its window; rsvg-convert draws the icon from the SVG;
# locales provides the Japanese locale definition for the code-page check;
# perl and python3 are used by Qt's build.
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine64 xdotool imagemagick librsvg2-bin zip unzip locales ninja-build
          perl python3 dpkg-dev xvfb xauth fonts-noto-cjk x11-utils nsis)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
updated=0
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
    updated=1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
        --no-install-recommends "${missing[@]}" >/dev/null
fi

# Source packages: add deb-src lines for the suites the machine already uses,
# once, in a file of our own.
if ! grep -rqsE '^(deb-src|Types:.*deb-src)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    . /etc/os-release
    codename=${VERSION_CODENAME:?no VERSION_CODENAME in /etc/os-release}
    echo "Adding deb-src lines for $codename (/etc/apt/sources.list.d/rigdeck-deb-src.sources)"
    $sudo tee /etc/apt/sources.list.d/rigdeck-deb-src.sources >/dev/null <<SOURCES
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: $codename $codename-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: $codename-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
    updated=0
fi
if [ "$updated" -eq 0 ] && ! apt-cache showsrc qt6-base >/dev/null 2>&1; then
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
fi
