// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFile>

#include <chrono>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <time.h>
#include <unistd.h>
#endif

// What the kernel counts for this test process: a spinning event loop shows
// as processor time, a growing buffer as resident memory.
namespace ProcessProbe {

inline std::chrono::nanoseconds cpuTime()
{
#ifdef Q_OS_WIN
    // Not clock(): on Windows it counts the wall clock.
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto ticks = [](const FILETIME &t) { return (quint64(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return std::chrono::nanoseconds((ticks(kernel) + ticks(user)) * 100);
#else
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
#endif
}

#ifndef Q_OS_WIN
inline qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : -1;
}
#endif

} // namespace ProcessProbe
