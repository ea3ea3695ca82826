// SPDX-License-Identifier: GPL-3.0-or-later
// A radio across the network: port n named "tcp:HOST:PORT" runs the same
// start-up, failure messages and dropped commands as a serial port.
#include "app/Form1.h"
#include "keyer/KeySpeedPanel.h"
#include "keyer/KeyerPanel.h"
#include "radio/RadioLink.h"
#include "radio/RadioPort.h"
#include "radio/TcpLinePort.h"
#include "support/EnvironmentOverride.h"
#include "support/MessageRecorder.h"

#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

class TcpLinkTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    struct Started {
        RadioPort port;
        std::unique_ptr<Form1> window;
    };

    std::unique_ptr<Started> startWith(const QByteArray &device)
    {
        const EnvironmentOverride line("RIGDECK_COM1", device);
        auto started = std::make_unique<Started>();
        started->window = std::make_unique<Form1>(started->port);
        started->window->setSettingsFile(m_dir.filePath(QStringLiteral("RIGDECK.INI")));
        started->window->link().setResponseTime(1000ms);
        started->window->Form_Load();
        return started;
    }

private slots:
    void addresses_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("host");
        QTest::addColumn<int>("port");
        QTest::newRow("name and port") << "tcp:shack-pi:4532" << true << "shack-pi" << 4532;
        QTest::newRow("IPv4") << "tcp:127.0.0.1:2000" << true << "127.0.0.1" << 2000;
        QTest::newRow("IPv6 in brackets") << "tcp:[::1]:2000" << true << "::1" << 2000;
        QTest::newRow("no port") << "tcp:shack-pi" << false << "" << 0;
        QTest::newRow("port 0") << "tcp:shack-pi:0" << false << "" << 0;
        QTest::newRow("port too big") << "tcp:shack-pi:70000" << false << "" << 0;
        QTest::newRow("no host") << "tcp::2000" << false << "" << 0;
        QTest::newRow("a device path") << "/dev/ttyUSB0" << false << "" << 0;
    }

    void addresses()
    {
        QFETCH(QString, address);
        QFETCH(bool, valid);
        QFETCH(QString, host);
        QFETCH(int, port);
        QString parsedHost;
        quint16 parsedPort = 0;
        QCOMPARE(TcpLinePort::parseAddress(address, parsedHost, parsedPort), valid);
        if (valid) {
            QCOMPARE(parsedHost, host);
            QCOMPARE(int(parsedPort), port);
        }
    }

    void startUpAgainstTheSimulatedRadioOverTcp()
    {
        if (qEnvironmentVariableIsEmpty("RIGDECK_SIM")) {
            QSKIP("rigdeck-sim is built only where pseudo-terminals are (not for Windows)");
        }
        QProcess sim;
        sim.setProgram(qEnvironmentVariable("RIGDECK_SIM"));
        sim.setArguments({QStringLiteral("--tcp"), QStringLiteral("0"), QStringLiteral("--memory"),
                          QStringLiteral("2=TU 5NN"), QStringLiteral("--mode"), QStringLiteral("3"),
                          QStringLiteral("--speed"), QStringLiteral("32"), QStringLiteral("--log"),
                          m_dir.filePath(QStringLiteral("sim.log"))});
        sim.start();
        QVERIFY(sim.waitForStarted());
        QTRY_VERIFY(sim.canReadLine());
        const QByteArray address = sim.readLine().trimmed();
        QVERIFY2(address.startsWith("tcp:127.0.0.1:"), address.constData());

        MessageRecorder messages;
        auto started = startWith(address);
        Form1 &w = *started->window;
        QVERIFY(messages.messages().isEmpty());
        QCOMPARE(w.keyer().Text1(1)->text(), QStringLiteral("TU 5NN}"));
        QCOMPARE(w.keySpeed().Label6()->text(), QStringLiteral("032WPM"));
        QCOMPARE(w.keySpeed().Slider1()->value(), 32);
        w.keyer().Command1_Click(4);
        w.keySpeed().Command3_Click();

        const auto simLog = [this] {
            QFile log(m_dir.filePath(QStringLiteral("sim.log")));
            return log.open(QIODevice::ReadOnly) ? log.readAll() : QByteArray();
        };
        QTRY_COMPARE(simLog(), QByteArray("KM1;\nKM2;\nKM3;\nKM4;\nKM5;\nBI;\nMD0;\nKS;\nKYA;\nBI1;\n"));

        // The server going away: commands wait for it, no message box is shown.
        sim.terminate();
        QVERIFY(sim.waitForFinished());
        QTRY_VERIFY(!started->port.portOpen());
        w.keyer().Command2_Click(0);
        QVERIFY(messages.messages().isEmpty());
        // Back on the same port: the next command reaches the radio.
        sim.setArguments({QStringLiteral("--tcp"), QString::fromLatin1(address.mid(address.lastIndexOf(':') + 1)),
                          QStringLiteral("--log"), m_dir.filePath(QStringLiteral("sim.log"))});
        sim.start();
        QTRY_VERIFY(sim.canReadLine());
        w.keyer().Command2_Click(1);
        QTRY_VERIFY(simLog().endsWith("KY2;\n"));
        QVERIFY(started->port.portOpen());
    }

    void unreachableRadioIsAnOpenFailure_data()
    {
        QTest::addColumn<QByteArray>("device");
        QTest::newRow("nothing listens") << QByteArray("tcp:127.0.0.1:1");
        QTest::newRow("name that does not resolve") << QByteArray("tcp:no-such-radio.invalid:4532");
        QTest::newRow("malformed") << QByteArray("tcp:127.0.0.1");
    }

    void unreachableRadioIsAnOpenFailure()
    {
        QFETCH(QByteArray, device);
        MessageRecorder messages;
        auto started = startWith(device);
        QCOMPARE(messages.messages(), QStringList{OpenFailedMessage});
        QVERIFY(!started->port.portOpen());
        started->window->keySpeed().Command13_Click();
        QCOMPARE(messages.messages().size(), 1);
    }
};

QTEST_MAIN(TcpLinkTest)
#include "tst_tcplink.moc"
