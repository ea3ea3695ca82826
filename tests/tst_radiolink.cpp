// The command exchange over a real serial port to the simulated radio on a
// pseudo-terminal.
#include "radio/QtSerialPortDevice.h"
#include "radio/RadioLink.h"
#include "sim/Ft2000Model.h"
#include "sim/PtyRadio.h"
#include "support/MessageRecorder.h"

#include <QSignalSpy>
#include <QTest>
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

    void openLine(const char *baud = "19200")
    {
        qputenv("RIGDECK_COM1", m_radio->devicePath().toLocal8Bit());
        m_port->setCommPort(1);
        QVERIFY(m_port->setSettings(QStringLiteral("%1,n,8,1").arg(QLatin1String(baud))));
        QVERIFY(m_port->open());
    }

private slots:
    void init()
    {
        m_model = new Ft2000Model;
        m_radio = new PtyRadio(*m_model);
        QVERIFY(m_radio->open());
        m_port = new QtSerialPortDevice;
        m_link = new RadioLink(*m_port);
        // The full five seconds are the program's; tests need not wait them.
        m_link->setResponseTime(300ms);
    }

    void cleanup()
    {
        delete m_link;
        delete m_port;
        delete m_radio;
        delete m_model;
        qunsetenv("RIGDECK_COM1");
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

    void staleAndDoubleRepliesComeBackAsTheyAre()
    {
        MessageRecorder messages;
        openLine();
        // A reply left on the line from earlier traffic is taken as the answer.
        m_radio->sendRaw("BI0;");
        QTRY_VERIFY(m_port->portOpen());
        QTest::qWait(20);
        QVERIFY(m_link->SendCommand(QStringLiteral("KS;")));
        QString reply;
        QVERIFY(m_link->ReadResponse(reply));
        QVERIFY2(reply.startsWith(QLatin1String("BI0;")), qPrintable(reply));
        // Two replies waiting together come back together.
        QTest::qWait(20);
        QString rest;
        QVERIFY(m_link->ReadResponse(rest));
        const QString both = reply + rest;
        QCOMPARE(both, QStringLiteral("BI0;KS025;"));
        QVERIFY(messages.messages().isEmpty());
    }

    void twoRepliesWaitingTogetherAreOneText()
    {
        openLine();
        m_radio->sendRaw("BI1;MD03;");
        QTest::qWait(20);
        QString reply;
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QStringLiteral("BI1;MD03;"));
    }

    void silenceTimesOutWithOneMessage()
    {
        MessageRecorder messages;
        openLine();
        m_radio->setSilent(true);
        QVERIFY(m_link->SendCommand(QStringLiteral("KM1;")));
        QString reply = QStringLiteral("old");
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QString());
        QCOMPARE(m_link->ResponseTimedOut(), 1);
        QVERIFY(!m_link->Timer1().isActive());
        QCOMPARE(messages.messages(), QStringList{NoResponseMessage});
    }

    void partialReplyIsKeptOnTimeOut()
    {
        MessageRecorder messages;
        openLine();
        m_radio->sendRaw("KM1CQ");
        QString reply;
        QVERIFY(m_link->ReadResponse(reply));
        QCOMPARE(reply, QStringLiteral("KM1CQ"));
        QCOMPARE(m_link->ResponseTimedOut(), 1);
        QCOMPARE(messages.messages().size(), 1);
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

    void lineSettingsMustBeUnderstood_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<bool>("taken");
        QTest::newRow("default") << "19200,n,8,1" << true;
        QTest::newRow("slowest offered") << "4800,n,8,1" << true;
        QTest::newRow("speed that is no number") << "abc,n,8,1" << false;
        QTest::newRow("empty speed") << ",n,8,1" << false;
        QTest::newRow("negative speed") << "-9600,n,8,1" << false;
    }

    void lineSettingsMustBeUnderstood()
    {
        QFETCH(QString, settings);
        QFETCH(bool, taken);
        QCOMPARE(m_port->setSettings(settings), taken);
        qputenv("RIGDECK_COM1", m_radio->devicePath().toLocal8Bit());
        m_port->setCommPort(1);
        QCOMPARE(m_port->open(), taken);
    }

    void portNumberNamesTheDevice()
    {
        qunsetenv("RIGDECK_COM3");
#ifdef Q_OS_WIN
        QCOMPARE(serialDeviceName(3), QStringLiteral("COM3"));
#else
        QCOMPARE(serialDeviceName(3), QStringLiteral("/dev/ttyUSB2"));
        qputenv("RIGDECK_COM3", "/dev/ttyS0");
        QCOMPARE(serialDeviceName(3), QStringLiteral("/dev/ttyS0"));
        qunsetenv("RIGDECK_COM3");
#endif
        // Port 0 names nothing that opens.
        m_port->setCommPort(0);
        QVERIFY(m_port->setSettings(QStringLiteral("19200,n,8,1")));
        QVERIFY(!m_port->open());
    }
};

QTEST_GUILESS_MAIN(RadioLinkTest)
#include "tst_radiolink.moc"
