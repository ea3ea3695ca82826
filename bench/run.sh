#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds RIGDECK and the measurement probe in build-bench (RelWithDebInfo),
# measures start-up, the command path, idle cost and memory against the
# simulated FT2000 on a pseudo-terminal, and prints one Markdown table.
# Takes about two minutes. Linux only (it reads /proc).
#
# BENCH_RUNS (starts per line speed, default 9), BENCH_SAMPLES (clicks and
# replies, default 31) and BENCH_IDLE_SECONDS (default 10) change the effort.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-bench
tools/install-deps.sh >&2
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF -DRIGDECK_BENCH=ON >/dev/null
fi
cmake --build "$build" -j2 --target rigdeck rigdeck-sim rigdeck-bench-probe rigdeck-bench-marks >&2

qt_version=$(qtpaths6 --qt-version 2>/dev/null || qmake6 -query QT_VERSION 2>/dev/null ||
             dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)
cpu=$(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

table=$(QT_QPA_PLATFORM=offscreen "$build/bench/rigdeck-bench-probe" \
    --rigdeck "$build/src/rigdeck" --marks "$build/bench/librigdeck-bench-marks.so" \
    --runs "${BENCH_RUNS:-9}" --samples "${BENCH_SAMPLES:-31}" --idle-seconds "${BENCH_IDLE_SECONDS:-10}")

cat <<EOF
Measured $(date -u +%Y-%m-%d) on $(nproc) cores of ${cpu}, Linux $(uname -r), Qt ${qt_version}; load average ${load_before} before and $(cut -d' ' -f1-3 /proc/loadavg) after the run (other work on the machine shows in the spreads).

${table}

- Beside a logger: the simulator on a pseudo-terminal with a real \`rigctld -m 1029\` (Hamlib, Debian's libhamlib-utils) in front of it on 127.0.0.1; RIGDECK's port names \`rigctld:127.0.0.1:PORT\`. Start-up through rigctld and on the direct pseudo-terminal are in-process Form_Load runs, unpaced. Another client holds rigctld with \`+w FA;\` (rigctld waits out its 2 s time-out for the reply); the server outage stops rigctld and starts it again on the same port.
- Line: a pseudo-terminal to a simulated FT2000 served from a thread of the probe. For start-up it is paced like an 8N1 wire at the stored speed: each byte of a command reaches the radio, and each byte of its reply reaches RIGDECK, only when 10 bits at that speed would have carried it; the radio itself answers in no time. The click and reply measurements use the unpaced pseudo-terminal.
- Start-up is the real \`rigdeck\` started offscreen with RIGDECK_INI and RIGDECK_COM1; a library preloaded into it (bench/ReadyMarks.cpp) notes when the window is built, shown, exposed and painted. "Ready" is painted with the event loop free. The serial floor counts every pause and every byte one after another; on a real line the 8 ms pause after each query runs while the query and reply cross the wire, which the overlapped floor counts.
- The window's own start-up is split (fonts, construction, settings and port) in a fresh probe process each run. Click, reply and recording are measured on a main window built inside the probe, as the real process cannot be clicked from outside. Idle cost comes from /proc (schedstat CPU time; wake-ups = voluntary context switches).
EOF
