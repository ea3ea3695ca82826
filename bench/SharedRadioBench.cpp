// SPDX-License-Identifier: GPL-3.0-or-later
#include "SharedRadioBench.h"

#include "app/Form1.h"
#include "keyer/KeyerPanel.h"
#include "radio/RadioLink.h"
#include "radio/RadioPort.h"
#include "ui/MessageBox.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

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

void stop(QProcess &process)
{
    if (process.state() != QProcess::NotRunning) {
        process.terminate();
        if (!process.waitForFinished(3000)) {
            process.kill();
            process.waitForFinished(3000);
        }
    }
}

qsizetype countIn(const QString &log, const QByteArray &line)
{
    QFile file(log);
    if (!file.open(QIODevice::ReadOnly)) {
        return 0;
    }
    return file.readAll().split('\n').count(line);
}

// Start-up of an in-process window whose port 1 names the device; ms.
double startOnce(const QString &device, const QString &folder)
{
    const QString ini = folder + QStringLiteral("/RIGDECK.INI");
    QFile file(ini);
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    file.write("[COM]\nPORT=1,38400\n[DEVICE]\nCOM1=" + device.toUtf8() + "\n");
    file.close();
    RadioPort port;
    Form1 window(port);
    window.setSettingsFile(ini);
    QElapsedTimer clock;
    clock.start();
    window.Form_Load();
    return double(clock.nsecsElapsed()) / 1e6;
}

} // namespace

std::vector<SharedRadioRow> measureSharedRadio(const QString &rigdeckSim, int samples, int runs)
{
    const QString rigctldPath = QStandardPaths::findExecutable(QStringLiteral("rigctld"));
    if (rigctldPath.isEmpty() || !QFile::exists(rigdeckSim)) {
        return {{QStringLiteral("**Through rigctld**"), QStringLiteral("not measured: rigctld or rigdeck-sim missing"),
                 QStringLiteral("—"), true}};
    }
    QTemporaryDir dir;
    const QString log = dir.filePath(QStringLiteral("radio.log"));
    QProcess sim;
    sim.start(rigdeckSim, {QStringLiteral("--log"), log});
    sim.waitForReadyRead(5000);
    const QString pty = QString::fromLocal8Bit(sim.readLine()).trimmed();
    quint16 port = 0;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        port = probe.serverPort();
    }
    QProcess rigctld;
    rigctld.start(rigctldPath, {QStringLiteral("-m"), QStringLiteral("1029"), QStringLiteral("-r"), pty,
                                QStringLiteral("-s"), QStringLiteral("38400"), QStringLiteral("-t"),
                                QString::number(port), QStringLiteral("-T"), QStringLiteral("127.0.0.1")});
    bool up = false;
    for (int i = 0; i < 150 && !up; ++i) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        up = socket.waitForConnected(100);
        if (!up) {
            QThread::msleep(100);
        }
    }
    std::vector<SharedRadioRow> rows;
    if (!up) {
        stop(rigctld);
        stop(sim);
        return {{QStringLiteral("**Through rigctld**"), QStringLiteral("not measured: rigctld did not come up"),
                 QStringLiteral("—"), false}};
    }
    const QString address = QStringLiteral("rigctld:127.0.0.1:%1").arg(port);
    // The variable would win over the settings file's [DEVICE] entry.
    const QByteArray namedPort = qgetenv("RIGDECK_COM1");
    qunsetenv("RIGDECK_COM1");
    // Messages would stop the run; none is expected.
    setMessageHandler([](const QString &text) { std::fprintf(stderr, "bench: message %s\n", qPrintable(text)); });

    // The direct line is a simulator of its own: rigctld holds the first.
    QProcess directSim;
    directSim.start(rigdeckSim, QStringList());
    directSim.waitForReadyRead(5000);
    const QString directPty = QString::fromLocal8Bit(directSim.readLine()).trimmed();
    std::vector<double> throughServer, direct;
    for (int i = 0; i < runs; ++i) {
        throughServer.push_back(startOnce(address, dir.path()));
        direct.push_back(startOnce(directPty, dir.path()));
    }
    stop(directSim);

    std::vector<double> clicks;
    {
        const QString ini = dir.filePath(QStringLiteral("RIGDECK.INI"));
        QFile file(ini);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("[COM]\nPORT=1,38400\n[DEVICE]\nCOM1=" + address.toUtf8() + "\n");
        file.close();
        RadioPort radioPort;
        Form1 window(radioPort);
        window.setSettingsFile(ini);
        window.Form_Load();
        for (int i = 0; i < samples; ++i) {
            const qsizetype before = countIn(log, "KY1;");
            QElapsedTimer clock;
            clock.start();
            window.keyer().Command2_Click(0);
            while (countIn(log, "KY1;") == before && clock.elapsed() < 3000) {
                QCoreApplication::processEvents();
                QThread::usleep(200);
            }
            clicks.push_back(double(clock.nsecsElapsed()) / 1e6);
            // Let rigctld's answer come back before the next click.
            const qint64 settle = clock.elapsed() + 30;
            while (clock.elapsed() < settle) {
                QCoreApplication::processEvents();
                QThread::msleep(1);
            }
        }
    }
    setMessageHandler({});
    if (!namedPort.isEmpty()) {
        qputenv("RIGDECK_COM1", namedPort);
    }
    stop(rigctld);
    stop(sim);

    const double clickMedian = median(clicks);
    rows.push_back({QStringLiteral("**Click to command at the radio through rigctld** (Hamlib %1, loopback): "
                                   "Command2_Click(0) → \"KY1;\" in the simulator's log")
                        .arg(QStringLiteral("rigctld -m 1029")),
                    spread(clicks), QStringLiteral("< 20 ms median"), clickMedian < 20});
    rows.push_back({QStringLiteral("**Start-up through rigctld**, in-process Form_Load, eight questions at 38400 baud "
                                   "behind rigctld"),
                    spread(throughServer), QStringLiteral("—"), true});
    rows.push_back({QStringLiteral("  the same on the direct line (the simulator's pseudo-terminal)"), spread(direct),
                    QStringLiteral("—"), true});
    return rows;
}
