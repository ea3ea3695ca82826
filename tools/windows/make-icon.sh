#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Redraws data/rigdeck.ico, the Windows program's icon, from the SVG icon
# (16 to 64 pixels as bitmaps, 256 as PNG). Needs rsvg-convert and
# ImageMagick (tools/windows/install-deps.sh installs both).
set -euo pipefail
cd "$(dirname "$0")/../.."
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sizes=(16 24 32 48 64 256)
for s in "${sizes[@]}"; do
    rsvg-convert -w "$s" -h "$s" data/io.github.rigdeck.RIGDECK.svg -o "$tmp/$s.png"
done
args=()
for s in "${sizes[@]}"; do args+=("$tmp/$s.png"); done
convert "${args[@]}" data/rigdeck.ico
identify data/rigdeck.ico
