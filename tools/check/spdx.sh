#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The licence line at the head of every source file.
#
#   tools/check/spdx.sh --check   lists the tracked files that lack it; fails if any do
#   tools/check/spdx.sh --add     gives it to each of them
#
# C++ files (.cpp, .h) under src/, tests/, tools/ and bench/ get
#   // SPDX-License-Identifier: GPL-3.0-or-later
# as their first line; shell and Python scripts and CMake files anywhere in
# the repository get the same after a "#", below the "#!" line of a script
# (and below a Python coding line, which must stay among the first two).
# A file that already names a licence in its first five lines, whichever
# licence it is, is left alone. Nothing else in a file changes.
set -euo pipefail
cd "$(dirname "$0")/../.."

licence="SPDX-License-Identifier: GPL-3.0-or-later"

usage()
{
    echo "usage: tools/check/spdx.sh --check | --add" >&2
    exit 2
}
[ $# -eq 1 ] || usage
case "$1" in
    --check | --add) mode=$1 ;;
    *) usage ;;
esac

# Tracked files of each kind, one a line. A file moved or deleted but not yet
# committed may be listed without being there; it is skipped below.
cpp_files()
{
    git ls-files -- 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' \
                    'tools/*.cpp' 'tools/*.h' 'bench/*.cpp' 'bench/*.h'
}
hash_files()
{
    git ls-files -- '*.sh' '*.py' 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake'
}

has_licence()
{
    head -n 5 -- "$1" | grep -q 'SPDX-License-Identifier:'
}

# Where the line goes: after how many of the file's lines.
insertion_point()
{
    local file=$1 after=0
    case "$file" in
        *.cpp | *.h) ;;
        *)
            if head -n 1 -- "$file" | grep -q '^#!'; then
                after=1
            fi
            if [[ "$file" == *.py ]] \
                && sed -n "$((after + 1))p" -- "$file" | grep -Eq '^[[:space:]]*#.*coding[:=]'; then
                after=$((after + 1))
            fi
            ;;
    esac
    echo "$after"
}

# Writes the line into the file in place (same file, so its mode stays),
# keeping every other byte, and the file's line ending.
add_licence()
{
    local file=$1 line after eol=$'\n' temporary
    case "$file" in
        *.cpp | *.h) line="// $licence" ;;
        *) line="# $licence" ;;
    esac
    after=$(insertion_point "$file")
    if head -n 1 -- "$file" | grep -q $'\r$'; then
        eol=$'\r\n'
    fi
    temporary=$(mktemp)
    {
        if [ "$after" -gt 0 ]; then
            head -n "$after" -- "$file"
            # A file of only a "#!" line may lack its final newline.
            if [ -n "$(head -n "$after" -- "$file" | tail -c 1)" ]; then
                printf '%s' "$eol"
            fi
        fi
        printf '%s%s' "$line" "$eol"
        tail -n +"$((after + 1))" -- "$file"
    } >"$temporary"
    cat "$temporary" >"$file"
    rm -f "$temporary"
}

missing=()
while IFS= read -r file; do
    [ -f "$file" ] || continue
    has_licence "$file" || missing+=("$file")
done < <({ cpp_files; hash_files; } | sort -u)

if [ "$mode" = --check ]; then
    if [ ${#missing[@]} -eq 0 ]; then
        exit 0
    fi
    echo "Without the line \"$licence\" (tools/check/spdx.sh --add adds it):"
    printf '  %s\n' "${missing[@]}"
    exit 1
fi

for file in "${missing[@]}"; do
    add_licence "$file"
    echo "added: $file"
done
