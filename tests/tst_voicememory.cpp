// SPDX-License-Identifier: GPL-3.0-or-later
// Voice-memory recording and playback: the state tables, the settings file
// and the bytes on the line, with the timers driven by calling their handlers.
#include "radio/RadioCapabilities.h"
#include "ui/ColorButton.h"
#include "ui/OleColor.h"
#include "settings/Settings.h"
#include "support/RadioRig.h"
#include "voice/AudioRecorderPanel.h"
#include "voice/VoiceMemoryPanel.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

QColor textColour(QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

enum class RecordState { Idle, Recording, AwaitingComment };

void checkRecordRow(VoiceMemoryPanel &voice, RecordState state, int channel = -1)
{
    for (int i = 0; i < Ft2000Capabilities.voiceChannels; ++i) {
        QCOMPARE(voice.Command8(i)->isEnabled(), state == RecordState::Idle);
        const bool red = state == RecordState::Recording && i == channel;
        QCOMPARE(voice.Command8(i)->backColor(), red ? OleColor::Red : OleColor::ButtonFace);
    }
    QCOMPARE(voice.Command10()->isEnabled(), state == RecordState::Recording);
    QCOMPARE(voice.Timer2().isActive(), state == RecordState::Recording);
    QCOMPARE(voice.Frame10()->isHidden(), state != RecordState::AwaitingComment);
    if (state != RecordState::Recording) {
        QCOMPARE(voice.Label5()->text(), QString());
    }
}

// Ticks of Timer2 (recording) and Timer3 (playback), as the timers would give them.
void recordingTicks(VoiceMemoryPanel &voice, int ticks)
{
    for (int tick = 0; tick < ticks; ++tick) {
        voice.Timer2_Timer();
    }
}

void playbackTicks(VoiceMemoryPanel &voice, int ticks)
{
    for (int tick = 0; tick < ticks; ++tick) {
        voice.Timer3_Timer();
    }
}

void checkPlayRow(VoiceMemoryPanel &voice, bool playing, int channel = -1)
{
    for (int i = 0; i < Ft2000Capabilities.voiceChannels; ++i) {
        QCOMPARE(voice.Command9(i)->isEnabled(), !playing);
        QCOMPARE(voice.Command9(i)->backColor(), playing && i == channel ? OleColor::Green : OleColor::ButtonFace);
    }
    QCOMPARE(voice.Command11()->isEnabled(), playing);
}
} // namespace

class VoiceMemoryTest : public QObject
{
    Q_OBJECT

private slots:
    void recordingChannelThreeForSevenTicks()
    {
        StartedRig rig;
        VoiceMemoryPanel &voice = rig.window().voice();
        checkRecordRow(voice, RecordState::Idle);
        QTest::mouseClick(voice.Command8(2), Qt::LeftButton);
        checkRecordRow(voice, RecordState::Recording, 2);
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList{"LM03;"});
        QCOMPARE(rig.model.voiceRecording, 3);
        for (int tick = 1; tick <= 7; ++tick) {
            voice.Timer2_Timer();
            QCOMPARE(voice.Label5()->text(), QStringLiteral(" %1　秒").arg(tick));
        }
        QCOMPARE(textColour(voice.Label5()), QColor(Qt::black));
        QTest::mouseClick(voice.Command10(), Qt::LeftButton);
        checkRecordRow(voice, RecordState::AwaitingComment);
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"LM03;", "LM00;"}));
        QCOMPARE(rig.model.voiceRecording, 0);
        QCOMPARE(voice.RecTimes(2), QStringLiteral(" 7"));
        QVERIFY(rig.readSettings().contains("[REC]\nREC_TIME2= 7\n"));
        QVERIFY(!rig.readSettings().contains("COMMENT2"));
        QTRY_VERIFY(voice.Text2()->hasFocus());

        QTest::keyClicks(voice.Text2(), QStringLiteral("CQ "));
        // Japanese arrives through the input method, not as key presses.
        voice.Text2()->insert(QStringLiteral("コンテスト 59"));
        QTest::mouseClick(voice.Command14(), Qt::LeftButton);
        checkRecordRow(voice, RecordState::Idle);
        QCOMPARE(voice.Command8(2)->toolTip(), QStringLiteral("CQ コンテスト 59"));
        QCOMPARE(voice.Command9(2)->toolTip(), QStringLiteral("CQ コンテスト 59"));
        QCOMPARE(ReadSetting(Key::comment(2), Section::Voice, rig.settingsFile()), QStringLiteral("CQ コンテスト 59"));
        QCOMPARE(rig.commandsAfterSettling().size(), 2);

        // After a restart the length and the comment are back.
        rig.start();
        QCOMPARE(rig.window().voice().RecTimes(2), QStringLiteral("7"));
        QCOMPARE(rig.window().voice().Command8(2)->toolTip(), QStringLiteral("CQ コンテスト 59"));
        QCOMPARE(rig.window().voice().Command9(2)->toolTip(), QStringLiteral("CQ コンテスト 59"));
    }

    void theTwentiethTickEndsTheTake()
    {
        StartedRig rig;
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command8_Click(4);
        for (int tick = 1; tick <= 19; ++tick) {
            voice.Timer2_Timer();
            QCOMPARE(voice.Label5()->text(), QStringLiteral(" %1　秒").arg(tick));
            QCOMPARE(textColour(voice.Label5()), tick < 15 ? QColor(Qt::black) : QColor(Qt::red));
            QVERIFY(voice.Timer2().isActive());
        }
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList{"LM05;"});
        voice.Timer2_Timer();
        QCOMPARE(voice.Label5()->text(), QString());
        checkRecordRow(voice, RecordState::AwaitingComment);
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"LM05;", "LM00;"}));
        QCOMPARE(voice.RecTimes(4), QStringLiteral(" 20"));
        QCOMPARE(ReadSetting(Key::recTime(4), Section::Rec, rig.settingsFile()), QStringLiteral("20"));
    }

    void stopBeforeTheFirstTickStoresZero()
    {
        StartedRig rig;
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command8_Click(0);
        voice.Command10_Click();
        QCOMPARE(voice.RecTimes(0), QStringLiteral(" 0"));
        QVERIFY(rig.readSettings().contains("REC_TIME0= 0"));
        // The row stays locked until the comment is confirmed, even empty.
        checkRecordRow(voice, RecordState::AwaitingComment);
        voice.Command14_Click();
        checkRecordRow(voice, RecordState::Idle);
        QCOMPARE(voice.Command8(0)->toolTip(), QString());
        QVERIFY(rig.readSettings().contains("[VOICE]\nCOMMENT0=\n"));
        // Played back, it stops on the first tick.
        voice.Command9_Click(0);
        voice.Timer3_Timer();
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"LM01;", "LM00;", "PB01;", "PB00;"}));
        checkPlayRow(voice, false);
        QVERIFY(!voice.Timer3().isActive());
    }

    void confirmingWithoutTypingReusesTheLastComment()
    {
        StartedRig rig("[VOICE]\nCOMMENT1=old\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command8_Click(3);
        voice.Command10_Click();
        voice.Text2()->setText(QStringLiteral("first"));
        voice.Command14_Click();
        voice.Command8_Click(1);
        voice.Command10_Click();
        QCOMPARE(voice.Text2()->text(), QStringLiteral("first"));
        voice.Command14_Click();
        QCOMPARE(voice.Command9(1)->toolTip(), QStringLiteral("first"));
        QCOMPARE(ReadSetting(Key::comment(1), Section::Voice, rig.settingsFile()), QStringLiteral("first"));
        QCOMPARE(ReadSetting(Key::comment(3), Section::Voice, rig.settingsFile()), QStringLiteral("first"));
    }

    void pastedLineBreaksStayOnOneLine()
    {
        StartedRig rig("[VOICE]\nCOMMENT0=keep\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command8_Click(2);
        voice.Command10_Click();
        voice.Text2()->setText(QStringLiteral("line one\r\n[COM]\nPORT=9,1200"));
        voice.Command14_Click();
        QVERIFY(!voice.Command8(2)->toolTip().contains(QLatin1Char('\n')));
        QCOMPARE(ReadSetting(Key::comment(0), Section::Voice, rig.settingsFile()), QStringLiteral("keep"));
        QCOMPARE(ReadSetting(Key::Port, Section::Com, rig.settingsFile()), SettingMissing);
        const QString stored = ReadSetting(Key::comment(2), Section::Voice, rig.settingsFile());
        QVERIFY2(stored.startsWith(QLatin1String("line one")) && stored.endsWith(QLatin1String("PORT=9,1200")),
                 qPrintable(stored));
    }

    void playbackStopsOnTheTickThatReachesTheLength()
    {
        StartedRig rig("[REC]\nREC_TIME2= 7\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        QTest::mouseClick(voice.Command9(2), Qt::LeftButton);
        checkPlayRow(voice, true, 2);
        QVERIFY(voice.Timer3().isActive());
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList{"PB03;"});
        QCOMPARE(rig.model.voicePlaying, 3);
        for (int tick = 1; tick <= 6; ++tick) {
            voice.Timer3_Timer();
            checkPlayRow(voice, true, 2);
        }
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList{"PB03;"});
        voice.Timer3_Timer();
        checkPlayRow(voice, false);
        QVERIFY(!voice.Timer3().isActive());
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"PB03;", "PB00;"}));
        QCOMPARE(rig.model.voicePlaying, 0);
    }

    void manualStopIsFollowedByTheTimedOne()
    {
        StartedRig rig("[REC]\nREC_TIME2= 7\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command9_Click(2);
        playbackTicks(voice, 2);
        QTest::mouseClick(voice.Command11(), Qt::LeftButton);
        checkPlayRow(voice, false);
        QVERIFY(voice.Timer3().isActive());
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"PB03;", "PB00;"}));
        playbackTicks(voice, 4);
        QCOMPARE(rig.commandsAfterSettling().size(), 2);
        voice.Timer3_Timer();
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"PB03;", "PB00;", "PB00;"}));
        QVERIFY(!voice.Timer3().isActive());
    }

    void aChannelStartedAfterAManualStopIsTimedFromZero()
    {
        StartedRig rig("[REC]\nREC_TIME2= 7\nREC_TIME0=3\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command9_Click(2);
        playbackTicks(voice, 5);
        voice.Command11_Click();
        QTest::qWait(100);
        const int left = voice.Timer3().remainingTime();
        voice.Command9_Click(0);
        // The running timer times it: its ticks keep their pace.
        QVERIFY2(voice.Timer3().remainingTime() <= left, qPrintable(QString::number(left)));
        QCOMPARE(voice.PlaySeconds(), 0);
        QCOMPARE(voice.PlayChannel(), 0);
        playbackTicks(voice, 2);
        checkPlayRow(voice, true, 0);
        voice.Timer3_Timer();
        checkPlayRow(voice, false);
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"PB03;", "PB00;", "PB01;", "PB00;"}));
    }

    void storedLengthsAreReadAsNumbers_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<double>("value");
        QTest::newRow("as recorded, with the sign blank") << " 7" << 7.0;
        QTest::newRow("bare number") << "12" << 12.0;
        QTest::newRow("blanks then number then text") << "   9 seconds" << 9.0;
        QTest::newRow("never recorded") << "0" << 0.0;
        QTest::newRow("not a number") << "abc" << 0.0;
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("negative") << "-5" << -5.0;
        QTest::newRow("beyond the counter is bounded") << "40000" << 32767.0;
        QTest::newRow("far beyond") << "99999999999999999999" << 32767.0;
        QTest::newRow("decimal fraction") << " 7.5" << 7.5;
        QTest::newRow("fraction without a whole part") << ".5" << 0.5;
        QTest::newRow("point without a fraction") << "7." << 7.0;
        QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
        QTest::newRow("negative fraction") << "-2.5" << -2.5;
        QTest::newRow("a lone point is no number") << "." << 0.0;
    }

    void storedLengthsAreReadAsNumbers()
    {
        QFETCH(QString, stored);
        QFETCH(double, value);
        QCOMPARE(VoiceMemoryPanel::lengthValue(stored), value);
    }

    void oddStoredLengthsStillEndPlayback_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("ticks");
        QTest::newRow("not a number stops at once") << QByteArray("x") << 1;
        QTest::newRow("negative stops at once") << QByteArray("-3") << 1;
        QTest::newRow("never recorded stops at once") << QByteArray() << 1;
        QTest::newRow("huge is bounded") << QByteArray("70000") << 32767;
        QTest::newRow("seven and a half stops when the count reaches it") << QByteArray(" 7.5") << 8;
        QTest::newRow("whole number written with a fraction") << QByteArray("7.0") << 7;
        QTest::newRow("half a second stops at once") << QByteArray("0.5") << 1;
    }

    void oddStoredLengthsStillEndPlayback()
    {
        QFETCH(QByteArray, stored);
        QFETCH(int, ticks);
        StartedRig rig(stored.isEmpty() ? QByteArray("[REC]\n") : "[REC]\nREC_TIME1=" + stored + "\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command9_Click(1);
        int tick = 0;
        while (voice.Timer3().isActive() && tick < 40000) {
            voice.Timer3_Timer();
            ++tick;
        }
        QCOMPARE(tick, ticks);
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"PB02;", "PB00;"}));
    }

    void recordingTheChannelThatPlaysMovesItsStop()
    {
        StartedRig rig("[REC]\nREC_TIME1=10\n");
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command9_Click(1);
        playbackTicks(voice, 2);
        voice.Command8_Click(1);
        recordingTicks(voice, 3);
        voice.Command10_Click();
        checkPlayRow(voice, true, 1);
        voice.Timer3_Timer();
        checkPlayRow(voice, false);
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"PB02;", "LM02;", "LM00;", "PB00;"}));
    }

    void rowsAndRecorderStayIndependent()
    {
        StartedRig rig;
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command8_Click(0);
        checkPlayRow(voice, false);
        voice.Command9_Click(3);
        checkRecordRow(voice, RecordState::Recording, 0);
        QVERIFY(rig.window().audio().Command4()->isEnabled());
        rig.window().audio().Command4_Click();
        checkRecordRow(voice, RecordState::Recording, 0);
        checkPlayRow(voice, true, 3);
        QCOMPARE(rig.commandsAfterSettling(), (QByteArrayList{"LM01;", "PB04;", "LM11;"}));
    }

    void withThePortClosedTheCounterRunsAndTheLengthIsStored()
    {
        RadioRig rig;
        rig.start("[COM]\nPORT=1,not a speed\n");
        QCOMPARE(rig.messages().messages(), QStringList{OpenFailedMessage});
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command8_Click(1);
        recordingTicks(voice, 20);
        checkRecordRow(voice, RecordState::AwaitingComment);
        QCOMPARE(ReadSetting(Key::recTime(1), Section::Rec, rig.settingsFile()), QStringLiteral("20"));
        voice.Command9_Click(1);
        checkPlayRow(voice, true, 1);
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList());
    }

    void anUnwritableSettingsFileStillLetsTheTakeFinish()
    {
        StartedRig rig("[REC]\nREC_TIME0= 3\n");
        // A folder that cannot exist, since its parent is a file: every write
        // fails, whoever runs the test.
        rig.window().setSettingsFile(rig.settingsFile() + QStringLiteral("/RIGDECK.INI"));
        VoiceMemoryPanel &voice = rig.window().voice();
        voice.Command8_Click(0);
        voice.Timer2_Timer();
        voice.Command10_Click();
        voice.Text2()->setText(QStringLiteral("lost"));
        voice.Command14_Click();
        QCOMPARE(voice.RecTimes(0), QStringLiteral(" 1"));
        QCOMPARE(voice.Command9(0)->toolTip(), QStringLiteral("lost"));
        checkRecordRow(voice, RecordState::Idle);
        QCOMPARE(rig.readSettings(), QByteArray("[REC]\nREC_TIME0= 3\n"));
        QVERIFY(rig.messages().messages().isEmpty());
        voice.Command9_Click(0);
        voice.Timer3_Timer();
        checkPlayRow(voice, false);
    }
};

QTEST_MAIN(VoiceMemoryTest)
#include "tst_voicememory.moc"
