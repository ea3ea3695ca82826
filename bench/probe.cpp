// SPDX-License-Identifier: GPL-3.0-or-later
// rigdeck-bench-probe: measures RIGDECK against the simulated FT2000 on a
// pseudo-terminal and prints one Markdown table. bench/run.sh builds it and
// runs it; progress goes to stderr, the table to stdout. Each measurement is
// a file of its own; this one reads the command line, runs them in order and
// prints their rows.
//
// Start-up, idle cost and memory are measured on the real rigdeck process;
// the click and reply paths on a main window built inside this process, where
// the exact moments can be taken on both sides of the line.

#include "ClickBench.h"
#include "ColdStartBench.h"
#include "IdleBench.h"
#include "LineFaultBench.h"
#include "PacedLine.h"
#include "Report.h"
#include "ServerOutageBench.h"
#include "SharedRadioBench.h"
#include "StartupBench.h"

#include "app/Form1.h"
#include "radio/QtSerialPortDevice.h"
#include "ui/MessageBox.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

using namespace std::chrono_literals;

qint64 strippedSize(const QString &executable, const QString &folder)
{
    const QString stripped = folder + QStringLiteral("/rigdeck.stripped");
    if (QProcess::execute(QStringLiteral("strip"), {QStringLiteral("-o"), stripped, executable}) != 0) {
        return -1;
    }
    return QFileInfo(stripped).size();
}

QString mebibytes(double bytes)
{
    return number(bytes / (1024.0 * 1024.0), 2) + QStringLiteral(" MiB");
}

// The main window built in this process on the unpaced line, as start-up
// leaves it.
class InProcessWindow
{
public:
    InProcessWindow(PacedLine &line, const QString &folder)
    {
        const QString ini = folder + QStringLiteral("/RIGDECK-inprocess.INI");
        writeFile(ini, settingsFor(38400));
        line.clear();
        line.setBaud(0);
        qputenv("RIGDECK_COM1", line.devicePath().toLocal8Bit());
        // A message box would wait for a click nobody makes.
        setMessageHandler([this](const QString &text) { m_messages << text; });
        window.setSettingsFile(ini);
        window.Form_Load();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window) || !m_messages.isEmpty()) {
            giveUp(QStringLiteral("the in-process window did not start: %1").arg(m_messages.join(u' ')));
        }
        runEventLoop(200ms);
    }
    ~InProcessWindow()
    {
        setMessageHandler({});
        window.hide();
    }

    QtSerialPortDevice port;
    Form1 window{port};

private:
    QStringList m_messages;
};

void measureAndPrint(const BenchOptions &options)
{
    QTemporaryDir folder;
    PacedLine line;
    if (!folder.isValid() || !line.open()) {
        giveUp(QStringLiteral("cannot set up: %1").arg(line.errorString()));
    }

    const std::vector<StartResults> starts = measureStartups(options, line, folder.path());
    const RealIdle idle = measureRealIdle(options, line, folder.path());
    const std::vector<ColdStart> coldStarts = measureColdStarts(options);
    WindowIdle windowIdle;
    ClickResults clicks;
    RecordingIdle recording;
    {
        InProcessWindow inProcess(line, folder.path());
        windowIdle = measureWindowIdle(options);
        clicks = measureClicks(options, line, inProcess.window);
        recording = measureRecording(options, inProcess.window);
    }

    Table table;
    addStartupRows(table, starts);
    addColdStartRows(table, coldStarts);
    addClickRows(table, clicks);
    addIdleRows(table, options, idle, windowIdle, recording);
    table.add(measureLineFaults(options, folder.path()));
    table.add(measureSharedRadio(options));
    table.add(measureServerOutage(options, folder.path(), idle, idleAllowance(windowIdle)));
    const qint64 unstripped = QFileInfo(options.rigdeck).size();
    const qint64 stripped = strippedSize(options.rigdeck, folder.path());
    table.row(
        QStringLiteral("**Executable** `rigdeck` (RelWithDebInfo; Qt linked dynamically)"),
        QStringLiteral("%1 unstripped, %2 stripped")
            .arg(mebibytes(double(unstripped)), stripped < 0 ? QStringLiteral("?") : mebibytes(double(stripped))));

    table.print();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures RIGDECK against the simulated FT2000."));
    parser.addHelpOption();
    const QCommandLineOption rigdeckOption(QStringLiteral("rigdeck"), QStringLiteral("The rigdeck executable."),
                                           QStringLiteral("path"));
    const QCommandLineOption marksOption(QStringLiteral("marks"), QStringLiteral("The marks library to preload."),
                                         QStringLiteral("path"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Starts per line speed."),
                                        QStringLiteral("n"), QStringLiteral("9"));
    const QCommandLineOption samplesOption(QStringLiteral("samples"),
                                           QStringLiteral("Clicks and replies measured in-process."),
                                           QStringLiteral("n"), QStringLiteral("31"));
    const QCommandLineOption idleOption(QStringLiteral("idle-seconds"),
                                        QStringLiteral("Length of each idle measurement."), QStringLiteral("s"),
                                        QStringLiteral("10"));
    const QCommandLineOption coldStartOption(QString::fromLatin1(ColdStartOption),
                                             QStringLiteral("Build one window, print its start-up times, end."));
    const QCommandLineOption floodOption(QStringLiteral("flood-mebibytes"),
                                         QStringLiteral("Unsolicited bytes sent after start-up, per line kind."),
                                         QStringLiteral("MiB"), QStringLiteral("100"));
    parser.addOptions(
        {rigdeckOption, marksOption, runsOption, samplesOption, idleOption, floodOption, coldStartOption});
    parser.process(app);
    if (parser.isSet(coldStartOption)) {
        try {
            return coldStartChild();
        } catch (const BenchFailure &) {
            return 1;
        }
    }

    BenchOptions options;
    options.rigdeck = QFileInfo(parser.value(rigdeckOption)).absoluteFilePath();
    options.rigdeckSim = QFileInfo(options.rigdeck).absoluteDir().filePath(QStringLiteral("sim-server/rigdeck-sim"));
    options.marksLibrary = QFileInfo(parser.value(marksOption)).absoluteFilePath();
    options.runs = std::max(1, parser.value(runsOption).toInt());
    options.samples = std::max(1, parser.value(samplesOption).toInt());
    options.idleSeconds = std::max(1, parser.value(idleOption).toInt());
    options.floodMebibytes = std::max(1, parser.value(floodOption).toInt());
    if (!QFileInfo(options.rigdeck).isExecutable() || !QFileInfo::exists(options.marksLibrary)) {
        progress(QStringLiteral("--rigdeck and --marks must name the built program and library"));
        return 2;
    }
    // Where tests/support's rigctld station finds the simulator.
    qputenv("RIGDECK_SIM", QFile::encodeName(options.rigdeckSim));

    try {
        measureAndPrint(options);
    } catch (const BenchFailure &failure) {
        progress(failure.why);
        return 1;
    }
    return 0;
}
