#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds RIGDECK and runs every test, the way CI does: the source checks, the
# normal suite, the same suite under the sanitizers, then a short run of each
# fuzz target. In CI, or with RIGDECK_WINDOWS_CHECK=1, the Windows build is
# checked under Wine as well (tools/windows/check.sh: about 5 minutes once Qt
# for Windows is cached, 15 minutes more the first time).
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
jobs=$(nproc 2>/dev/null || echo 2)

echo "== Include arrows of src/ (floors and cycles)"
tools/check/check-includes.py

echo "== English translation complete (lupdate over src/ finds nothing new or gone)"
tools/check/check-translations.sh

echo "== Format (.clang-format) and licence lines"
tools/check/format.sh --check
tools/check/spdx.sh --check

echo "== Build and tests"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$jobs"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$jobs"

# Any report fails the test it comes from. Qt's libraries carry no
# instrumentation; the few leaks of theirs that show are listed in
# tests/lsan.supp.
sanitizer_env=(QT_QPA_PLATFORM=offscreen
               ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
               UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
               LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp)

echo "== Sanitizer run (AddressSanitizer and UndefinedBehaviorSanitizer, whole suite)"
# -O1 with line tables: reports keep their lines, and the build is quicker.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIGDECK_SANITIZE=ON \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1"
cmake --build build-asan -j"$jobs"
env "${sanitizer_env[@]}" ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== Fuzzing (the stored inputs, then a short run with a fixed seed, per target)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DRIGDECK_FUZZ=ON -DBUILD_TESTING=ON
cmake --build build-fuzz -j"$jobs" --target fuzz_profilefile fuzz_startup
ctest --test-dir build-fuzz --output-on-failure -j"$jobs" -R fuzz

# The Windows check runs in CI, where the machine keeps Qt for Windows built
# between runs, and wherever RIGDECK_WINDOWS_CHECK=1 asks for it;
# RIGDECK_WINDOWS_CHECK=0 leaves it out.
windows_check=${RIGDECK_WINDOWS_CHECK:-}
if [ -z "$windows_check" ] && [ "${CI:-}" = "true" ]; then
    windows_check=1
fi
if [ "$windows_check" = "1" ]; then
    echo "== Windows build under Wine"
    RIGDECK_SIM=$PWD/build/src/sim-server/rigdeck-sim tools/windows/check.sh
else
    echo "== Windows build under Wine: not asked for (RIGDECK_WINDOWS_CHECK=1 runs it)"
fi
