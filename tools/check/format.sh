#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Formats the C++ sources with clang-format and the repository's .clang-format.
#   tools/check/format.sh --check   lists the files that differ from the format; exit 1 if any
#   tools/check/format.sh --apply   rewrites them in place
# The C++ sources of tools/check/sources.sh are the files it reads. CLANG_FORMAT
# names another clang-format; the style was set with Debian's clang-format 14,
# and other versions may break a few lines differently.
set -euo pipefail
cd "$(dirname "$0")/../.."

mode=${1:-}
if [ "$mode" != "--check" ] && [ "$mode" != "--apply" ]; then
    echo "usage: $0 --check | --apply" >&2
    exit 2
fi
clang_format=${CLANG_FORMAT:-clang-format}
if ! command -v "$clang_format" >/dev/null; then
    echo "$0: $clang_format not found (tools/install-deps.sh installs it)" >&2
    exit 2
fi

. tools/check/sources.sh
mapfile -t files < <(cpp_sources)
if [ ${#files[@]} -eq 0 ]; then
    echo "$0: no C++ source listed (git ls-files found none: not a git checkout?)" >&2
    exit 2
fi
if [ "$mode" = "--apply" ]; then
    "$clang_format" --style=file -i "${files[@]}"
    exit 0
fi
differ=0
for f in "${files[@]}"; do
    if ! "$clang_format" --style=file "$f" | cmp -s - "$f"; then
        echo "$f"
        differ=1
    fi
done
if [ "$differ" -ne 0 ]; then
    echo "$0: the files above differ from .clang-format; tools/check/format.sh --apply formats them" >&2
fi
exit "$differ"
