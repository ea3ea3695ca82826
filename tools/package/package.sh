#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package in Release (in build-pkg) and checks it as Debian
# would: lintian must report no error and no warning. (None is overridden.
# Should one ever have to be, the override goes in a file installed as
# /usr/share/lintian/overrides/rigdeck, each tag with its reason in a comment
# above it.) The manual pages must format without a single groff warning,
# and the AppStream data must validate. Prints the package's path at the end.
#
# The compiler and linker flags are Debian's own (dpkg-buildflags, with all
# hardening on), as a package built by Debian would have them.
set -euo pipefail
cd "$(dirname "$0")/../.."

tools/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
build="build-pkg"

echo "== Manual pages"
# -k: the pages are UTF-8 (the Japanese ones); -ww: every warning.
status=0
for page in man/*.1 man/ja/*.1; do
    warnings=$(groff -k -man -Tutf8 -ww -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        printf '%s\n' "$warnings"
        status=1
    fi
    lexgrog "$page" >/dev/null || { echo "$page: no whatis entry"; status=1; }
done
[ "$status" -eq 0 ] || { echo "package.sh: the manual pages have warnings" >&2; exit 1; }

echo "== AppStream data"
appstreamcli validate --no-net data/io.github.rigdeck.RIGDECK.metainfo.xml

echo "== Release build"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
      -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" >/dev/null
cmake --build "$build" -j"$jobs"

echo "== Package"
rm -f "$build"/rigdeck_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/rigdeck_*.deb)
echo "$deb"

echo "== lintian"
# Informational tags are shown but do not fail; overrides shipped in the
# package are applied, and one that no longer matches anything is a warning.
lintian --display-info --fail-on error,warning "$deb"
echo "lintian: clean"
echo "$deb"
