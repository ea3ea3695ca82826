// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>

#include <chrono>

#include <time.h>
#include <unistd.h>

// What the kernel counts for this test process: a spinning event loop shows
// as processor time, a growing buffer as resident memory.
namespace ProcessProbe {

inline std::chrono::nanoseconds cpuTime()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

inline qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}

} // namespace ProcessProbe
