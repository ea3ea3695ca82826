// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <chrono>
#include <optional>

#include <sys/types.h>

// What the kernel counts for a process or one of its threads, read from
// /proc: time on a processor and how often it gave the processor up.
struct ProcessStats {
    // Time on a processor, from schedstat (nanosecond resolution).
    std::chrono::nanoseconds cpu{0};
    // Gave the processor up to wait for something: each one is a later wake-up.
    long long voluntarySwitches = 0;
    // Taken off the processor by the scheduler.
    long long involuntarySwitches = 0;
    int threads = 0;

    // Summed over every thread of the process.
    static std::optional<ProcessStats> ofProcess(pid_t pid);
    // One thread of the process.
    static std::optional<ProcessStats> ofThread(pid_t pid, pid_t tid);

    ProcessStats operator-(const ProcessStats &earlier) const;
};

// A "Vm..." line of /proc/<pid>/status in kilobytes, or -1.
long long statusKilobytes(pid_t pid, const QString &field);
