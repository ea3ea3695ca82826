#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Qt for 64-bit Windows (MinGW-w64) once, from Debian's own qtbase
# source (the version of the host's Qt, which the cross build runs its tools
# from) and the Qt Serial Port source in ../shared/third_party, into a cache
# folder named after the version and the build flags. Later runs find it and
# take no time. Prints the Qt folder as its last line of output.
#
#   RIGDECK_WINDOWS_CACHE  cache folder (default: /var/cache/rigdeck-windows
#                          for root, else ${XDG_CACHE_HOME:-~/.cache}/rigdeck-windows)
#   RIGDECK_THIRD_PARTY    folder holding qtserialport-everywhere-src-*.tar.xz
#   JOBS                   parallel compile jobs (default 2)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
toolchain=$here/mingw-w64-x86_64.cmake
jobs=${JOBS:-2}

if [ -z "${RIGDECK_WINDOWS_CACHE:-}" ]; then
    if [ "$(id -u)" -eq 0 ]; then
        RIGDECK_WINDOWS_CACHE=/var/cache/rigdeck-windows
    else
        RIGDECK_WINDOWS_CACHE=${XDG_CACHE_HOME:-$HOME/.cache}/rigdeck-windows
    fi
fi
third_party=${RIGDECK_THIRD_PARTY:-}
if [ -z "$third_party" ]; then
    for d in "$repo/../shared/third_party" "$repo/third_party"; do
        if [ -f "$d/SHA256SUMS" ]; then third_party=$(cd "$d" && pwd); break; fi
    done
fi

qt_deb_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)   # e.g. 6.4.2+dfsg-10
qt_version=${qt_deb_version%%[+-]*}                                # 6.4.2
serialport_tar=qtserialport-everywhere-src-$qt_version.tar.xz
serialport_patches=("$here"/qtserialport-*.patch)

# What Qt for Windows is made of. Without the first five the build fails on
# MinGW with Debian's source (its wintab folder is removed; the dynamic GL and
# DirectWrite paths need OpenGL and Direct2D); the rest the program does not
# use. Bundled image, regex, text-shaping and number libraries; testlib for
# running the test suites on Windows.
qtbase_flags=(
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
    -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF
    -DQT_QMAKE_TARGET_MKSPEC=win32-g++
    -DFEATURE_tabletevent=OFF -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF
    -DFEATURE_direct2d=OFF -DFEATURE_directwrite=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_dbus=OFF -DFEATURE_sql=OFF
    -DFEATURE_printsupport=OFF -DFEATURE_xml=OFF -DFEATURE_concurrent=OFF
    -DFEATURE_icu=OFF -DFEATURE_openssl=OFF -DFEATURE_zstd=OFF
    -DFEATURE_brotli=OFF -DFEATURE_glib=OFF -DFEATURE_jpeg=OFF
    -DFEATURE_freetype=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_pcre2=OFF
    -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_doubleconversion=OFF
    -DFEATURE_testlib=ON
)
# Qt Serial Port keeps its debug information (stripped when packed), so that
# a fault inside it shows as a source line; the patches beside this script
# are applied to it.
serialport_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQT_BUILD_TESTS=OFF -DQT_BUILD_EXAMPLES=OFF)

compiler=$(x86_64-w64-mingw32-g++-posix --version | head -1)
# The folder's name: the version, the flags, the toolchain's settings (not
# its comments) and the compiler.
base_key=$( { echo "recipe 1"; echo "$qt_deb_version"; printf '%s\n' "${qtbase_flags[@]}" "${serialport_flags[@]}";
              grep -v -e '^[[:space:]]*#' -e '^[[:space:]]*$' "$toolchain"; echo "$compiler"; } | sha256sum | cut -c1-12)
serialport_key=$( { echo "qtserialport"; echo "$compiler"; printf '%s\n' "${serialport_flags[@]}";
                    # Without the third-party folder the key still comes out (no
                    # build can match it, and the build below says what is missing).
                    if [ -n "$third_party" ]; then cat "$third_party/SHA256SUMS"; fi
                    cat "${serialport_patches[@]}"; } | sha256sum | cut -c1-12)
prefix=$RIGDECK_WINDOWS_CACHE/qt-$qt_version-$base_key
base_done=$prefix/.qtbase-complete
serialport_done=$prefix/.qtserialport-$serialport_key
if [ -f "$base_done" ] && [ -f "$serialport_done" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$RIGDECK_WINDOWS_CACHE"
exec 9>"$RIGDECK_WINDOWS_CACHE/.lock-$base_key"
if ! flock -n 9; then
    echo "Another build of $prefix is running; waiting for it." >&2
    flock 9
fi

log() { echo "[build-qt $(date +%T)] $*" >&2; }
start=$(date +%s)
work=$RIGDECK_WINDOWS_CACHE/work-$base_key
# The host's Qt, whose tools (moc, rcc) the cross build runs: its folders as
# that Qt reports them.
host_cmake=(-DQT_HOST_PATH="$(qtpaths6 --query QT_HOST_PREFIX)"
            -DQT_HOST_PATH_CMAKE_DIR="$(qtpaths6 --query QT_HOST_LIBS)/cmake")

if [ ! -f "$base_done" ]; then
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    log "qtbase source: apt-get source qt6-base=$qt_deb_version"
    (cd "$work" && apt-get source -qq "qt6-base=$qt_deb_version") >&2
    qtbase_src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -1)
    [ -n "$qtbase_src" ] || { echo "apt-get source qt6-base gave no source folder" >&2; exit 1; }
    log "qtbase: configure"
    nice -n 10 cmake -S "$qtbase_src" -B "$work/qtbase-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$prefix" \
        "${host_cmake[@]}" "${qtbase_flags[@]}" >"$work/qtbase-configure.log" 2>&1 \
        || { tail -40 "$work/qtbase-configure.log" >&2; exit 1; }
    log "qtbase: build (-j$jobs; about 15 minutes on two idle cores)"
    nice -n 10 cmake --build "$work/qtbase-build" -j"$jobs" >"$work/qtbase-build.log" 2>&1 \
        || { tail -40 "$work/qtbase-build.log" >&2; exit 1; }
    cmake --install "$work/qtbase-build" >/dev/null
    rm -rf "$work"
    touch "$base_done"
fi

if [ ! -f "$serialport_done" ]; then
    [ -n "$third_party" ] || { echo "No third_party folder with $serialport_tar found (set RIGDECK_THIRD_PARTY)" >&2; exit 1; }
    log "Qt Serial Port: checking $third_party/$serialport_tar"
    (cd "$third_party" && grep " $serialport_tar\$" SHA256SUMS | sha256sum -c --quiet -) >&2
    rm -rf "$work" "$prefix"/.qtserialport-* "$prefix/src/qtserialport-everywhere-src-$qt_version"
    mkdir -p "$work"
    tar -C "$work" -xf "$third_party/$serialport_tar"
    serialport_src=$work/qtserialport-everywhere-src-$qt_version
    for p in "${serialport_patches[@]}"; do
        [ -f "$p" ] || continue
        log "Qt Serial Port: applying $(basename "$p")"
        patch -d "$serialport_src" -p1 --quiet <"$p"
    done
    log "Qt Serial Port: configure and build"
    export RIGDECK_WINDOWS_QT=$prefix
    nice -n 10 cmake -S "$serialport_src" -B "$work/serialport-build" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
        "${host_cmake[@]}" "${serialport_flags[@]}" >"$work/serialport.log" 2>&1 \
        && nice -n 10 cmake --build "$work/serialport-build" -j"$jobs" >>"$work/serialport.log" 2>&1 \
        || { tail -40 "$work/serialport.log" >&2; exit 1; }
    cmake --install "$work/serialport-build" >/dev/null
    # The sources stay beside the result, so that a debugger can show the
    # lines of a fault in Qt Serial Port.
    mkdir -p "$prefix/src"
    mv "$serialport_src" "$prefix/src/"
    rm -rf "$work"
    touch "$serialport_done"
fi
log "Qt for Windows ready in $prefix ($(( $(date +%s) - start )) s, $(du -sh "$prefix" | cut -f1))"
echo "$prefix"
