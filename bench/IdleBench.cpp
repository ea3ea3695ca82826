// SPDX-License-Identifier: GPL-3.0-or-later
#include "IdleBench.h"

#include "StartupBench.h"

#include "app/Form1.h"
#include "support/ProgramLauncher.h"
#include "ui/ColorButton.h"
#include "voice/VoiceMemoryPanel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleHints>
#include <QTest>

#include <thread>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr int StartupQueries = 8;
constexpr auto StartupTimeout = 30s;
// Whatever start-up still does after the last reply is long over by then.
constexpr auto SettleTime = 1s;
constexpr double KilobytesPerMebibyte = 1024.0;
constexpr double PeakMemoryTarget = 40.0; // MiB

QString focusName()
{
    const QWidget *focus = QApplication::focusWidget();
    return focus == nullptr ? QStringLiteral("nothing") : focus->objectName();
}

// Qt blinks the text cursor of a focused text box on a timer of its own:
// how often it toggles in this many seconds, 0 when no text box has the focus.
int cursorBlinks(int seconds)
{
    if (qobject_cast<QLineEdit *>(QApplication::focusWidget()) == nullptr) {
        return 0;
    }
    return 2000 / std::max(1, QGuiApplication::styleHints()->cursorFlashTime()) * seconds;
}

WindowIdle mainThreadIdle(const BenchOptions &options)
{
    WindowIdle idle;
    idle.focus = focusName();
    idle.blinkTicks = cursorBlinks(options.idleSeconds);
    const pid_t self = ::getpid();
    const std::optional<ProcessStats> before = ProcessStats::ofThread(self, self);
    const Clock::time_point from = Clock::now();
    runEventLoop(std::chrono::seconds(options.idleSeconds));
    const std::optional<ProcessStats> after = ProcessStats::ofThread(self, self);
    idle.seconds = std::chrono::duration<double>(Clock::now() - from).count();
    if (!before || !after) {
        giveUp(QStringLiteral("cannot read this process's own counters"));
    }
    idle.usage = *after - *before;
    return idle;
}

QString blinkText(const WindowIdle &idle)
{
    return idle.blinkTicks > 0
               ? QStringLiteral("focus in text box %1: %2 cursor blinks").arg(idle.focus).arg(idle.blinkTicks)
               : QStringLiteral("focus on %1: no cursor blinks").arg(idle.focus);
}

} // namespace

RealIdle measureRealIdle(const BenchOptions &options, PacedLine &line, const QString &folder)
{
    progress(QStringLiteral("idle real process, %1 s").arg(options.idleSeconds));
    const QString ini = folder + QStringLiteral("/RIGDECK.INI");
    writeFile(ini, settingsFor(38400));
    line.clear();
    line.setBaud(0);
    // Without the marks library: the process as it ships.
    ProgramLauncher rigdeck(options.rigdeck);
    rigdeck.setOutputFile(folder + QStringLiteral("/rigdeck.out"));
    if (!rigdeck.start({},
                       {{QStringLiteral("RIGDECK_INI"), ini}, {QStringLiteral("RIGDECK_COM1"), line.devicePath()}})) {
        giveUp(QStringLiteral("cannot start %1").arg(options.rigdeck));
    }
    if (!rigdeck.waitUntil([&] { return answeredQueries(line) >= StartupQueries; }, StartupTimeout)) {
        giveUp(QStringLiteral("rigdeck did not finish start-up; see %1/rigdeck.out").arg(folder));
    }
    std::this_thread::sleep_for(SettleTime);

    RealIdle results;
    const pid_t pid = pid_t(rigdeck.pid());
    results.peakKilobytes = statusKilobytes(pid, QStringLiteral("VmHWM"));
    const std::optional<ProcessStats> before = ProcessStats::ofProcess(pid);
    const Clock::time_point from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
    const std::optional<ProcessStats> after = ProcessStats::ofProcess(pid);
    results.seconds = std::chrono::duration<double>(Clock::now() - from).count();
    results.residentKilobytes = statusKilobytes(pid, QStringLiteral("VmRSS"));
    if (!before || !after || rigdeck.process().waitForFinished(0) || !rigdeck.running()) {
        giveUp(QStringLiteral("rigdeck ended while idle; see %1/rigdeck.out").arg(folder));
    }
    results.usage = *after - *before;
    return results;
}

WindowIdle measureWindowIdle(const BenchOptions &options)
{
    progress(QStringLiteral("idle in-process, %1 s").arg(options.idleSeconds));
    return mainThreadIdle(options);
}

RecordingIdle measureRecording(const BenchOptions &options, Form1 &window)
{
    progress(QStringLiteral("recording in-process, %1 s").arg(options.idleSeconds));
    QTest::mouseClick(window.voice().Command8(0), Qt::LeftButton);
    // The repaints the click asked for are not the counter's cost.
    runEventLoop(100ms);
    RecordingIdle results;
    const int secondsBefore = window.voice().RecordSeconds();
    results.idle = mainThreadIdle(options);
    results.ticks = window.voice().RecordSeconds() - secondsBefore;
    QTest::mouseClick(window.voice().Command10(), Qt::LeftButton);
    return results;
}

long long idleAllowance(const WindowIdle &idle)
{
    return idle.blinkTicks + 2;
}

void addIdleRows(Table &table, const BenchOptions &options, const RealIdle &real, const WindowIdle &window,
                 const RecordingIdle &recording)
{
    // No timer of the program runs while idle and no byte arrives. The one
    // timer left is Qt's text cursor, when a text box has the focus.
    table.row(QStringLiteral("**Idle**, real `rigdeck` after start-up, every thread (%1), nothing happening")
                  .arg(real.usage.threads),
              usageText(real.usage, real.seconds), QStringLiteral("only timer ticks (%1)").arg(blinkText(window)),
              verdict(real.usage.voluntarySwitches <= idleAllowance(window)));
    table.row(QStringLiteral("**Idle**, in-process window after start-up, main thread, nothing happening"),
              usageText(window.usage, window.seconds), QStringLiteral("the same"),
              verdict(window.usage.voluntarySwitches <= idleAllowance(window)));
    table.row(QStringLiteral("**Recording counting** (Command8_0 clicked in-process, Timer2 at 1 s: %1 ticks), "
                             "main thread")
                  .arg(recording.ticks),
              usageText(recording.idle.usage, recording.idle.seconds),
              QStringLiteral("one wake-up per tick (%1)").arg(blinkText(recording.idle)),
              verdict(recording.idle.usage.voluntarySwitches <= recording.ticks + idleAllowance(recording.idle)));

    const double peakMiB = double(real.peakKilobytes) / KilobytesPerMebibyte;
    table.row(QStringLiteral("**Peak resident memory** (VmHWM), real `rigdeck`, offscreen, after start-up"),
              number(peakMiB, 1)
                  + QStringLiteral(" MiB (resident %1 MiB after %2 s idle)")
                        .arg(number(double(real.residentKilobytes) / KilobytesPerMebibyte, 1))
                        .arg(options.idleSeconds),
              QStringLiteral("< %1 MiB").arg(PeakMemoryTarget), verdict(peakMiB < PeakMemoryTarget));
}
