// SPDX-License-Identifier: GPL-3.0-or-later
// The command exchange over a real serial port to the simulated radio on a
// pseudo-terminal.
#include "radio/QtSerialPortDevice.h"
#include "radio/Radio.h"
#include "radio/RadioLink.h"
#include "radio/TcpLinePort.h"
#include "radio/TraceLog.h"
#include "settings/PortSetting.h"
#include "sim/Ft2000Model.h"
#include "sim-server/PtyRadio.h"
#include "support/EnvironmentOverride.h"
#include "support/MessageRecorder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace std::chrono_literals;

class RadioLinkTest : public QObject
{
    Q_OBJECT

private:
    Ft2000Model *m_model = nullptr;
    PtyRadio *m_radio = nullptr;
    QtSerialPortDevice *m_port = nullptr;
    RadioLink *m_link = nullptr;
    Radio *m_ft2000 = nullptr;

    void openLine(const char *baud = "19200")
    {
        QVERIFY(m_port->open({PortSetting(QStringLiteral("1,") + QLatin1String(baud)), m_radio->devicePath()}));
    }

private slots:
    void init()
    {
        m_model = new Ft2000Model;
        m_radio = new PtyRadio(*m_model);
        QVERIFY(m_radio->open());
        m_port = new QtSerialPortDevice;
        m_link = new RadioLink(*m_port);
        // The radio's rules for telling its answers apart.
        m_ft2000 = new Radio(*m_link);
        // The full five seconds are the program's; tests need not wait them.
        m_link->setResponseTime(300ms);
    }

    void cleanup()
    {
        delete m_ft2000;
        delete m_link;
        delete m_port;
        delete m_radio;
        delete m_model;
    }

    void responseTimerIsFiveSecondsAndIdle()
    {
        RadioLink link(*m_port);
        QCOMPARE(link.Timer1().interval(), 5000);
        QCOMPARE(link.Timer1().timerType(), Qt::PreciseTimer);
        QVERIFY(!link.Timer1().isActive());
        QCOMPARE(link.ResponseTimedOut(), 0);
    }

    void sendWritesTheCommandUnchanged()
    {
        openLine();
        QVERIFY(m_link->SendCommand(QStringLiteral("BI1;")));
        QVERIFY(m_link->SendCommand(QStringLiteral("MD03;")));
        QTRY_COMPARE(m_radio->received(), QByteArray("BI1;MD03;"));
        QCOMPARE(m_model->breakIn, true);
        QCOMPARE(m_model->mode, '3');
    }

    void sendDropsEmptyCommandsAndCommandsToAClosedPort()
    {
        MessageRecorder messages;
        // Closed: nothing written, nothing shown.
        QVERIFY(m_link->SendCommand(QStringLiteral("KY1;")));
        openLine();
        QVERIFY(m_link->SendCommand(QString()));
        QVERIFY(m_link->SendCommand(QStringLiteral("KY2;")));
        QTRY_COMPARE(m_radio->received(), QByteArray("KY2;"));
        QTest::qWait(50);
        QCOMPARE(m_radio->received(), QByteArray("KY2;"));
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!m_link->Timer1().isActive());
    }

    void replyIsCollectedUntilItsSemicolon_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<int>("split");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole reply") << "KS;" << 0 << "KS025;";
        QTest::newRow("refusal ends the wait") << "XX;" << 0 << "?;";
        QTest::newRow("reply in single bytes is joined") << "KM1;" << 1 << "KM1CQ TEST DE JA1ZZZ};";
        QTest::newRow("reply in pieces of three") << "MD0;" << 3 << "MD02;";
    }

    void replyIsCollectedUntilItsSemicolon()
    {
        QFETCH(QString, query);
        QFETCH(int, split);
        QFETCH(QString, expected);
        MessageRecorder messages;
        openLine();
        m_radio->setSplit(split);
        QVERIFY(m_link->SendCommand(query));
        QString reply = QStringLiteral("left over");
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, expected);
        QCOMPARE(m_link->ResponseTimedOut(), 0);
        QVERIFY(!m_link->Timer1().isActive());
        QVERIFY(messages.messages().isEmpty());
    }

    void twoRepliesReadTogetherAreOneText()
    {
        openLine();
        m_radio->sendRaw("BI1;MD03;");
        QString reply;
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QStringLiteral("BI1;MD03;"));
    }

    void queryTakesOnlyItsOwnAnswer_data()
    {
        QTest::addColumn<QByteArray>("before"); // on the line before the query is sent
        QTest::addColumn<QByteArray>("answer"); // what the radio then writes, in pieces
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("skipped");
        QTest::newRow("plain answer") << QByteArray() << QByteArray("MD03;") << "MD03;" << 0;
        QTest::newRow("stale reply is thrown away") << QByteArray("BI0;") << QByteArray("MD03;") << "MD03;" << 1;
        QTest::newRow("dial report before the answer")
            << QByteArray() << QByteArray("FA07030000;|MD03;") << "MD03;" << 1;
        QTest::newRow("report and answer in one read")
            << QByteArray() << QByteArray("FA07030000;MD03;") << "MD03;" << 1;
        QTest::newRow("report split across reads") << QByteArray() << QByteArray("FA070|30000;MD|03;") << "MD03;" << 1;
        QTest::newRow("second half of a double reply") << QByteArray() << QByteArray("MD03;MD03;") << "MD03;" << 0;
        QTest::newRow("refusal is an answer") << QByteArray() << QByteArray("FA07030000;?;") << "?;" << 1;
        QTest::newRow("noise is not a message")
            << QByteArray() << QByteArray("x\x01MD03;") << QString::fromLatin1("x\x01MD03;") << 0;
        QTest::newRow("lower case is not a command") << QByteArray() << QByteArray("fa1;") << "fa1;" << 0;
    }

    void queryTakesOnlyItsOwnAnswer()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, answer);
        QFETCH(QString, expected);
        QFETCH(int, skipped);
        openLine();
        m_radio->setSilent(true);
        const QByteArrayList pieces = answer.split('|');
        connect(m_radio, &PtyRadio::commandReceived, m_radio, [&] {
            for (const QByteArray &piece : pieces) {
                m_radio->sendRaw(piece);
                QTest::qWait(5);
            }
        });
        // Already on the line when the query goes: the kernel has passed it
        // to the port, and no event has been processed since.
        m_radio->sendRaw(before);
        QThread::msleep(20);
        QSignalSpy skippedSpy(m_link, &RadioLink::messageSkipped);
        QTemporaryDir folder;
        const QString tracePath = folder.filePath(QStringLiteral("trace"));
        {
            TraceLog trace(*m_link, tracePath);
            QString reply;
            QCOMPARE(m_link->Query(QStringLiteral("MD0;"), reply), RadioLink::QueryResult::Answered);
            QCOMPARE(reply, expected);
        }
        QCOMPARE(skippedSpy.count(), skipped);
        // What was skipped shows in the trace.
        QFile traced(tracePath);
        QVERIFY(traced.open(QIODevice::ReadOnly));
        QCOMPARE(traced.readAll().count("skipped"), skipped);
    }

    void nothingIsKeptBetweenWaits()
    {
        openLine();
        // A radio in auto-information mode: reports nobody asked for.
        for (int i = 0; i < 200; ++i) {
            m_radio->sendRaw("FA07030000;IF00007030000+000000030000000;");
        }
        QTRY_COMPARE(m_radio->unwrittenBytes(), qsizetype(0));
        QTest::qWait(20);
        // The link has taken them as they came; nothing waits in the port.
        QByteArray left;
        QVERIFY(m_port->input(left));
        QCOMPARE(left, QByteArray());
        QString reply;
        QCOMPARE(m_link->Query(QStringLiteral("KS;"), reply), RadioLink::QueryResult::Answered);
        QCOMPARE(reply, QStringLiteral("KS025;"));
    }

    void aLongReadWithAnEarlySemicolonEndsTheWait()
    {
        // Over TCP one read takes up to 16 KiB: the reply and what follows it.
        PtyRadio radio(*m_model);
        QVERIFY(radio.listenTcp(0));
        TcpLinePort line;
        QVERIFY(line.open({PortSetting(QStringLiteral("1,19200")), radio.devicePath()}));
        RadioLink link(line);
        link.setResponseTime(300ms);
        radio.setSilent(true);
        connect(&radio, &PtyRadio::commandReceived, &radio,
                [&radio] { radio.sendRaw("KS025;" + QByteArray(5000, 'x')); });
        QVERIFY(link.SendCommand(QStringLiteral("KS;")));
        QString reply;
        QVERIFY(link.ReadResponse(reply));
        QCOMPARE(link.ResponseTimedOut(), 0);
        QVERIFY(reply.startsWith(QLatin1String("KS025;")));
    }

    void replyThatNeverEndsKeepsItsNewestBytes()
    {
        QSignalSpy noResponse(m_link, &RadioLink::noResponse);
        openLine();
        m_radio->setSilent(true);
        const QByteArray flood(64 * 1024, 'x');
        QTimer::singleShot(20, m_radio, [&] { m_radio->sendRaw(flood); });
        QString reply;
        QCOMPARE(m_link->Query(QStringLiteral("KS;"), reply), RadioLink::QueryResult::TimedOut);
        QCOMPARE(noResponse.count(), 1);
        QVERIFY(reply.size() <= RadioLink::MaxReplyBytes);
        QVERIFY(!reply.isEmpty());
    }

    void silenceTimesOutWithOneMessage()
    {
        QSignalSpy noResponse(m_link, &RadioLink::noResponse);
        openLine();
        m_radio->setSilent(true);
        QVERIFY(m_link->SendCommand(QStringLiteral("KM1;")));
        QString reply = QStringLiteral("old");
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QString());
        QCOMPARE(m_link->ResponseTimedOut(), 1);
        QVERIFY(!m_link->Timer1().isActive());
        QCOMPARE(noResponse.count(), 1);
    }

    void partialReplyIsKeptOnTimeOut()
    {
        QSignalSpy noResponse(m_link, &RadioLink::noResponse);
        openLine();
        m_radio->sendRaw("KM1CQ");
        QString reply;
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QStringLiteral("KM1CQ"));
        QCOMPARE(m_link->ResponseTimedOut(), 1);
        QCOMPARE(noResponse.count(), 1);
        // The flag stays until the next wait starts.
        m_radio->sendRaw("};");
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QStringLiteral("};"));
        QCOMPARE(m_link->ResponseTimedOut(), 0);
    }

    void replyReadAfterTheTimerFiredIsReturnedWithoutMessage()
    {
        MessageRecorder messages;
        openLine();
        m_link->setResponseTime(5000ms);
        // The timer event and the reply's arrival fall into the same pass of
        // event processing: the next pass reads the ";" before it tests the flag.
        QTimer::singleShot(0, m_link, [this] {
            m_link->Timer1_Timer();
            m_radio->sendRaw("KS030;");
        });
        QString reply;
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QStringLiteral("KS030;"));
        QCOMPARE(m_link->ResponseTimedOut(), 1);
        QVERIFY(messages.messages().isEmpty());
        QVERIFY(!m_link->Timer1().isActive());
    }

    void storedPortSettingIsReadOnce_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("baudText");
        QTest::newRow("default") << "1,19200" << 1 << 19200 << "19200";
        QTest::newRow("slowest offered") << "3,4800" << 3 << 4800 << "4800";
        QTest::newRow("speed that is no number") << "2,abc" << 2 << 0 << "abc";
        QTest::newRow("empty speed") << "2," << 2 << 0 << "";
        QTest::newRow("negative speed") << "2,-9600" << 2 << 0 << "-9600";
        QTest::newRow("port that is no digit") << "x,9600" << 0 << 9600 << "9600";
        QTest::newRow("full-width digit is no port") << "３,9600" << 0 << 9600 << "9600";
        QTest::newRow("no port part") << ",4800" << 0 << 800 << "800";
        QTest::newRow("too short") << "1" << 1 << 0 << "";
    }

    void storedPortSettingIsReadOnce()
    {
        QFETCH(QString, stored);
        QFETCH(int, port);
        QFETCH(int, baud);
        QFETCH(QString, baudText);
        const PortSetting setting(stored);
        QCOMPARE(setting.portNumber(), port);
        QCOMPARE(setting.baudRate(), baud);
        QCOMPARE(setting.BaudText(), baudText);
        // Only a port and a speed open the line.
        const QByteArray radio = m_radio->devicePath().toLocal8Bit();
        const EnvironmentOverride port1("RIGDECK_COM1", radio), port2("RIGDECK_COM2", radio),
            port3("RIGDECK_COM3", radio);
        QCOMPARE(m_port->open({setting, deviceForPort(setting.portNumber(), QString())}), port > 0 && baud > 0);
    }

    void portNumberNamesTheDevice()
    {
        const EnvironmentOverride noPort3("RIGDECK_COM3");
#ifdef Q_OS_WIN
        QCOMPARE(deviceForPort(3, QString()), QStringLiteral("COM3"));
#else
        QCOMPARE(deviceForPort(3, QString()), QStringLiteral("/dev/ttyUSB2"));
        {
            const EnvironmentOverride port3("RIGDECK_COM3", "/dev/ttyS0");
            QCOMPARE(deviceForPort(3, QString()), QStringLiteral("/dev/ttyS0"));
        }
#endif
        // Port 0 names nothing that opens.
        QVERIFY(!m_port->open({PortSetting(QStringLiteral("0,19200")), m_radio->devicePath()}));
    }
};

QTEST_GUILESS_MAIN(RadioLinkTest)
#include "tst_radiolink.moc"
