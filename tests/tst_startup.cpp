// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up against the simulated radio on a pseudo-terminal: what is asked,
// in which order, and what the window shows of each answer.
#include "radio/RadioCapabilities.h"
#include "ui/ClickLabel.h"
#include "ui/ColorButton.h"
#include "ui/OleColor.h"
#include "keyer/KeySpeedPanel.h"
#include "keyer/KeyerPanel.h"
#include "mode/ModePanel.h"
#include "radio/TraceLog.h"
#include "radio/RadioLink.h"
#include "support/RadioReplies.h"
#include "support/RadioRig.h"
#include "support/Rows.h"
#include "support/WindowProbe.h"
#include "voice/VoiceMemoryPanel.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

namespace {
QList<quint32> highlighted(int index)
{
    QList<quint32> colours;
    for (int i = 0; i < int(Ft2000Capabilities.modes.size()); ++i) {
        colours << (i == index ? OleColor::Red : OleColor::White);
    }
    return colours;
}

const QList<quint32> DesignColours(int(Ft2000Capabilities.modes.size()), OleColor::WindowBackground);

// The real port, noting for each query how long after its write the program
// first looked for an answer.
class QueryTimingPort : public RadioPort
{
public:
    QList<std::chrono::nanoseconds> pauses;

    bool outputQuery(const QByteArray &data) override
    {
        const bool written = RadioPort::outputQuery(data);
        m_clock.start();
        return written;
    }
    bool input(QByteArray &data) override
    {
        if (m_clock.isValid()) {
            pauses << std::chrono::nanoseconds(m_clock.nsecsElapsed());
            m_clock.invalidate();
        }
        return RadioPort::input(data);
    }

private:
    QElapsedTimer m_clock;
};
} // namespace

using namespace std::chrono_literals;

class StartupTest : public QObject
{
    Q_OBJECT

private slots:
    void asksEverythingInOrderAndShowsTheAnswers()
    {
        RadioRig rig;
        rig.model.textMemory[0] = "CQ TEST DE JA1ZZZ";
        rig.model.textMemory[2] = QByteArray();
        rig.model.breakIn = true;
        rig.model.mode = '3';
        rig.model.keySpeed = 25;
        rig.start();
        Form1 &w = rig.window();

        QCOMPARE(rig.commandsAfterSettling(), StartupQueries);
        QVERIFY(rig.messages().messages().isEmpty());
        QCOMPARE(w.keyer().Text1(0)->text(), QStringLiteral("CQ TEST DE JA1ZZZ}"));
        QCOMPARE(w.keyer().Text1(2)->text(), QString());
        QCOMPARE(w.keySpeed().BreakInOn(), 1);
        QCOMPARE(w.keySpeed().Command3()->backColor(), OleColor::Green);
        QCOMPARE(modeColours(w), highlighted(4));
        QCOMPARE(w.keySpeed().Label6()->text(), QStringLiteral("025WPM"));
        QCOMPARE(w.keySpeed().Slider1()->value(), 25);
        QVERIFY(rig.port().portOpen());
    }

    void eachQueryWaitsForThePreviousReply()
    {
        RadioRig rig;
        // The radio answers late; a program that did not wait would send the
        // next query before the previous answer went out.
        rig.radio().setSilent(true);
        QList<int> repliesBeforeEachCommand;
        int repliesSent = 0;
        QObject::connect(&rig.radio(), &PtyRadio::commandReceived, &rig.radio(), [&](const QByteArray &command) {
            repliesBeforeEachCommand << repliesSent;
            const QByteArray reply = rig.model.receive(command);
            QTimer::singleShot(40, &rig.radio(), [&, reply] {
                rig.radio().sendRaw(reply);
                ++repliesSent;
            });
        });
        rig.start();
        QCOMPARE(rig.commandsAfterSettling(), StartupQueries);
        QCOMPARE(repliesBeforeEachCommand, (QList<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        QVERIFY(rig.messages().messages().isEmpty());
        QCOMPARE(rig.window().keySpeed().Label6()->text(), QStringLiteral("025WPM"));
    }

    void eachQueryGivesTheRadioTimeBeforeItsReplyIsRead()
    {
        // After each query the radio gets 8 ms to prepare its answer before
        // the program looks for it, however fast the radio is; a busy machine
        // only makes the pause longer.
        RadioRig rig;
        QueryTimingPort port;
        Form1 window(port);
        window.setSettingsFile(rig.settingsFile());
        window.Form_Load();
        QVERIFY(rig.messages().messages().isEmpty());
        QCOMPARE(port.pauses.size(), StartupQueries.size());
        for (qsizetype i = 0; i < port.pauses.size(); ++i) {
            QVERIFY2(port.pauses[i] >= 8ms, qPrintable(QStringLiteral("%1 read after %2 us")
                                                           .arg(QString::fromLatin1(StartupQueries[i]))
                                                           .arg(port.pauses[i].count() / 1000)));
        }
    }

    void keyerMemoryReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        QTest::newRow("memory text keeps its end mark") << QByteArray("KM2CQ TEST};") << "CQ TEST}";
        QTest::newRow("empty memory") << QByteArray("KM2};") << "";
        QTest::newRow("refused") << QByteArray("?;") << "";
        QTest::newRow("another command's message is skipped") << QByteArray("BI0;KM2A};") << "A}";
        QTest::newRow("answer ends at its semicolon") << QByteArray("KM2A};KM2A};") << "A}";
    }

    void keyerMemoryReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        RadioRig rig;
        rig.startAnswering("KM2;", reply);
        QCOMPARE(rig.commandsAfterSettling(), StartupQueries);
        QCOMPARE(rig.window().keyer().Text1(1)->text(), shown);
        QCOMPARE(rig.window().keyer().Text1(4)->text(), QStringLiteral("ABC}"));
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void tooShortKeyerReplyIsAnOpenFailure()
    {
        RadioRig rig;
        rig.startAnswering("KM3;", "K;");
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"KM1;", "KM2;", "KM3;"}));
        QCOMPARE(rig.messages().messages(), QStringList{OpenFailedMessage});
        QCOMPARE(rig.window().keyer().Text1(0)->text(), QStringLiteral("CQ TEST}"));
        QCOMPARE(rig.window().keySpeed().Slider1()->value(), 30);
        QVERIFY(rig.window().isEnabled());
    }

    void breakInReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("on");
        QTest::newRow("off") << QByteArray("BI0;") << 0;
        QTest::newRow("on") << QByteArray("BI1;") << 1;
        QTest::newRow("refusal counts as on") << QByteArray("?;") << 1;
    }

    void breakInReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, on);
        RadioRig rig;
        rig.startAnswering("BI;", reply);
        QCOMPARE(rig.window().keySpeed().BreakInOn(), on);
        QCOMPARE(rig.window().keySpeed().Command3()->backColor(), on ? OleColor::Green : OleColor::ButtonFace);
    }

    void modeReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("label");
        QTest::addColumn<bool>("lsbSent");
        QTest::newRow("LSB") << QByteArray("MD01;") << 0 << false;
        QTest::newRow("USB") << QByteArray("MD02;") << 1 << false;
        QTest::newRow("FM is the third label") << QByteArray("MD04;") << 2 << false;
        QTest::newRow("AM is the fourth label") << QByteArray("MD05;") << 3 << false;
        QTest::newRow("CW is the last label") << QByteArray("MD03;") << 4 << false;
        QTest::newRow("mode not offered switches to LSB") << QByteArray("MD06;") << 0 << true;
        QTest::newRow("refusal changes no label") << QByteArray("?;") << -1 << false;
        QTest::newRow("third character not 0") << QByteArray("MD13;") << -1 << false;
        QTest::newRow("dial report before the answer changes nothing") << QByteArray("FA07030000;MD03;") << 4 << false;
        QTest::newRow("answer split around a report") << QByteArray("FA0703|0000;MD|03;") << 4 << false;
    }

    void modeReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(int, label);
        QFETCH(bool, lsbSent);
        RadioRig rig;
        rig.startAnswering("MD0;", reply);
        QByteArrayList expected = StartupQueries;
        if (lsbSent) {
            expected.insert(7, "MD01;");
        }
        QCOMPARE(rig.commandsAfterSettling(), expected);
        QCOMPARE(modeColours(rig.window()), label < 0 ? DesignColours : highlighted(label));
        if (lsbSent) {
            QCOMPARE(rig.model.mode, '1');
        }
    }

    void keySpeedReplies_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<int>("slider");
        QTest::newRow("slowest") << QByteArray("KS004;") << "004WPM" << 4;
        QTest::newRow("fastest") << QByteArray("KS060;") << "060WPM" << 60;
        QTest::newRow("typical") << QByteArray("KS025;") << "025WPM" << 25;
        QTest::newRow("no digits leaves the lower bound") << QByteArray("?;") << "WPM" << 4;
        QTest::newRow("beyond the range stops at the top") << QByteArray("KS099;") << "099WPM" << 60;
        QTest::newRow("markup in the answer shown as it is") << QByteArray("KS<b>;") << "<b>WPM" << 4;
    }

    void keySpeedReplies()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, caption);
        QFETCH(int, slider);
        RadioRig rig;
        rig.startAnswering("KS;", reply);
        const QLabel *label6 = rig.window().keySpeed().Label6();
        QCOMPARE(label6->text(), caption);
        // Shown character for character, not taken for markup.
        QVERIFY(label6->textFormat() == Qt::PlainText
                || (label6->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label6->text())));
        QCOMPARE(rig.window().keySpeed().Slider1()->value(), slider);
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void silentRadioStopsAfterTheFirstQuery()
    {
        RadioRig rig;
        rig.radio().setSilent(true);
        rig.start();
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList{"KM1;"});
        QCOMPARE(rig.messages().messages(), (QStringList{NoResponseMessage, CheckConnectionMessage}));
        Form1 &w = rig.window();
        QVERIFY(rig.port().portOpen());
        QCOMPARE(modeColours(w), DesignColours);
        QCOMPARE(w.keySpeed().Label6()->text(), QString());
        QCOMPARE(w.keySpeed().Slider1()->value(), 30);
        QCOMPARE(w.keySpeed().BreakInOn(), 0);
        for (int i = 0; i < Ft2000Capabilities.keyerMemories; ++i) {
            QVERIFY(w.keyer().Text1(i)->text().isEmpty());
        }
    }

    void radioFallingSilentMidwayKeepsWhatWasRead()
    {
        RadioRig rig;
        auto replies = normalReplies();
        replies.remove("MD0;");
        rig.script(replies);
        rig.start();
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"KM1;", "KM2;", "KM3;", "KM4;", "KM5;", "BI;", "MD0;"}));
        QCOMPARE(rig.messages().messages(), (QStringList{NoResponseMessage, CheckConnectionMessage}));
        QCOMPARE(rig.window().keyer().Text1(4)->text(), QStringLiteral("ABC}"));
        QCOMPARE(modeColours(rig.window()), DesignColours);
        QCOMPARE(rig.window().keySpeed().Slider1()->value(), 30);
    }

    void storedPortAndSpeed_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("port");
        QTest::addColumn<int>("baud");
        QTest::addColumn<QString>("baudText");
        QTest::newRow("no settings file") << QByteArray() << 1 << 19200 << "19200";
        QTest::newRow("port 3 at 4800") << QByteArray("[COM]\nPORT=3,4800\n") << 3 << 4800 << "4800";
        QTest::newRow("port 9 at 38400, CRLF") << QByteArray("[com]\r\nport = 9,38400\r\n") << 9 << 38400 << "38400";
    }

    void storedPortAndSpeed()
    {
        QFETCH(QByteArray, settings);
        QFETCH(int, port);
        QFETCH(int, baud);
        QFETCH(QString, baudText);
        RadioRig rig(port);
        if (!settings.isEmpty()) {
            rig.writeSettings(settings);
        }
        rig.start();
        QCOMPARE(rig.port().settings().portNumber(), port);
        QCOMPARE(rig.port().settings().baudRate(), baud);
        QCOMPARE(rig.window().portSetting().BaudText(), baudText);
        QVERIFY(rig.port().portOpen());
        QCOMPARE(rig.commandsAfterSettling(), StartupQueries);
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void unusableStoredPortIsReportedNotFatal_data() { addUnusablePortRows(); }

    void unusableStoredPortIsReportedNotFatal()
    {
        QFETCH(QByteArray, settings);
        RadioRig rig;
        rig.start(settings + "[REC]\nREC_TIME1= 7\n[VOICE]\nCOMMENT1=CQ\n");
        QCOMPARE(rig.messages().messages(), QStringList{OpenFailedMessage});
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList());
        QVERIFY(!rig.port().portOpen());
        // Settings read before the port still took effect.
        QCOMPARE(rig.window().voice().RecTimes(1), QStringLiteral("7"));
        QCOMPARE(rig.window().voice().Command9(1)->toolTip(), QStringLiteral("CQ"));
        // The window works: clicks update it and send nothing.
        rig.window().keySpeed().Command3_Click();
        QCOMPARE(rig.window().keySpeed().Command3()->backColor(), OleColor::Green);
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList());
    }

    void storedLengthsAndCommentsAreLoaded()
    {
        RadioRig rig;
        rig.start("[REC]\nREC_TIME3= 7\n[VOICE]\nCOMMENT0=CQ コンテスト\nCOMMENT4=\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        const QStringList expectedLengths = {"0", "0", "0", "7", "0"};
        for (int i = 0; i < Ft2000Capabilities.voiceChannels; ++i) {
            QCOMPARE(voice.RecTimes(i), expectedLengths[i]);
        }
        QCOMPARE(voice.Command8(0)->toolTip(), QStringLiteral("CQ コンテスト"));
        QCOMPARE(voice.Command9(0)->toolTip(), QStringLiteral("CQ コンテスト"));
        for (int i = 1; i < Ft2000Capabilities.voiceChannels; ++i) {
            QCOMPARE(voice.Command8(i)->toolTip(), QString());
            QCOMPARE(voice.Command9(i)->toolTip(), QString());
        }
    }

    void traceRecordsTheExchange()
    {
        RadioRig rig;
        const QString tracePath = rig.settingsFile() + QStringLiteral(".trace");
        {
            QFile old(tracePath);
            QVERIFY(old.open(QIODevice::WriteOnly));
            old.write("earlier run\n");
        }
        rig.start();
        TraceLog trace(rig.window().link(), tracePath);
        QVERIFY(trace.isOpen());
        rig.window().keyer().Command2_Click(0);
        rig.radio().sendRaw("KS;");
        QString reply;
        rig.window().link().ReadResponse(reply);
        QFile file(tracePath);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QByteArray("earlier run"));
        QVERIFY2(lines[1].endsWith(" -> KY1;"), lines[1].constData());
        QVERIFY2(lines[2].endsWith(" <- KS;"), lines[2].constData());
        QVERIFY(QDateTime::fromString(QString::fromLatin1(lines[1].left(lines[1].indexOf(' '))), Qt::ISODateWithMs)
                    .isValid());
        // A NUL on the line is shown too, not taken as the end of the text.
        QCOMPARE(TraceLog::printable(QByteArray("KM1CQ\x01\\};\n\0", 11)), QByteArray("KM1CQ\\x01\\x5c};\\x0a\\x00"));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_startup.moc"
