// SPDX-License-Identifier: GPL-3.0-or-later
#include "LineFaultBench.h"

#include "ProcessStats.h"
#include "Report.h"

#include "sim/Ft2000Model.h"
#include "sim-server/PtyRadio.h"
#include "support/ProgramLauncher.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <chrono>
#include <optional>

namespace {

using namespace std::chrono_literals;

constexpr int StartupQueries = 8;
constexpr double FloodGrowthTarget = 5.0; // MiB
constexpr double KibPerMib = 1024.0;

void runEvents(std::chrono::milliseconds duration)
{
    const QDeadlineTimer until(duration);
    while (!until.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
}

// The program started on the simulated radio's line, through start-up.
class StartedProgram
{
public:
    StartedProgram(const QString &rigdeck, const QString &folder, PtyRadio &radio, bool reportDial = false)
        : m_radio(radio)
        , m_program(rigdeck)
    {
        const QString ini = folder + QStringLiteral("/RIGDECK.INI");
        writeFile(ini, settingsFor(38400));
        if (reportDial) {
            // A radio in auto-information mode: the dial report comes first.
            radio.setSilent(true);
            QObject::connect(&radio, &PtyRadio::commandReceived, &radio, [this](const QByteArray &command) {
                m_radio.sendRaw("FA07030000;" + m_model.receive(command));
            });
        }
        m_program.setOutputFile(folder + QStringLiteral("/rigdeck.out"));
        m_program.start({},
                        {{QStringLiteral("RIGDECK_INI"), ini}, {QStringLiteral("RIGDECK_COM1"), radio.devicePath()}});
        m_program.waitUntil([&] { return radio.commands().size() >= StartupQueries; }, 30s);
        m_startupMs = qint64(milliseconds(Clock::now() - m_program.started()));
        // Whatever start-up still does after the last reply is over by then.
        runEvents(1s);
        m_ready = radio.commands().size() >= StartupQueries && m_program.running();
    }

    bool ready() const { return m_ready; }
    qint64 startupMs() const { return m_startupMs; }
    pid_t pid() const { return pid_t(m_program.pid()); }
    bool running() const { return m_program.running(); }

private:
    PtyRadio &m_radio;
    Ft2000Model m_model;
    ProgramLauncher m_program;
    qint64 m_startupMs = 0;
    bool m_ready = false;
};

QString usage(const ProcessStats &stats, int seconds)
{
    return QStringLiteral("%1 ms CPU, %2 wake-ups in %3 s")
        .arg(double(stats.cpu.count()) / 1e6, 0, 'f', 1)
        .arg(stats.voluntarySwitches)
        .arg(seconds);
}

Row hangUpRow(const QString &rigdeck, const QString &folder, int seconds)
{
    Row row{QStringLiteral("**Hung-up line**: the %1 s after the tty hangs up (reads return nothing, poll "
                           "says POLLHUP), real `rigdeck`, every thread")
                .arg(seconds),
            QStringLiteral("start-up failed"),
            QStringLiteral("as idle: the text cursor's blinks only (≤ %1 wake-ups)").arg(2 * seconds + 2)};
    Ft2000Model model;
    PtyRadio radio(model);
    if (!radio.open()) {
        return row;
    }
    StartedProgram program(rigdeck, folder, radio);
    if (!program.ready()) {
        return row;
    }
    radio.hangUpKeepingTerminal();
    // Whatever the program does on noticing it.
    runEvents(500ms);
    const std::optional<ProcessStats> before = ProcessStats::ofProcess(program.pid());
    runEvents(std::chrono::seconds(seconds));
    const std::optional<ProcessStats> after = ProcessStats::ofProcess(program.pid());
    if (!before || !after || !program.running()) {
        row.measured = QStringLiteral("the program ended");
        return row;
    }
    const ProcessStats spent = *after - *before;
    row.measured = usage(spent, seconds);
    row.met = spent.voluntarySwitches <= 2 * seconds + 2 && spent.cpu < 100ms;
    return row;
}

Row floodRow(const QString &rigdeck, const QString &folder, bool tcp, qint64 floodBytes)
{
    const double floodMiB = double(floodBytes) / (1024 * 1024);
    Row row{QStringLiteral("**Unsolicited flood** over %1: resident memory growth while %2 MiB of dial "
                           "reports arrive after start-up")
                .arg(tcp ? QStringLiteral("TCP") : QStringLiteral("a pseudo-terminal"))
                .arg(floodMiB, 0, 'f', 0),
            QStringLiteral("start-up failed"), QStringLiteral("< %1 MiB").arg(FloodGrowthTarget)};
    Ft2000Model model;
    PtyRadio radio(model);
    if (!(tcp ? radio.listenTcp(0) : radio.open())) {
        return row;
    }
    StartedProgram program(rigdeck, folder, radio);
    if (!program.ready()) {
        return row;
    }
    const long long before = statusKilobytes(program.pid(), QStringLiteral("VmRSS"));
    const QByteArray reports = QByteArray("FA07030000;").repeated(6000);
    QElapsedTimer clock;
    clock.start();
    qint64 sent = 0;
    while (sent < floodBytes && program.running()) {
        if (radio.unwrittenBytes() < 256 * 1024) {
            radio.sendRaw(reports);
            sent += reports.size();
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    while (radio.unwrittenBytes() > 0 && program.running() && clock.elapsed() < 120000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    const double seconds = double(clock.elapsed()) / 1000;
    runEvents(500ms);
    const long long after = statusKilobytes(program.pid(), QStringLiteral("VmRSS"));
    if (!program.running() || before < 0 || after < 0) {
        row.measured = QStringLiteral("the program ended");
        return row;
    }
    const double growthMiB = double(after - before) / KibPerMib;
    row.measured = QStringLiteral("%1 MiB (%2 → %3 MiB; taken in %4 s)")
                       .arg(growthMiB, 0, 'f', 1)
                       .arg(double(before) / KibPerMib, 0, 'f', 1)
                       .arg(double(after) / KibPerMib, 0, 'f', 1)
                       .arg(seconds, 0, 'f', 1);
    row.met = growthMiB < FloodGrowthTarget;
    return row;
}

Row dialReportRow(const QString &rigdeck, const QString &folder)
{
    Row row{QStringLiteral("**Dial report before every reply**: start-up against a radio that sends "
                           "\"FA07030000;\" ahead of each answer"),
            QStringLiteral("start-up failed"), QStringLiteral("the eight queries, nothing else sent (no MD01;)")};
    Ft2000Model model;
    PtyRadio radio(model);
    if (!radio.open()) {
        return row;
    }
    StartedProgram program(rigdeck, folder, radio, true);
    if (!program.ready()) {
        return row;
    }
    const QList<QByteArray> commands = radio.commands();
    const QList<QByteArray> expected = {"KM1;", "KM2;", "KM3;", "KM4;", "KM5;", "BI;", "MD0;", "KS;"};
    row.met = commands == expected;
    row.measured = row.met ? QStringLiteral("8 queries, nothing else; ready %1 ms after start").arg(program.startupMs())
                           : QStringLiteral("sent: %1").arg(QString::fromLatin1(commands.join(' ')));
    return row;
}

} // namespace

std::vector<Row> measureLineFaults(const BenchOptions &options, const QString &folder)
{
    progress(QStringLiteral("line faults: hang-up, floods, dial reports"));
    const qint64 floodBytes = qint64(options.floodMebibytes) * 1024 * 1024;
    return {hangUpRow(options.rigdeck, folder, options.idleSeconds),
            floodRow(options.rigdeck, folder, false, floodBytes), floodRow(options.rigdeck, folder, true, floodBytes),
            dialReportRow(options.rigdeck, folder)};
}
