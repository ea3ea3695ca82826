// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProcessStats.h"

#include <QDir>
#include <QFile>

namespace {

QByteArray readProcFile(const QString &path)
{
    // Files under /proc report size 0; read until the end instead.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

long long statusField(const QByteArray &status, const QByteArray &field)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(field + ':')) {
            const QList<QByteArray> parts = line.mid(field.size() + 1).simplified().split(' ');
            bool ok = false;
            const long long value = parts.value(0).toLongLong(&ok);
            return ok ? value : -1;
        }
    }
    return -1;
}

std::optional<ProcessStats> ofTaskFolder(const QString &folder)
{
    const QByteArray schedstat = readProcFile(folder + QStringLiteral("/schedstat"));
    const QByteArray status = readProcFile(folder + QStringLiteral("/status"));
    if (schedstat.isEmpty() || status.isEmpty()) {
        return std::nullopt;
    }
    ProcessStats stats;
    stats.cpu = std::chrono::nanoseconds(schedstat.split(' ').value(0).toLongLong());
    stats.voluntarySwitches = statusField(status, "voluntary_ctxt_switches");
    stats.involuntarySwitches = statusField(status, "nonvoluntary_ctxt_switches");
    stats.threads = 1;
    return stats;
}

} // namespace

std::optional<ProcessStats> ProcessStats::ofProcess(pid_t pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    const QStringList ids = QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (ids.isEmpty()) {
        return std::nullopt;
    }
    ProcessStats total;
    for (const QString &id : ids) {
        // A thread that ended between listing and reading counts no more.
        if (const std::optional<ProcessStats> thread = ofTaskFolder(tasks + u'/' + id)) {
            total.cpu += thread->cpu;
            total.voluntarySwitches += thread->voluntarySwitches;
            total.involuntarySwitches += thread->involuntarySwitches;
            total.threads += 1;
        }
    }
    return total;
}

std::optional<ProcessStats> ProcessStats::ofThread(pid_t pid, pid_t tid)
{
    return ofTaskFolder(QStringLiteral("/proc/%1/task/%2").arg(pid).arg(tid));
}

ProcessStats ProcessStats::operator-(const ProcessStats &earlier) const
{
    ProcessStats difference;
    difference.cpu = cpu - earlier.cpu;
    difference.voluntarySwitches = voluntarySwitches - earlier.voluntarySwitches;
    difference.involuntarySwitches = involuntarySwitches - earlier.involuntarySwitches;
    difference.threads = threads;
    return difference;
}

long long statusKilobytes(pid_t pid, const QString &field)
{
    return statusField(readProcFile(QStringLiteral("/proc/%1/status").arg(pid)), field.toLatin1());
}
