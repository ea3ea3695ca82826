#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds RIGDECK and runs every test, the way CI does: the source checks, the
# normal suite (GCC, build/), then one Clang build (build-asan/) with
# AddressSanitizer and UndefinedBehaviorSanitizer throughout, which runs the
# same suite again and each fuzz target. In CI, or with RIGDECK_WINDOWS_CHECK=1,
# the Windows build is checked under Wine as well (tools/windows/check.sh:
# about 5 minutes once Qt for Windows is cached, 15 minutes more the first
# time). Each stage's seconds are printed as it ends, and all of them at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc 2>/dev/null || echo 2)
# The suites mostly wait (on timers, the radio's pauses, other processes):
# two per core finish in half the time and keep the cores no busier than a build.
test_jobs=$((jobs * 2))
stages=()
stage_began=$SECONDS
stage_name=""
# Processor seconds of everything this script has run so far (user and
# system, from `times`): on a machine that other work shares, they say what
# a stage costs better than the clock does.
times_file=$(mktemp)
trap 'rm -f "$times_file"' EXIT
# Sets cpu to them; called in this shell, as a subshell would count none.
cpu_seconds()
{
    local user system
    times >"$times_file"
    read -r user system < <(tail -n 1 "$times_file")
    cpu=$(awk -v u="$user" -v s="$system" 'function secs(t) { split(t, p, "m"); return p[1] * 60 + p[2] }
                                           BEGIN { printf "%d", secs(u) + secs(s) }')
}
stage_cpu=0
# Ends the stage running (if any) and starts the next one.
stage()
{
    cpu_seconds
    if [ -n "$stage_name" ]; then
        local took=$((SECONDS - stage_began))
        stages+=("$(printf '%5d s %6d s  %s' "$took" "$((cpu - stage_cpu))" "$stage_name")")
        echo "-- $stage_name: $took s (processor time $((cpu - stage_cpu)) s)"
    fi
    stage_name=${1:-}
    stage_began=$SECONDS
    stage_cpu=$cpu
    if [ -n "$stage_name" ]; then
        echo "== $stage_name"
    fi
}

stage "Packages (tools/install-deps.sh)"
tools/install-deps.sh

stage "Include arrows of src/ (floors, cycles, the radio's language in src/radio)"
tools/check/check-includes.py

stage "English translation complete (lupdate over src/ finds nothing new or gone)"
tools/check/check-translations.sh

stage "Format (.clang-format) and licence lines"
tools/check/format.sh --check
tools/check/spdx.sh --check

# Line tables only (-g1): a failure's backtrace keeps its lines, and the
# build is a quarter quicker than with full debug information.
stage "Build (GCC, build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" >/dev/null
cmake --build build -j"$jobs"

stage "Tests (build/)"
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j"$test_jobs"

# One Clang build serves the sanitizer run and the fuzz targets: everything
# carries AddressSanitizer and UndefinedBehaviorSanitizer, the program's
# libraries also libFuzzer's coverage probes (harmless for the suites), and
# the fuzz targets link libFuzzer itself. -O1 with line tables: reports keep
# their lines, and the build is quicker. Any report fails the test it comes
# from. Qt's libraries carry no instrumentation; the few leaks of theirs that
# show are listed in tests/lsan.supp.
stage "Build (Clang with the sanitizers and the fuzz targets, build-asan/)"
CC=clang CXX=clang++ cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1" -DRIGDECK_SANITIZE=ON -DRIGDECK_FUZZ=ON >/dev/null
cmake --build build-asan -j"$jobs"

# The fuzz tests replay every stored input of tests/fuzz/corpus/<target>/,
# then make a fixed number of inputs with a fixed seed: the same every time.
stage "Tests under the sanitizers, and the fuzz targets (build-asan/)"
env QT_QPA_PLATFORM=offscreen \
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp \
    ctest --test-dir build-asan --output-on-failure -j"$test_jobs"

# The Windows check runs in CI, where the machine keeps Qt for Windows built
# between runs, and wherever RIGDECK_WINDOWS_CHECK=1 asks for it;
# RIGDECK_WINDOWS_CHECK=0 leaves it out.
windows_check=${RIGDECK_WINDOWS_CHECK:-}
if [ -z "$windows_check" ] && [ "${CI:-}" = "true" ]; then
    windows_check=1
fi
if [ "$windows_check" = "1" ]; then
    stage "Windows build under Wine"
    RIGDECK_SIM=$PWD/build/src/sim-server/rigdeck-sim tools/windows/check.sh
    stage
else
    stage
    echo "== Windows build under Wine: not asked for (RIGDECK_WINDOWS_CHECK=1 runs it)"
fi

echo "== Seconds per stage (clock, processor)"
printf '%s\n' "${stages[@]}"
cpu_seconds
printf '%5d s %6d s  in all\n' "$SECONDS" "$cpu"
