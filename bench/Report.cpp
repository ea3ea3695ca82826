// SPDX-License-Identifier: GPL-3.0-or-later
#include "Report.h"

#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

void Table::row(const QString &what, const QString &measured, const QString &target, const QString &verdict)
{
    m_rows << QStringLiteral("| %1 | %2 | %3 | %4 |").arg(what, measured, target, verdict);
}

void Table::add(const std::vector<Row> &rows)
{
    for (const Row &row : rows) {
        this->row(row.what, row.measured, row.target, verdict(row.met));
    }
}

void Table::print() const
{
    std::printf("| Measurement | Median (min–max) | Target | Verdict |\n|---|---|---|---|\n");
    for (const QString &line : m_rows) {
        std::printf("%s\n", qPrintable(line));
    }
}

Summary summarize(std::vector<double> values)
{
    Summary summary;
    if (values.empty()) {
        return summary;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    summary.count = n;
    summary.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    summary.low = values.front();
    summary.high = values.back();
    summary.p90 = values[std::min(n - 1, static_cast<size_t>(std::ceil(0.9 * double(n))) - 1)];
    return summary;
}

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

QString describe(const Summary &summary, int decimals, const QString &unit)
{
    return QStringLiteral("%1 %4 (%2–%3)")
        .arg(number(summary.median, decimals), number(summary.low, decimals), number(summary.high, decimals), unit);
}

QString verdict(bool met)
{
    return met ? QStringLiteral("pass") : QStringLiteral("**missed**");
}

QString usageText(const ProcessStats &usage, double seconds, int decimals)
{
    return QStringLiteral("%1 ms CPU, %2 wake-ups (+%3 preempted) in %4 s")
        .arg(number(milliseconds(usage.cpu), 2))
        .arg(usage.voluntarySwitches)
        .arg(usage.involuntarySwitches)
        .arg(number(seconds, decimals));
}

void progress(const QString &text)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(text));
}

void giveUp(const QString &why)
{
    throw BenchFailure{why};
}

void runEventLoop(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    // A coarse timer may end the loop up to 5 % early.
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size()) {
        giveUp(QStringLiteral("cannot write %1").arg(path));
    }
}

QByteArray settingsFor(int baud)
{
    return QByteArrayLiteral("[COM]\nPORT=1,") + QByteArray::number(baud) + '\n';
}
