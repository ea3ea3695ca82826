#!/usr/bin/env bash
# Installs what building, running and testing RIGDECK needs on Debian, and
# nothing that is already there.
set -euo pipefail

packages=(cmake g++ make qt6-base-dev qt6-serialport-dev qt6-tools-dev-tools
          libgl-dev fonts-noto-cjk xvfb xauth)
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
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
