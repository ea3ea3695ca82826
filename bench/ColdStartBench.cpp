// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColdStartBench.h"

#include "PacedLine.h"

#include "app/Form1.h"
#include "radio/QtSerialPortDevice.h"
#include "support/ProgramLauncher.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QTemporaryDir>

#include <cstdio>

namespace {
using namespace std::chrono_literals;
constexpr auto ChildTimeout = 30s;
} // namespace

int coldStartChild()
{
    QTemporaryDir folder;
    PacedLine line;
    if (!folder.isValid() || !line.open()) {
        return 1;
    }
    const QString ini = folder.filePath(QStringLiteral("RIGDECK.INI"));
    writeFile(ini, settingsFor(38400));
    qputenv("RIGDECK_COM1", line.devicePath().toLocal8Bit());
    QStringList messages;
    setMessageHandler([&messages](const QString &text) { messages << text; });

    // Every widget program pays for the font database on its first text;
    // taken apart here so the window's own construction shows on its own.
    const Clock::time_point fontsFrom = Clock::now();
    QFontMetrics(QApplication::font()).height();
    const Clock::time_point fontsDone = Clock::now();
    QtSerialPortDevice port;
    const Clock::time_point constructing = Clock::now();
    Form1 window(port);
    const Clock::time_point constructed = Clock::now();
    window.setSettingsFile(ini);
    window.Form_Load();
    const std::vector<PacedLine::Event> events = line.events();
    if (events.empty() || !messages.isEmpty()) {
        return 1;
    }
    std::printf("%f %f %f\n", milliseconds(fontsDone - fontsFrom), milliseconds(constructed - constructing),
                milliseconds(events.front().at - constructed));
    return 0;
}

std::vector<ColdStart> measureColdStarts(const BenchOptions &options)
{
    progress(QStringLiteral("window start-up in a fresh probe, %1 runs").arg(options.runs));
    std::vector<ColdStart> starts;
    for (int i = 0; i < options.runs; ++i) {
        ProgramLauncher child(QCoreApplication::applicationFilePath());
        if (!child.start({QStringLiteral("--%1").arg(ColdStartOption)}, {})
            || !child.process().waitForFinished(int(std::chrono::milliseconds(ChildTimeout).count()))
            || child.process().exitCode() != 0) {
            continue;
        }
        const QList<QByteArray> fields = child.process().readAllStandardOutput().simplified().split(' ');
        if (fields.size() == 3) {
            starts.push_back({fields[0].toDouble(), fields[1].toDouble(), fields[2].toDouble()});
        }
    }
    if (starts.empty()) {
        giveUp(QStringLiteral("no in-process start-up succeeded"));
    }
    return starts;
}

void addColdStartRows(Table &table, const std::vector<ColdStart> &starts)
{
    auto coldPart = [&](const QString &what, double (*field)(const ColdStart &)) {
        std::vector<double> values;
        for (const ColdStart &start : starts) {
            values.push_back(field(start));
        }
        table.row(QStringLiteral("  window start-up in a fresh probe process (n=%1): %2").arg(values.size()).arg(what),
                  describe(summarize(values)));
    };
    coldPart(QStringLiteral("font database populated (the process's first text)"),
             [](const ColdStart &start) { return start.fonts; });
    coldPart(QStringLiteral("Form1 constructed"), [](const ColdStart &start) { return start.construction; });
    coldPart(QStringLiteral("constructed → first query heard (settings read, port opened)"),
             [](const ColdStart &start) { return start.toFirstQuery; });
}
