// SPDX-License-Identifier: GPL-3.0-or-later
// Ending the program: every road closes the port and every window of ours,
// and nothing is stored or sent on the way out.
#include "app/Form3.h"
#include "app/HelpViewer.h"
#include "app/Form2.h"
#include "settings/Settings.h"
#include "radio/RadioLink.h"
#include "support/RadioRig.h"
#include "support/Rows.h"
#include "support/WindowProbe.h"
#include "voice/VoiceMemoryPanel.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QByteArray StoredSettings = "[COM]\nPORT=1,19200\n[VOICE]\nCOMMENT2=QRZ\n";

enum class Road { Button, Menu, CloseBox };

void leave(Form1 &w, Road road)
{
    switch (road) {
    case Road::Button:
        QTest::mouseClick(w.Command12(), Qt::LeftButton);
        break;
    case Road::Menu:
        triggerMenu(w, "MENU_END");
        break;
    case Road::CloseBox:
        w.close();
        break;
    }
}

// Our windows still on the screen, by object name.
QStringList windowsShown()
{
    QStringList names;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible()) {
            names << window->objectName();
        }
    }
    names.sort();
    return names;
}
} // namespace

Q_DECLARE_METATYPE(Road)

class ExitTest : public QObject
{
    Q_OBJECT

private slots:

    void everyRoadClosesThePortAndSendsNothing_data()
    {
        QTest::addColumn<Road>("road");
        QTest::newRow("終了 button") << Road::Button;
        QTest::newRow("終了 in the settings menu") << Road::Menu;
        QTest::newRow("close box") << Road::CloseBox;
    }

    void everyRoadClosesThePortAndSendsNothing()
    {
        QFETCH(Road, road);
        RadioRig rig;
        Form1 &w = rig.startShown(StoredSettings);
        QVERIFY(rig.port().portOpen());
        QSignalSpy ended(&w, &Form1::unloaded);

        leave(w, road);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!rig.port().portOpen());
        QVERIFY(!w.isVisible());
        QCOMPARE(rig.commandsAfterSettling(), StartupQueries);
        QCOMPARE(rig.readSettings(), StoredSettings);
        QVERIFY(rig.messages().messages().isEmpty());

        // A second road taken late does not unload again.
        w.Form_Unload();
        QCOMPARE(ended.count(), 1);
    }

    void exitWithTheDialogOpenStoresNothing()
    {
        RadioRig rig;
        Form1 &w = rig.startShown(StoredSettings);
        Form2 *dialog = openPortDialog(w);
        QVERIFY(dialog);
        QPointer<Form2> open(dialog);
        dialog->Combo1()->lineEdit()->selectAll();
        QTest::keyClicks(dialog->Combo1()->lineEdit(), QStringLiteral("COM5"));
        QCOMPARE(dialog->SettingsChanged(), 1);

        QTest::mouseClick(w.Command12(), Qt::LeftButton);
        QVERIFY(!open || !open->isVisible());
        QTRY_VERIFY(open.isNull());
        QCOMPARE(rig.readSettings(), StoredSettings);
        QCOMPARE(w.portSetting().text(), QStringLiteral("1,19200"));
        QVERIFY(!rig.port().portOpen());
        QCOMPARE(rig.commandsAfterSettling(), StartupQueries);
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void exitClosesEveryWindowOfOurs()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        w.setHelpFolder(QStringLiteral(RIGDECK_PROGRAM_FOLDER));
        triggerMenu(w, "MENU_RS232C");
        triggerMenu(w, "MENU_HELP_VER");
        triggerMenu(w, "MENU_HELP_OPE");
        QCOMPARE(windowsShown(), (QStringList{"Form1", "Form2", "Form3", "HelpViewer"}));
        QVERIFY(w.helpWindow());

        QTest::mouseClick(w.Command12(), Qt::LeftButton);
        QCOMPARE(windowsShown(), QStringList());
        QVERIFY(!w.helpWindow());
        QVERIFY(!rig.port().portOpen());
        QCOMPARE(rig.readSettings(), QByteArray());
        QCOMPARE(rig.commandsAfterSettling(), StartupQueries);
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void exitWhileRecordingAndPlayingStopsEveryTimer()
    {
        RadioRig rig;
        Form1 &w = rig.startShown(StoredSettings);
        w.voice().Command8_Click(2);
        w.voice().Command9_Click(0);
        QByteArrayList recording = StartupQueries;
        recording << "LM03;"
                  << "PB01;";
        QTRY_COMPARE(rig.radio().commands(), recording);
        QVERIFY(w.voice().Timer2().isActive());
        QVERIFY(w.voice().Timer3().isActive());

        QTest::mouseClick(w.Command12(), Qt::LeftButton);
        // Nothing runs after exit: no tick would end the take or the playback
        // and store or send anything.
        QVERIFY(!w.link().Timer1().isActive());
        QVERIFY(!w.voice().Timer2().isActive());
        QVERIFY(!w.voice().Timer3().isActive());
        QVERIFY(!rig.port().portOpen());
        QCOMPARE(rig.commandsAfterSettling(), recording);
        QCOMPARE(ReadSetting(Key::recTime(2), Section::Rec, rig.settingsFile()), SettingMissing);
        QCOMPARE(rig.readSettings(), StoredSettings);
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void exitWhenThePortNeverOpened_data() { addUnusablePortRows(); }

    void exitWhenThePortNeverOpened()
    {
        QFETCH(QByteArray, settings);
        RadioRig rig;
        Form1 &w = rig.startShown(settings);
        QCOMPARE(rig.messages().messages(), QStringList{OpenFailedMessage});
        QVERIFY(!rig.port().portOpen());
        rig.messages().clear();
        QSignalSpy ended(&w, &Form1::unloaded);

        QTest::mouseClick(w.Command12(), Qt::LeftButton);
        QCOMPARE(ended.count(), 1);
        QVERIFY(!rig.port().portOpen());
        QVERIFY(rig.messages().messages().isEmpty());
        QCOMPARE(rig.commandsAfterSettling(), QByteArrayList());
        QCOMPARE(rig.readSettings(), settings);
    }
};

QTEST_MAIN(ExitTest)
#include "tst_exit.moc"
