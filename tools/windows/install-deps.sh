#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what building RIGDECK for Windows and checking it under Wine needs
# on Debian, on top of what tools/install-deps.sh installs, and nothing already
# there; and makes Debian's source packages reachable (deb-src), since Qt for
# Windows is built from Debian's own qtbase source.
set -euo pipefail
cd "$(dirname "$0")/../.."

# MinGW-w64 with POSIX threads (Qt needs std::thread), windres for the icon;
# wine64 runs the result; Xvfb, xdotool and ImageMagick's import show,
# click and capture its window; rsvg-convert draws the icon from the SVG;
# locales provides the Japanese locale definition for the code-page check;
# perl and python3 are used by Qt's build.
packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine64 xdotool imagemagick librsvg2-bin zip unzip locales ninja-build
          perl python3 dpkg-dev xvfb xauth fonts-noto-cjk x11-utils nsis)
tools/install-deps.sh "${packages[@]}"

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi

# Source packages: when the machine has no deb-src entry, one for each of its
# enabled deb entries, once, in files of our own: the same addresses, suites,
# components and options (signed-by and the like), so that sources come from
# wherever the machine already gets its packages. APT_SOURCES names another
# folder to read (tests).
apt=${APT_SOURCES:-/etc/apt}
sources=()
[ -f "$apt/sources.list" ] && sources+=("$apt/sources.list")
for file in "$apt"/sources.list.d/*.list "$apt"/sources.list.d/*.sources; do
    [ -f "$file" ] && sources+=("$file")
done
# One-line entries: "deb [options] URI suite components" becomes "deb-src ...".
one_line_entries()
{
    local file
    for file in "${sources[@]}"; do
        case "$file" in
            *.list) sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' "$file" ;;
        esac
    done
}
# deb822 stanzas whose Types name deb, and that are not switched off, copied
# with "Types: deb-src"; their comments stay behind.
stanzas()
{
    local file
    for file in "${sources[@]}"; do
        case "$file" in
            *.sources)
                awk 'BEGIN { RS = ""; FS = "\n" }
                     {
                         binary = 0; off = 0; text = ""
                         for (i = 1; i <= NF; i++) {
                             if ($i ~ /^#/) continue
                             if ($i ~ /^[Tt]ypes:/) {
                                 if ((" " substr($i, 7) " ") ~ /[[:space:]]deb[[:space:]]/) binary = 1
                                 $i = "Types: deb-src"
                             }
                             if ($i ~ /^[Ee]nabled:[[:space:]]*[Nn][Oo]/) off = 1
                             text = text $i "\n"
                         }
                         if (binary && !off) printf "%s\n", text
                     }' "$file"
                ;;
        esac
    done
}
has_deb_src()
{
    [ ${#sources[@]} -gt 0 ] && grep -qsE '^[[:space:]]*(deb-src[[:space:]]|[Tt]ypes:.*deb-src)' "${sources[@]}"
}
if ! has_deb_src; then
    list=$(one_line_entries)
    stanza_text=$(stanzas)
    if [ -z "$list" ] && [ -z "$stanza_text" ]; then
        echo "$0: no deb entry in $apt/sources.list or $apt/sources.list.d to take the deb-src addresses from" >&2
        exit 1
    fi
    if [ -n "$list" ]; then
        echo "Adding deb-src entries ($apt/sources.list.d/rigdeck-deb-src.list)"
        printf '%s\n' "$list" | $sudo tee "$apt/sources.list.d/rigdeck-deb-src.list" >/dev/null
    fi
    if [ -n "$stanza_text" ]; then
        echo "Adding deb-src entries ($apt/sources.list.d/rigdeck-deb-src.sources)"
        printf '%s\n' "$stanza_text" | $sudo tee "$apt/sources.list.d/rigdeck-deb-src.sources" >/dev/null
    fi
fi
if [ -z "${APT_SOURCES:-}" ] && ! apt-cache showsrc qt6-base >/dev/null 2>&1; then
    $sudo apt-get -o DPkg::Lock::Timeout=900 update -qq
fi
