// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ProcessStats.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>
#include <vector>

// What every measurement shares: its options, the clock, the summary of a
// set of figures, and the one Markdown table they all add their rows to.

using Clock = std::chrono::steady_clock;

struct BenchOptions {
    QString rigdeck;
    QString rigdeckSim;
    QString marksLibrary;
    int runs = 9;
    int samples = 31;
    int idleSeconds = 10;
    int floodMebibytes = 100;
};

// One row of the table.
struct Row {
    QString what;
    QString measured;
    QString target = QStringLiteral("—");
    bool met = false;
};

class Table
{
public:
    void row(const QString &what, const QString &measured, const QString &target = QStringLiteral("—"),
             const QString &verdict = QStringLiteral("—"));
    void add(const std::vector<Row> &rows);
    void print() const;

private:
    QStringList m_rows;
};

struct Summary {
    double median = 0;
    double low = 0;
    double high = 0;
    double p90 = 0;
    size_t count = 0;
};

Summary summarize(std::vector<double> values);
double milliseconds(Clock::duration duration);
QString number(double value, int decimals = 1);
// "12.3 ms (10.1–15.2)"
QString describe(const Summary &summary, int decimals = 1, const QString &unit = QStringLiteral("ms"));
QString verdict(bool met);
QString usageText(const ProcessStats &usage, double seconds, int decimals = 1);

// Progress on stderr; the table alone goes to stdout.
void progress(const QString &text);

// Thrown rather than exiting on the spot, so that unwinding stops any rigdeck
// still running and removes the temporary folder.
struct BenchFailure {
    QString why;
};
[[noreturn]] void giveUp(const QString &why);

// Runs this thread's event loop for a while, sleeping in it as the program's
// own loop does when nothing happens.
void runEventLoop(std::chrono::milliseconds duration);
void writeFile(const QString &path, const QByteArray &contents);
// A settings file naming port 1 at this speed.
QByteArray settingsFor(int baud);
