#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building, running and testing RIGDECK needs on Debian, and
# nothing that is already there.
#   tools/install-deps.sh [PACKAGE...]
# Packages named on the command line are installed too, in the same way
# (tools/windows/install-deps.sh names what the Windows build adds).
set -euo pipefail

# The window icon is an SVG: Qt draws it only with its SVG plugins, which newer
# Debian releases ship apart from the library. dpkg-dev and file are what
# `cpack -G DEB` uses to work out the package's dependencies.
svg_plugins=libqt6svg6
if apt-cache show qt6-svg-plugins >/dev/null 2>&1; then
    svg_plugins=qt6-svg-plugins
fi
# dbus, at-spi2-core and the AT-SPI Python bindings let tools/check/check-atspi.py
# read the window as a screen reader does.
# clang with its runtime (libFuzzer, the sanitizers) of the same version builds
# the fuzz targets; clang-format keeps the sources in the format of
# .clang-format (tools/check/format.sh).
# lintian checks the package as Debian would (tools/package/package.sh); groff-base
# and man-db format and index the manual pages, appstream validates the
# software-centre description. libhamlib-utils brings rigctld, which the
# shared-radio test puts between RIGDECK and the simulated radio.
# qt6-tools-dev and qt6-l10n-tools give Qt's translation tools (lrelease
# builds the English .qm, lupdate checks that the .ts is complete);
# qt6-translations-l10n holds Qt's own translations, so that Qt's dialog
# texts follow the chosen language.
packages=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-tools-dev-tools
          qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
          libgl-dev fonts-noto-cjk xvfb xauth "$svg_plugins" dpkg-dev file
          dbus at-spi2-core gir1.2-atspi-2.0 python3-gi
          clang libclang-rt-dev clang-format
          lintian groff-base man-db appstream
          libhamlib-utils "$@")
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
# Another installation running (another check, the system's own updates) is
# waited for rather than failed on.
echo "Installing: ${missing[*]}"
$sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get -o DPkg::Lock::Timeout=900 install -y -qq \
    --no-install-recommends "${missing[@]}" >/dev/null
