#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the README's screenshots, docs/rigdeck-ja.png and docs/rigdeck-en.png:
# the program of build/ (built first if need be) started with --demo in each
# language on a virtual display (xvfb-run), its window captured with
# ImageMagick's import. Needs xvfb-run, xdotool and ImageMagick.
#   BUILD_DIR   the build folder (default build)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${BUILD_DIR:-build}
if [ ! -x "$build/src/rigdeck" ]; then
    cmake -S . -B "$build" >/dev/null
    cmake --build "$build" -j2 --target rigdeck >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for language in ja en; do
    # One display per language; the window sits at the top left, without a
    # window manager's frame, and the black around it is trimmed away.
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
        set -euo pipefail
        QT_QPA_PLATFORM=xcb "$1" --demo --language "$2" --ini "$3/RIGDECK.INI" &
        program=$!
        xdotool search --sync --onlyvisible --name "^RIGDECK" >/dev/null
        sleep 2
        import -window root "$3/screen.png"
        kill "$program"
        wait "$program" 2>/dev/null || true
    ' capture "$build/src/rigdeck" "$language" "$work"
    convert "$work/screen.png" -trim +repage "docs/rigdeck-$language.png"
    echo "docs/rigdeck-$language.png: $(identify -format '%wx%h' "docs/rigdeck-$language.png")"
done
