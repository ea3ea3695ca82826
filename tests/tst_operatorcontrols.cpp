// SPDX-License-Identifier: GPL-3.0-or-later
// The keyer, key speed, break-in, mode and received-audio controls, clicked
// in the real window, with the bytes checked where the radio receives them.
#include "radio/RadioCapabilities.h"
#include "ui/ClickLabel.h"
#include "ui/ColorButton.h"
#include "ui/OleColor.h"
#include "keyer/KeySpeedPanel.h"
#include "keyer/KeyerPanel.h"
#include "mode/ModePanel.h"
#include "radio/Ft2000Cat.h"
#include "radio/RadioLink.h"
#include "support/RadioRig.h"
#include "support/WindowProbe.h"
#include "voice/AudioRecorderPanel.h"
#include "voice/VoiceMemoryPanel.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

using namespace std::chrono_literals;

class OperatorControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void keyerButtonsPlayTheirMemory_data()
    {
        QTest::addColumn<bool>("textMemory");
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("message 1") << false << 0 << QByteArray("KY1;");
        QTest::newRow("message 3") << false << 2 << QByteArray("KY3;");
        QTest::newRow("message 5") << false << 4 << QByteArray("KY5;");
        QTest::newRow("text 1") << true << 0 << QByteArray("KY6;");
        QTest::newRow("text 4") << true << 3 << QByteArray("KY9;");
        QTest::newRow("text 5 is the letter A") << true << 4 << QByteArray("KYA;");
    }

    void keyerButtonsPlayTheirMemory()
    {
        QFETCH(bool, textMemory);
        QFETCH(int, index);
        QFETCH(QByteArray, command);
        StartedRig rig;
        KeyerPanel &keyer = rig.window().keyer();
        // What the operator typed into the box is not what the radio plays.
        keyer.Text1(index)->setText(QStringLiteral("typed here"));
        QPushButton *button = textMemory ? keyer.Command1(index) : keyer.Command2(index);
        QTest::mouseClick(button, Qt::LeftButton);
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{command, command}));
        QCOMPARE(rig.model.keyerPlaying, command.at(2));
        QCOMPARE(rig.radio().received(), command + command);
    }

    void everyKeyerButtonIsDistinct()
    {
        StartedRig rig;
        for (int i = 0; i < Ft2000Capabilities.keyerMemories; ++i) {
            rig.window().keyer().Command2_Click(i);
        }
        for (int i = 0; i < Ft2000Capabilities.keyerMemories; ++i) {
            rig.window().keyer().Command1_Click(i);
        }
        QTRY_COMPARE(rig.radio().commands(),
                     (QByteArrayList{"KY1;", "KY2;", "KY3;", "KY4;", "KY5;", "KY6;", "KY7;", "KY8;", "KY9;", "KYA;"}));
        QCOMPARE(rig.radio().received().size(), 40);
    }

    void speedIsSentOnlyWhenConfirmed_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("lowest") << 4 << " 4WPM" << QByteArray("KS004;");
        QTest::newRow("two digits") << 26 << " 26WPM" << QByteArray("KS026;");
        QTest::newRow("highest") << 60 << " 60WPM" << QByteArray("KS060;");
    }

    void speedIsSentOnlyWhenConfirmed()
    {
        QFETCH(int, value);
        QFETCH(QString, label);
        QFETCH(QByteArray, command);
        StartedRig rig;
        KeySpeedPanel &speed = rig.window().keySpeed();
        QCOMPARE(speed.Label6()->text(), QStringLiteral("025WPM"));
        speed.Slider1()->setValue(value);
        QCOMPARE(speed.Label6()->text(), label);
        QTest::mouseClick(speed.Command13(), Qt::LeftButton);
        // The line keeps the order: had moving the slider sent anything, it
        // would be there before the confirmed speed.
        QTRY_COMPARE(rig.radio().commands(), QByteArrayList{command});
        QCOMPARE(rig.model.keySpeed, value);
    }

    void confirmingTheSpeedGivesTheRadioTimeToTakeIt()
    {
        // The click returns no sooner than 30 ms after KS went out; a busy
        // machine only makes the wait longer.
        StartedRig rig;
        KeySpeedPanel &speed = rig.window().keySpeed();
        QElapsedTimer clock;
        std::chrono::nanoseconds sentAt{-1};
        const auto sent = connect(&rig.window().link(), &RadioLink::commandSent, this, [&](const QByteArray &command) {
            if (command.startsWith("KS")) {
                sentAt = std::chrono::nanoseconds(clock.nsecsElapsed());
            }
        });
        clock.start();
        speed.Command13_Click();
        const std::chrono::nanoseconds returnedAt(clock.nsecsElapsed());
        disconnect(sent);
        QVERIFY(sentAt.count() >= 0);
        QVERIFY2(returnedAt - sentAt >= 30ms,
                 qPrintable(QStringLiteral("returned %1 us after KS").arg((returnedAt - sentAt).count() / 1000)));
        QTRY_COMPARE(rig.radio().commands(), QByteArrayList{"KS025;"});
    }

    void sliderReachesEveryWholeValueByKeyboard()
    {
        StartedRig rig;
        QSlider *slider = rig.window().keySpeed().Slider1();
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home);
        QCOMPARE(slider->value(), 4);
        QTest::keyClick(slider, Qt::Key_Left);
        QCOMPARE(slider->value(), 4);
        for (int expected = 5; expected <= 60; ++expected) {
            QTest::keyClick(slider, Qt::Key_Right);
            QCOMPARE(slider->value(), expected);
        }
        QTest::keyClick(slider, Qt::Key_Right);
        QCOMPARE(slider->value(), 60);
        QCOMPARE(rig.window().keySpeed().Label6()->text(), QStringLiteral(" 60WPM"));
        QTest::keyClick(slider, Qt::Key_End);
        QTest::keyClick(slider, Qt::Key_PageDown);
        QVERIFY(slider->value() < 60);
        // Nothing went out before the confirmed speed.
        rig.window().keySpeed().Command13_Click();
        QTRY_COMPARE(rig.radio().commands(), QByteArrayList{Ft2000Cat::keySpeedSet(slider->value()).toLatin1()});
    }

    void breakInToggles()
    {
        StartedRig rig;
        KeySpeedPanel &speed = rig.window().keySpeed();
        QCOMPARE(speed.BreakInOn(), 0);
        QTest::mouseClick(speed.Command3(), Qt::LeftButton);
        QTest::mouseClick(speed.Command3(), Qt::LeftButton);
        QTest::mouseClick(speed.Command3(), Qt::LeftButton);
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"BI1;", "BI0;", "BI1;"}));
        QCOMPARE(speed.BreakInOn(), 1);
        QCOMPARE(speed.Command3()->backColor(), OleColor::Green);
        QCOMPARE(speed.Command3()->text(), QStringLiteral("BREAK_IN"));
        QCOMPARE(rig.model.breakIn, true);
        QTest::mouseClick(speed.Command3(), Qt::LeftButton);
        QCOMPARE(speed.Command3()->backColor(), OleColor::ButtonFace);
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"BI1;", "BI0;", "BI1;", "BI0;"}));
        QCOMPARE(rig.model.breakIn, false);
    }

    void modeLabelsSendTheRadiosCode_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QByteArray>("command");
        QTest::newRow("LSB") << 0 << QByteArray("MD01;");
        QTest::newRow("USB") << 1 << QByteArray("MD02;");
        QTest::newRow("FM sends 4") << 2 << QByteArray("MD04;");
        QTest::newRow("AM sends 5") << 3 << QByteArray("MD05;");
        QTest::newRow("CW sends 3") << 4 << QByteArray("MD03;");
    }

    void modeLabelsSendTheRadiosCode()
    {
        QFETCH(int, index);
        QFETCH(QByteArray, command);
        StartedRig rig;
        ClickLabel *label = rig.window().mode().Label2(index);
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(label, Qt::LeftButton);
        QTRY_COMPARE(rig.radio().commands(), QByteArrayList{command});
        QCOMPARE(rig.model.mode, command.at(3));
        QList<quint32> expected(int(Ft2000Capabilities.modes.size()), OleColor::White);
        expected[index] = OleColor::Red;
        QCOMPARE(modeColours(rig.window()), expected);
        // The selected label again: sent again, colours unchanged.
        QTest::mouseClick(label, Qt::LeftButton);
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{command, command}));
        QCOMPARE(modeColours(rig.window()), expected);
    }

    void modeLabelsWorkFromTheKeyboard()
    {
        StartedRig rig;
        ClickLabel *usb = rig.window().mode().Label2(1);
        usb->setFocus();
        QVERIFY(usb->hasFocus());
        QTest::keyClick(usb, Qt::Key_Space);
        ClickLabel *lsb = rig.window().mode().Label2(0);
        lsb->setFocus();
        QTest::keyClick(lsb, Qt::Key_Return);
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"MD02;", "MD01;"}));
        QCOMPARE(modeColours(rig.window()),
                 (QList<quint32>{OleColor::Red, OleColor::White, OleColor::White, OleColor::White, OleColor::White}));
    }

    void aPressReleasedOutsideTheLabelIsNoClick()
    {
        StartedRig rig;
        ClickLabel *fm = rig.window().mode().Label2(2);
        QTest::mousePress(fm, Qt::LeftButton);
        QTest::mouseRelease(fm, Qt::LeftButton, {}, QPoint(-20, -20));
        // A real click after it is the first thing the radio hears.
        QTest::mouseClick(fm, Qt::LeftButton);
        QTRY_COMPARE(rig.radio().commands(), QByteArrayList{"MD04;"});
    }

    void audioRecorderPairsAreIndependent()
    {
        StartedRig rig;
        AudioRecorderPanel &audio = rig.window().audio();
        QTest::mouseClick(audio.Command4(), Qt::LeftButton);
        QTest::mouseClick(audio.Command4(), Qt::LeftButton);
        QTest::mouseClick(audio.Command6(), Qt::LeftButton);
        QCOMPARE(audio.Command4()->backColor(), OleColor::Red);
        QCOMPARE(audio.Command6()->backColor(), OleColor::Green);
        QVERIFY(audio.Command4()->isEnabled());
        QVERIFY(audio.Command5()->isEnabled());
        QVERIFY(audio.Command7()->isEnabled());
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"LM11;", "LM11;", "PB11;"}));
        QVERIFY(rig.model.audioRecording);
        QVERIFY(rig.model.audioPlaying);
        // A voice channel can play meanwhile; the pairs are untouched by it.
        QTest::mouseClick(rig.window().voice().Command9(0), Qt::LeftButton);
        QTest::mouseClick(audio.Command5(), Qt::LeftButton);
        QCOMPARE(audio.Command4()->backColor(), OleColor::ButtonFace);
        QVERIFY(!audio.Command5()->isEnabled());
        QCOMPARE(audio.Command6()->backColor(), OleColor::Green);
        QVERIFY(audio.Command7()->isEnabled());
        QTest::mouseClick(audio.Command7(), Qt::LeftButton);
        QCOMPARE(audio.Command6()->backColor(), OleColor::ButtonFace);
        QVERIFY(!audio.Command7()->isEnabled());
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"LM11;", "LM11;", "PB11;", "PB01;", "LM10;", "PB10;"}));
        QVERIFY(!rig.model.audioRecording);
        QVERIFY(!rig.model.audioPlaying);
        QCOMPARE(rig.window().voice().Command9(0)->backColor(), OleColor::Green);
    }

    void withThePortClosedTheWindowStillFollows()
    {
        RadioRig rig;
        rig.start("[COM]\nPORT=0,19200\n");
        QCOMPARE(rig.messages().messages(), QStringList{OpenFailedMessage});
        Form1 &w = rig.window();
        w.keyer().Command1_Click(4);
        w.keySpeed().Slider1()->setValue(12);
        w.keySpeed().Command13_Click();
        w.keySpeed().Command3_Click();
        w.mode().Label2_Click(4);
        w.audio().Command4_Click();
        w.audio().Command6_Click();
        QCOMPARE(w.keySpeed().Label6()->text(), QStringLiteral(" 12WPM"));
        QCOMPARE(w.keySpeed().BreakInOn(), 1);
        QCOMPARE(w.keySpeed().Command3()->backColor(), OleColor::Green);
        QCOMPARE(w.mode().Label2(4)->backColor(), OleColor::Red);
        QCOMPARE(w.audio().Command4()->backColor(), OleColor::Red);
        QVERIFY(w.audio().Command7()->isEnabled());
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList());
        QCOMPARE(rig.messages().messages().size(), 1);
    }

    void designValuesAreSentWhenStartUpEndedEarly()
    {
        RadioRig rig;
        rig.radio().setSilent(true);
        rig.start();
        rig.radio().setSilent(false);
        rig.radio().clear();
        rig.window().keySpeed().Command13_Click();
        rig.window().keySpeed().Command3_Click();
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"KS030;", "BI1;"}));
        QCOMPARE(rig.window().keySpeed().Label6()->text(), QString());
    }

    void functionKeysPlayTheKeyerMemories()
    {
        StartedRig rig;
        Form1 &w = rig.window();
        // Wherever the focus is in the window.
        w.keySpeed().Slider1()->setFocus();
        QTest::keyClick(&w, Qt::Key_F3);
        w.keyer().Text1(1)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F1, Qt::ShiftModifier);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"KY3;", "KYA;", "KY6;", "KY5;"}));
        // Not while the port dialog locks the keyer.
        w.setRadioControlsEnabled(false);
        QTest::keyClick(&w, Qt::Key_F2);
        QTest::keyClick(&w, Qt::Key_F2, Qt::ShiftModifier);
        w.setRadioControlsEnabled(true);
        QTest::keyClick(&w, Qt::Key_F4);
        // A held key plays once: the keyboard's repeats are no new presses.
        QTest::simulateEvent(&w, true, Qt::Key_F1, Qt::NoModifier, QString(), false);
        for (int i = 0; i < 5; ++i) {
            QTest::simulateEvent(&w, true, Qt::Key_F1, Qt::NoModifier, QString(), true);
            QTest::simulateEvent(&w, true, Qt::Key_F1, Qt::ShiftModifier, QString(), true);
        }
        QTest::simulateEvent(&w, false, Qt::Key_F1, Qt::NoModifier, QString(), false);
        QTest::keyClick(&w, Qt::Key_F2);
        QTRY_COMPARE(rig.radio().commands(), (QByteArrayList{"KY3;", "KYA;", "KY6;", "KY5;", "KY4;", "KY1;", "KY2;"}));
    }

    void tabReachesEveryControlOfTheMiddleBand()
    {
        StartedRig rig;
        Form1 &w = rig.window();
        QList<QWidget *> wanted = {w.keySpeed().Command3(), w.keySpeed().Command13(), w.keySpeed().Slider1()};
        for (int i = 0; i < int(Ft2000Capabilities.modes.size()); ++i) {
            wanted << w.mode().Label2(i);
        }
        w.keyer().Text1(0)->setFocus();
        QSet<QWidget *> reached;
        for (int step = 0; step < 80 && reached.size() < wanted.size(); ++step) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            if (wanted.contains(QApplication::focusWidget())) {
                reached.insert(QApplication::focusWidget());
            }
        }
        QCOMPARE(reached.size(), wanted.size());
    }
};

QTEST_MAIN(OperatorControlsTest)
#include "tst_operatorcontrols.moc"
