#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that translations/rigdeck_en.ts is complete: Qt's lupdate, run over
# src/ into a copy, must find every Japanese text of the program already
# there, translated, and no entry whose text has gone from the program.
# With --update the file in the tree is brought up to date instead (new texts
# come in unfinished, gone ones are dropped); translate the new ones then.
set -euo pipefail
cd "$(dirname "$0")/../.."
ts=translations/rigdeck_en.ts
lupdate=${LUPDATE:-$(qtpaths6 --query QT_HOST_BINS 2>/dev/null || echo /usr/lib/qt6/bin)/lupdate}

if [ "${1:-}" = "--update" ]; then
    "$lupdate" -silent -locations none -no-obsolete -source-language ja -target-language en src -ts "$ts"
    exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$ts" "$work/rigdeck_en.ts"
"$lupdate" -silent -locations none -source-language ja -target-language en src -ts "$work/rigdeck_en.ts"
unfinished=$(grep -c 'type="unfinished"' "$work/rigdeck_en.ts" || true)
gone=$(grep -cE 'type="(vanished|obsolete)"' "$work/rigdeck_en.ts" || true)
if [ "$unfinished" -ne 0 ] || [ "$gone" -ne 0 ] || ! cmp -s "$ts" "$work/rigdeck_en.ts"; then
    echo "$ts is not up to date: $unfinished text(s) without English, $gone gone from the program:" >&2
    diff -u "$ts" "$work/rigdeck_en.ts" >&2 || true
    echo "Run tools/check/check-translations.sh --update, then translate what is marked unfinished." >&2
    exit 1
fi
echo "$ts: every text of the program has its English"
