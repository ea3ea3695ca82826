#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The licence line at the head of every source file (tools/check/sources.sh
# says which files those are): lists those without it, and fails if any.
#
# C++ files carry
#   // SPDX-License-Identifier: GPL-3.0-or-later
# as their first line; shell and Python scripts and CMake files the same
# after a "#", below the "#!" line of a script (and below a Python coding
# line, which must stay among the first two). Any licence named in the first
# five lines counts.
set -euo pipefail
cd "$(dirname "$0")/../.."
. tools/check/sources.sh

licence="SPDX-License-Identifier: GPL-3.0-or-later"
if [ $# -ne 1 ] || [ "$1" != --check ]; then
    echo "usage: tools/check/spdx.sh --check" >&2
    exit 2
fi

missing=()
checked=0
while IFS= read -r file; do
    [ -f "$file" ] || continue
    checked=$((checked + 1))
    head -n 5 -- "$file" | grep -q 'SPDX-License-Identifier:' || missing+=("$file")
done < <({ cpp_sources; hash_sources; } | sort -u)
if [ "$checked" -eq 0 ]; then
    echo "$0: no source file listed (git ls-files found none: not a git checkout?)" >&2
    exit 2
fi

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Without the line \"$licence\" in its first lines:"
printf '  %s\n' "${missing[@]}"
exit 1
