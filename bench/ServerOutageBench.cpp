// SPDX-License-Identifier: GPL-3.0-or-later
#include "ServerOutageBench.h"

#include "SharedRadioBench.h"

#include "app/Form1.h"
#include "keyer/KeyerPanel.h"
#include "radio/RadioPort.h"
#include "support/EnvironmentOverride.h"
#include "support/ProgramLauncher.h"
#include "support/SharedRadio.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int Rounds = 3;
// Long enough for the waits between attempts to have grown to their longest.
constexpr auto LongOutage = 6s;

// Runs events until the condition holds; false after the time-out.
bool runEventsUntil(const std::function<bool()> &condition, qint64 timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) {
            return false;
        }
        QCoreApplication::processEvents();
        QThread::usleep(500);
    }
    return true;
}

QString spread(std::vector<double> values)
{
    const Summary summary = summarize(std::move(values));
    return summary.count == 0 ? QStringLiteral("no sample")
                              : describe(summary, 0) + QStringLiteral(", n=%1").arg(summary.count);
}

struct Reconnects {
    std::vector<double> background;
    std::vector<double> onCommand;
    QString failure;
};

Reconnects measureReconnects(RigctldStation &station, const QString &folder)
{
    Reconnects results;
    const QString ini = folder + QStringLiteral("/RIGDECK-outage.INI");
    writeFile(ini, "[COM]\nPORT=1,38400\n[DEVICE]\nCOM1=" + station.address().toUtf8() + "\n");
    RadioPort port;
    Form1 window(port);
    window.setSettingsFile(ini);
    window.Form_Load();
    QString why;
    for (int round = 0; round < 2 * Rounds; ++round) {
        const bool byCommand = round % 2 == 1;
        station.stopServer();
        if (!runEventsUntil([&] { return !port.portOpen(); }, 5000)) {
            results.failure = QStringLiteral("the line was not found down");
            return results;
        }
        // The first background round comes back at once, the others after
        // the waits between attempts have grown.
        if (round > 0) {
            runEventLoop(LongOutage);
        }
        if (!station.restartServer(why)) {
            results.failure = why;
            return results;
        }
        QElapsedTimer back;
        back.start();
        if (byCommand) {
            if (port.portOpen()) {
                // An attempt in the background was quicker; not this row's figure.
                continue;
            }
            const qsizetype before = station.radioCommands().count("KY1;");
            window.keyer().Command2_Click(0);
            if (runEventsUntil([&] { return station.radioCommands().count("KY1;") > before; }, 6000)) {
                results.onCommand.push_back(double(back.nsecsElapsed()) / 1e6);
            }
        } else if (runEventsUntil([&] { return port.portOpen(); }, 8000)) {
            results.background.push_back(double(back.nsecsElapsed()) / 1e6);
        }
    }
    return results;
}

// When a line that went down is tried again, in seconds after it went, as
// RadioPort schedules it: after the first wait, then after waits that start
// from the first again and double up to the longest.
QList<double> attemptsWithin(double from, double to)
{
    QList<double> attempts;
    const double first = std::chrono::duration<double>(RadioPort::FirstRetry).count();
    const double longest = std::chrono::duration<double>(RadioPort::LongestRetry).count();
    double at = first;
    for (double wait = first; at <= to; wait = std::min(2 * wait, longest)) {
        if (at >= from) {
            attempts << at;
        }
        at += wait;
    }
    return attempts;
}

// The real rigdeck on rigctld, through start-up; then rigctld goes away.
Row downIdleRow(const BenchOptions &options, RigctldStation &station, const QString &folder, const RealIdle &idle,
                long long idleAllowance)
{
    // The measured window starts half a second after rigctld went away.
    const QList<double> attempts = attemptsWithin(0.5, 0.5 + options.idleSeconds);
    QStringList at;
    for (const double second : attempts) {
        at << number(second, 0);
    }
    const long long allowed = idleAllowance + attempts.size();
    Row row{QStringLiteral("**Idle with the line down**: real `rigdeck` on rigctld, every thread, from 0.5 s to %1 s "
                           "after rigctld goes away (attempts to reconnect at %2 s)")
                .arg(number(0.5 + options.idleSeconds, 1), at.join(QStringLiteral(", "))),
            QStringLiteral("start-up failed"),
            QStringLiteral("idle with the line up (%1 wake-ups, %2 ms CPU) and a wake-up per attempt: ≤ %3 wake-ups")
                .arg(idle.usage.voluntarySwitches)
                .arg(number(milliseconds(idle.usage.cpu), 2))
                .arg(allowed)};
    const QString ini = folder + QStringLiteral("/RIGDECK.INI");
    writeFile(ini, settingsFor(38400));
    ProgramLauncher rigdeck(options.rigdeck);
    rigdeck.setOutputFile(folder + QStringLiteral("/rigdeck.out"));
    if (!rigdeck.start({}, {{QStringLiteral("RIGDECK_INI"), ini}, {QStringLiteral("RIGDECK_COM1"), station.address()}})
        || !rigdeck.waitUntil([&] { return station.radioCommands().contains("KS;"); }, 30s)) {
        return row;
    }
    // Whatever start-up still does after the last reply is over by then.
    std::this_thread::sleep_for(1s);
    station.stopServer();
    // The line found down.
    std::this_thread::sleep_for(500ms);
    const pid_t pid = pid_t(rigdeck.pid());
    const std::optional<ProcessStats> before = ProcessStats::ofProcess(pid);
    const Clock::time_point from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
    const std::optional<ProcessStats> after = ProcessStats::ofProcess(pid);
    const double seconds = std::chrono::duration<double>(Clock::now() - from).count();
    if (!before || !after || rigdeck.process().waitForFinished(0) || !rigdeck.running()) {
        row.measured = QStringLiteral("the program ended");
        return row;
    }
    const ProcessStats spent = *after - *before;
    row.measured = usageText(spent, seconds);
    row.met = spent.voluntarySwitches <= allowed && spent.cpu <= 2 * idle.usage.cpu + 5ms;
    return row;
}

} // namespace

std::vector<Row> measureServerOutage(const BenchOptions &options, const QString &folder, const RealIdle &idle,
                                     long long idleAllowance)
{
    progress(QStringLiteral("a server that goes away and comes back"));
    RigctldStation station;
    QString why;
    if (!station.start(why)) {
        return {stationNotStartedRow(QStringLiteral("**A server back**"), why, options)};
    }
    // The variable would win over the settings file's [DEVICE] entry.
    const EnvironmentOverride noVariable("RIGDECK_COM1");
    setMessageHandler([](const QString &text) { std::fprintf(stderr, "bench: message %s\n", qPrintable(text)); });
    const Reconnects reconnects = measureReconnects(station, folder);
    setMessageHandler({});
    std::vector<Row> rows;
    rows.push_back(
        {QStringLiteral("**A server back, the line up by itself**: rigctld listening again on its port → "
                        "the line open (in-process; the first round at once, then after %1 s down)")
             .arg(std::chrono::seconds(LongOutage).count()),
         reconnects.failure.isEmpty() ? spread(reconnects.background) : QStringLiteral("failed: ") + reconnects.failure,
         QStringLiteral("≤ 5 s (the longest wait between attempts)"),
         !reconnects.background.empty()
             && summarize(reconnects.background).high <= milliseconds(RadioPort::LongestRetry) + 500});
    rows.push_back(
        {QStringLiteral("  the same when a button is pressed at once: rigctld listening again → "
                        "Command2_Click(0)'s \"KY1;\" in the simulator's log"),
         reconnects.failure.isEmpty() ? spread(reconnects.onCommand) : QStringLiteral("failed: ") + reconnects.failure,
         QStringLiteral("< 1 s"), !reconnects.onCommand.empty() && summarize(reconnects.onCommand).high < 1000});
    if (!station.restartServer(why)) {
        rows.push_back({QStringLiteral("**Idle with the line down**"), QStringLiteral("not measured: ") + why});
        return rows;
    }
    progress(QStringLiteral("idle real process with its line down, %1 s").arg(options.idleSeconds));
    rows.push_back(downIdleRow(options, station, folder, idle, idleAllowance));
    return rows;
}
