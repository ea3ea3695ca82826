#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Windows installer from the folder the zip is packed from, with
# Debian's NSIS (makensis, 64-bit stubs): every file of that folder is
# installed, and the uninstaller removes exactly those.
#
#   make-installer.sh STAGE VERSION OUTFILE
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
stage=$(cd "$1" && pwd)
version=$2
outfile=$3
command -v makensis >/dev/null || { echo "makensis not found (apt-get install nsis)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The files, then their folders deepest first; NSIS takes Windows paths.
{
    (cd "$stage" && find . -type f | sort) | sed 's#^\./##; s#/#\\#g; s#.*#Delete "$INSTDIR\\&"#'
    (cd "$stage" && find . -mindepth 1 -type d | sort -r) | sed 's#^\./##; s#/#\\#g; s#.*#RMDir "$INSTDIR\\&"#'
} >"$work/uninstall-list.nsh"
size_kb=$(du -sk "$stage" | cut -f1)

makensis -V2 -INPUTCHARSET UTF8 \
    -DVERSION="$version" -DSTAGE="$stage" -DUNINSTALL_LIST="$work/uninstall-list.nsh" \
    -DSIZE_KB="$size_kb" -DICON="$repo/data/rigdeck.ico" -DOUTFILE="$(realpath -m "$outfile")" \
    "$here/rigdeck.nsi" >"$work/makensis.log" 2>&1 \
    || { cat "$work/makensis.log" >&2; exit 1; }
grep -i 'warning' "$work/makensis.log" >&2 || true
