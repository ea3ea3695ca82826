#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds rigdeck.exe for 64-bit Windows against the Qt that build-qt.sh made
# (building that first if needed), and packs it with everything it needs to
# run into rigdeck-<version>-win64.zip, and makes the installer
# rigdeck-<version>-setup.exe from the same files (make-installer.sh). Prints
# the zip's path as its last line.
#
#   BUILD_DIR      build folder (default build-win in the source tree)
#   WITH_TESTS=1   also build the QtTest suites for Windows
#   JOBS           parallel compile jobs (default 2)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$repo/build-win}
jobs=${JOBS:-2}
triplet=x86_64-w64-mingw32

qt=$("$here/build-qt.sh" | tail -1)
export RIGDECK_WINDOWS_QT=$qt

testing=OFF
if [ "${WITH_TESTS:-0}" = 1 ]; then testing=ON; fi
# Optimised, with line tables (-g1, a third quicker to build than full debug
# information): a fault seen under a debugger shows as a source line; the
# zip gets a stripped copy.
nice -n 10 cmake -S "$repo" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
    -DQT_HOST_PATH="$(qtpaths6 --query QT_HOST_PREFIX)" \
    -DQT_HOST_PATH_CMAKE_DIR="$(qtpaths6 --query QT_HOST_LIBS)/cmake" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DBUILD_TESTING=$testing >"$build.configure.log" 2>&1 \
    || { tail -30 "$build.configure.log" >&2; exit 1; }
rm -f "$build.configure.log"
targets=(rigdeck)
if [ "$testing" = ON ]; then targets=(all); fi
nice -n 10 cmake --build "$build" -j"$jobs" --target "${targets[@]}" >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=rigdeck-$version-win64
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles"

# The program, its help document, Qt's Windows platform and style plugins,
# and every DLL these load that Windows itself does not provide: found by
# walking the import tables, so nothing is listed by hand.
cp "$build/src/rigdeck.exe" "$stage/"
cp "$repo/docs/RIGDECK.html" "$repo/docs/RIGDECK-en.html" "$stage/"
# Qt's own Japanese (the Qt built here has no translations; the host's Qt is
# the same release), for the texts of Qt's dialogs; English is Qt's own.
mkdir -p "$stage/translations"
cp "$(qtpaths6 --query QT_INSTALL_TRANSLATIONS)/qtbase_ja.qm" "$stage/translations/"
[ -f "$repo/LICENSE" ] && cp "$repo/LICENSE" "$stage/LICENSE.txt"
# Qt's licence (LGPL 3, which builds on the GPL 3), shipped with its libraries.
for f in "$qt"/src/qtserialport-everywhere-src-*/LICENSES/{LGPL,GPL}-3.0-only.txt; do
    [ -f "$f" ] && cp "$f" "$stage/Qt-$(basename "$f" -only.txt).txt"
done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
# Where the DLLs come from: Qt's, then the folders the compiler links from
# (its runtime and the MinGW libraries), as the compiler names them.
search=("$qt/bin")
while read -r dir; do
    [ -d "$dir" ] && search+=("$(readlink -f "$dir")")
done < <($triplet-g++-posix -print-search-dirs | sed -n 's/^libraries: =//p' | tr ':' '\n')
declare -A seen=()
queue=("$stage/rigdeck.exe" "$stage/platforms/qwindows.dll" "$stage/styles/qwindowsvistastyle.dll")
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        for dir in "${search[@]}"; do
            if [ -f "$dir/$dll" ]; then
                cp "$dir/$dll" "$stage/"
                queue+=("$stage/$dll")
                break
            fi
        done
    done < <($triplet-objdump -p "$file" | sed -n 's/^\s*DLL Name: //p')
done
# Debug information stays in the build folder.
find "$stage" \( -name '*.exe' -o -name '*.dll' \) -exec $triplet-strip --strip-unneeded {} +
# The short guides for Windows users, in UTF-8 with a byte-order mark and
# CRLF line ends, which Notepad shows correctly on every Windows.
for guide in README-ja.txt README-en.txt; do
    { printf '\xEF\xBB\xBF'; sed 's/$/\r/' "$here/$guide"; } >"$stage/$guide"
done

zip=$build/$name.zip
rm -f "$zip"
(cd "$build/package" && zip -qrX "$zip" "$name")
echo "$(du -sh "$stage" | cut -f1) unpacked, $(du -h "$zip" | cut -f1) zipped: $(ls "$stage" | tr '\n' ' ')" >&2
setup=$build/rigdeck-$version-setup.exe
"$here/make-installer.sh" "$stage" "$version" "$setup"
echo "installer: $setup ($(du -h "$setup" | cut -f1))" >&2
echo "$zip"
