// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharedRadioBench.h"

#include "app/Form1.h"
#include "keyer/KeyerPanel.h"
#include "radio/RadioPort.h"
#include "support/EnvironmentOverride.h"
#include "support/SharedRadio.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

using namespace std::chrono_literals;

constexpr int HeldRounds = 3;
constexpr int PressesWhileHeld = 4;

double median(std::vector<double> values)
{
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

QString spread(const std::vector<double> &values)
{
    if (values.empty()) {
        return QStringLiteral("no sample");
    }
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    return QStringLiteral("median %1 ms (min %2, max %3, n=%4)")
        .arg(median(values), 0, 'f', 2)
        .arg(*low, 0, 'f', 2)
        .arg(*high, 0, 'f', 2)
        .arg(values.size());
}

// An in-process window whose port 1 names the device in the settings file.
struct Window {
    Window(const QString &device, const QString &folder)
    {
        const QString ini = folder + QStringLiteral("/RIGDECK.INI");
        writeFile(ini, "[COM]\nPORT=1,38400\n[DEVICE]\nCOM1=" + device.toUtf8() + "\n");
        window.setSettingsFile(ini);
    }
    // Start-up, in ms.
    double load()
    {
        QElapsedTimer clock;
        clock.start();
        window.Form_Load();
        return double(clock.nsecsElapsed()) / 1e6;
    }
    RadioPort port;
    Form1 window{port};
};

// Click on message memory n → its command in the radio's log, in ms; -1 if
// it never came.
double clickToRadio(Form1 &window, RigctldStation &station, int memory, qint64 timeoutMs = 3000)
{
    const QByteArray command = "KY" + QByteArray::number(memory + 1) + ';';
    const qsizetype before = station.radioCommands().count(command);
    QElapsedTimer clock;
    clock.start();
    window.keyer().Command2_Click(memory);
    while (station.radioCommands().count(command) == before) {
        if (clock.elapsed() > timeoutMs) {
            return -1;
        }
        QCoreApplication::processEvents();
        QThread::usleep(200);
    }
    return double(clock.nsecsElapsed()) / 1e6;
}

// Another client of rigctld sends a request that holds every client for
// rigctld's time-out (send_cmd with a reply rigctld waits out); how long it
// held, in ms.
class HoldingClient
{
public:
    explicit HoldingClient(quint16 port)
    {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        m_socket.waitForConnected(3000);
    }
    void hold()
    {
        m_clock.start();
        m_socket.write("+w FA;\n");
        m_socket.flush();
    }
    // Runs events until its answer came; its wait in ms.
    double released()
    {
        QByteArray answer;
        while (!answer.contains("RPRT") && m_clock.elapsed() < 15000) {
            QCoreApplication::processEvents();
            answer += m_socket.readAll();
            QThread::msleep(1);
        }
        return double(m_clock.nsecsElapsed()) / 1e6;
    }

private:
    QTcpSocket m_socket;
    QElapsedTimer m_clock;
};

} // namespace

Row stationNotStartedRow(const QString &what, const QString &why, const BenchOptions &options)
{
    const bool missing =
        QStandardPaths::findExecutable(QStringLiteral("rigctld")).isEmpty() || !QFile::exists(options.rigdeckSim);
    return {what, QStringLiteral("not measured: ") + why, QStringLiteral("—"), missing};
}

std::vector<Row> measureSharedRadio(const BenchOptions &options)
{
    progress(QStringLiteral("beside a logger: through rigctld"));
    RigctldStation station;
    QString why;
    if (!station.start(why)) {
        return {stationNotStartedRow(QStringLiteral("**Through rigctld**"), why, options)};
    }
    QTemporaryDir dir;
    // The variable would win over the settings file's [DEVICE] entry.
    const EnvironmentOverride noVariable("RIGDECK_COM1");
    // Messages would stop the run; none is expected.
    setMessageHandler([](const QString &text) { std::fprintf(stderr, "bench: message %s\n", qPrintable(text)); });

    // The direct line is a simulator of its own: rigctld holds the first.
    QProcess directSim;
    directSim.start(options.rigdeckSim, QStringList());
    directSim.waitForReadyRead(5000);
    const QString directPty = QString::fromLocal8Bit(directSim.readLine()).trimmed();
    std::vector<double> throughServer, direct;
    for (int i = 0; i < options.runs; ++i) {
        throughServer.push_back(Window(station.address(), dir.path()).load());
        direct.push_back(Window(directPty, dir.path()).load());
    }
    directSim.kill();
    directSim.waitForFinished();

    std::vector<double> clicks, heldClicks, holds;
    int heldSent = 0, heldArrived = 0;
    {
        Window window(station.address(), dir.path());
        window.load();
        for (int i = 0; i < options.samples; ++i) {
            clicks.push_back(clickToRadio(window.window, station, 0));
            // Let rigctld's answer come back before the next click.
            runEventLoop(30ms);
        }
        progress(QStringLiteral("beside a logger: rigctld held by another client"));
        HoldingClient logger(station.port());
        for (int round = 0; round < HeldRounds; ++round) {
            logger.hold();
            // The request has reached rigctld and holds it.
            runEventLoop(100ms);
            std::vector<std::unique_ptr<QElapsedTimer>> pressed;
            std::vector<qsizetype> before;
            for (int memory = 0; memory < PressesWhileHeld; ++memory) {
                const QByteArray command = "KY" + QByteArray::number(memory + 1) + ';';
                before.push_back(station.radioCommands().count(command));
                pressed.push_back(std::make_unique<QElapsedTimer>());
                pressed.back()->start();
                window.window.keyer().Command2_Click(memory);
                ++heldSent;
                runEventLoop(50ms);
            }
            std::vector<bool> arrived(PressesWhileHeld, false);
            QElapsedTimer clock;
            clock.start();
            while (std::count(arrived.begin(), arrived.end(), true) < PressesWhileHeld && clock.elapsed() < 8000) {
                const QByteArrayList commands = station.radioCommands();
                for (int memory = 0; memory < PressesWhileHeld; ++memory) {
                    const QByteArray command = "KY" + QByteArray::number(memory + 1) + ';';
                    if (!arrived[memory] && commands.count(command) > before[memory]) {
                        arrived[memory] = true;
                        heldClicks.push_back(double(pressed[memory]->nsecsElapsed()) / 1e6);
                        ++heldArrived;
                    }
                }
                QCoreApplication::processEvents();
                QThread::usleep(200);
            }
            holds.push_back(logger.released());
            runEventLoop(200ms);
        }
    }
    setMessageHandler({});

    const double clickMedian = median(clicks);
    const double holdMedian = median(holds);
    std::vector<Row> rows;
    rows.push_back({QStringLiteral("**Click to command at the radio through rigctld** (Hamlib %1, loopback): "
                                   "Command2_Click(0) → \"KY1;\" in the simulator's log")
                        .arg(QStringLiteral("rigctld -m 1029")),
                    spread(clicks), QStringLiteral("< 20 ms median"), clickMedian < 20});
    rows.push_back(
        {QStringLiteral("**Click to command while another client holds rigctld** (its `+w FA;` held every client "
                        "%1 ms, median of %2): F1–F4 pressed 50 ms apart just after it; click → command in the "
                        "simulator's log")
             .arg(holdMedian, 0, 'f', 0)
             .arg(holds.size()),
         QStringLiteral("%1 of %2 arrived; %3; added beyond the free rigctld's median: %4 ms")
             .arg(heldArrived)
             .arg(heldSent)
             .arg(spread(heldClicks))
             .arg(median(heldClicks) - clickMedian, 0, 'f', 0),
         QStringLiteral("every command arrives, each within 5 s of its click"),
         heldArrived == heldSent && !heldClicks.empty()
             && *std::max_element(heldClicks.begin(), heldClicks.end()) < 5000});
    rows.push_back({QStringLiteral("**Start-up through rigctld**, in-process Form_Load, eight questions at 38400 baud "
                                   "behind rigctld"),
                    spread(throughServer), QStringLiteral("—"), true});
    rows.push_back({QStringLiteral("  the same on the direct line (the simulator's pseudo-terminal)"), spread(direct),
                    QStringLiteral("—"), true});
    return rows;
}
