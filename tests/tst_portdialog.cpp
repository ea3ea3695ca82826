// SPDX-License-Identifier: GPL-3.0-or-later
// The communication settings dialog: it shows the port and speed in use,
// stores a changed choice for the next start without touching the open port,
// locks the radio controls while it is open and exists at most once.
#include "keyer/KeyerPanel.h"
#include "keyer/KeySpeedPanel.h"
#include "app/Form2.h"
#include "radio/Line.h"
#include "settings/Settings.h"
#include "support/EnvironmentOverride.h"
#include "support/Rows.h"
#include "support/WindowProbe.h"
#include "support/RadioRig.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolTip>

namespace {
// Written as a person might: a stored value would come back as "PORT=...".
const QByteArray StoredSettings = "[COM]\nport = 1,19200\n[REC]\nREC_TIME0= 4\n";

// Frame1, Frame2, Frame3 and the settings menu, in that order.
QList<bool> radioControlsEnabled(Form1 &w)
{
    return {w.keyer().Frame1()->isEnabled(), w.Frame2()->isEnabled(), w.Frame3()->isEnabled(),
            w.MENU_SETUP()->isEnabled()};
}

const QList<bool> Unlocked = {true, true, true, true};
const QList<bool> Locked = {false, false, false, false};

// As the operator does it: the list drops down and an entry is chosen.
void pick(QComboBox *combo, const QString &item)
{
    const int index = combo->findText(item);
    QVERIFY2(index >= 0, qPrintable(item));
    combo->showPopup();
    QAbstractItemView *list = combo->view();
    QTRY_VERIFY(list->isVisible());
    list->setCurrentIndex(combo->model()->index(index, 0));
    QTest::keyClick(list, Qt::Key_Return);
    QTRY_VERIFY(!list->isVisible());
}

// As the operator does it: everything in the box replaced by typed keys.
void type(QComboBox *combo, const QString &text)
{
    combo->lineEdit()->selectAll();
    QTest::keyClick(combo->lineEdit(), Qt::Key_Delete);
    QTest::keyClicks(combo->lineEdit(), text);
}

// Picks a list entry where there is one, types the text otherwise.
void choose(QComboBox *combo, const QString &text, bool fromList)
{
    if (fromList) {
        pick(combo, text);
    } else {
        type(combo, text);
    }
}

void closeDialog(Form2 *dialog, bool withButton)
{
    QPointer<Form2> gone(dialog);
    if (withButton) {
        QTest::mouseClick(dialog->Command1(), Qt::LeftButton);
    } else {
        dialog->close();
    }
    QTRY_VERIFY(gone.isNull());
}
} // namespace

class PortDialogTest : public QObject
{
    Q_OBJECT

private slots:

    void looksAsDrawn()
    {
        RadioRig rig;
        rig.start();
        Form2 *dialog = openPortDialog(rig.window());
        QVERIFY(dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("通信設定"));
        QVERIFY(!dialog->parentWidget());
        QVERIFY(!dialog->isModal());
        QCOMPARE(dialog->size(), QSize(4680 / 15, 3090 / 15));
        QCOMPARE(dialog->Frame1()->title(), QStringLiteral("RS232Cポートの設定"));
        QCOMPARE(dialog->Label1()->text(), QStringLiteral("ポート"));
        QCOMPARE(dialog->Label2()->text(), QStringLiteral("ボーレート"));
        QCOMPARE(dialog->Command1()->text(), QStringLiteral("終了"));
        const QStringList ports = {"COM1", "COM2", "COM3", "COM4", "COM5", "COM6", "COM7", "COM8", "COM9"};
        const QStringList speeds = {"4800", "9600", "19200", "38400"};
        QStringList shownPorts, shownSpeeds;
        for (int i = 0; i < dialog->Combo1()->count(); ++i) {
            shownPorts << dialog->Combo1()->itemText(i);
        }
        for (int i = 0; i < dialog->Combo2()->count(); ++i) {
            shownSpeeds << dialog->Combo2()->itemText(i);
        }
        QCOMPARE(shownPorts, ports);
        QCOMPARE(shownSpeeds, speeds);
        QVERIFY(dialog->Combo1()->isEditable());
        QVERIFY(dialog->Combo2()->isEditable());
        // Japanese captions need more room than the drawn boxes allowed for;
        // none may be cut off or run into its combo.
        for (QLabel *label : {dialog->Label1(), dialog->Label2()}) {
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                     qPrintable(label->text()));
            QVERIFY(label->geometry().right() < dialog->Combo1()->geometry().left());
        }
        QVERIFY(dialog->Command1()->fontMetrics().horizontalAdvance(dialog->Command1()->text())
                < dialog->Command1()->width());
        closeDialog(dialog, true);
    }

    void showsThePortAndSpeedInUse_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("speed");
        QTest::newRow("nothing stored shows the default") << QByteArray() << "COM1"
                                                          << "19200";
        QTest::newRow("port 3 at 4800") << QByteArray("[COM]\nPORT=3,4800\n") << "COM3"
                                        << "4800";
        QTest::newRow("unusable speed shown as stored") << QByteArray("[COM]\nPORT=2,abc\n") << "COM2"
                                                        << "abc";
    }

    void showsThePortAndSpeedInUse()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, port);
        QFETCH(QString, speed);
        RadioRig rig;
        if (!settings.isEmpty()) {
            rig.writeSettings(settings);
        }
        rig.start();
        Form2 *dialog = openPortDialog(rig.window());
        QVERIFY(dialog);
        QCOMPARE(dialog->Combo1()->currentText(), port);
        QCOMPARE(dialog->Combo2()->currentText(), speed);
        QCOMPARE(dialog->SettingsChanged(), 0);
    }

    void closingWithoutAChangeStoresNothing_data() { addFlagRows("withButton", "終了 button", true, "close box"); }

    void closingWithoutAChangeStoresNothing()
    {
        QFETCH(bool, withButton);
        RadioRig rig;
        Form1 &w = rig.startShown(StoredSettings);
        QCOMPARE(radioControlsEnabled(w), Unlocked);

        Form2 *dialog = openPortDialog(w);
        QVERIFY(dialog);
        QCOMPARE(radioControlsEnabled(w), Locked);
        QVERIFY(w.MENU_HELP()->isEnabled());
        QVERIFY(w.Command12()->isEnabled());

        closeDialog(dialog, withButton);
        QCOMPARE(radioControlsEnabled(w), Unlocked);
        QCOMPARE(rig.readSettings(), StoredSettings);
        QCOMPARE(w.portSetting().text(), QStringLiteral("1,19200"));
        QVERIFY(rig.messages().messages().isEmpty());
        // The dialog sent nothing: the next command after start-up's queries
        // is the one clicked now.
        w.keyer().Command2_Click(0);
        QTRY_COMPARE(rig.radio().commands(), StartupQueries + QByteArrayList{"KY1;"});
    }

    void changedChoiceIsStoredForTheNextStart_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<bool>("portFromList");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<bool>("speedFromList");
        QTest::addColumn<QString>("stored");
        QTest::newRow("picked from the lists") << "COM3" << true << "9600" << true << "3,9600";
        QTest::newRow("typed") << "COM3" << false << "9600" << false << "3,9600";
        QTest::newRow("two-digit port keeps its first digit") << "COM12" << false << "38400" << true << "1,38400";
        QTest::newRow("speed that is no number kept as typed") << "COM2" << true << "abc" << false << "2,abc";
        QTest::newRow("port text too short gives no port") << "3" << false << "4800" << true << ",4800";
        QTest::newRow("same values picked again are stored") << "COM1" << true << "19200" << true << "1,19200";
    }

    void changedChoiceIsStoredForTheNextStart()
    {
        QFETCH(QString, port);
        QFETCH(bool, portFromList);
        QFETCH(QString, speed);
        QFETCH(bool, speedFromList);
        QFETCH(QString, stored);
        RadioRig rig;
        Form1 &w = rig.startShown(StoredSettings);
        Form2 *dialog = openPortDialog(w);
        QVERIFY(dialog);

        choose(dialog->Combo1(), port, portFromList);
        QCOMPARE(dialog->SettingsChanged(), 1);
        choose(dialog->Combo2(), speed, speedFromList);
        QCOMPARE(dialog->Combo1()->currentText(), port);
        QCOMPARE(dialog->Combo2()->currentText(), speed);
        closeDialog(dialog, true);

        QCOMPARE(ReadSetting(Key::Port, Section::Com, rig.settingsFile()), stored);
        // Written even when the values are the ones in use; nothing else touched.
        QCOMPARE(rig.readSettings(), "[COM]\nPORT=" + stored.toUtf8() + "\n[REC]\nREC_TIME0= 4\n");
        QCOMPARE(w.portSetting().text(), stored);
        QCOMPARE(w.portSetting().BaudText(), stored.mid(2));
        QCOMPARE(radioControlsEnabled(w), Unlocked);
        // The port in use stays as it was opened.
        QVERIFY(rig.port().portOpen());
        QCOMPARE(rig.port().settings().portNumber(), 1);
        QCOMPARE(rig.port().settings().baudRate(), 19200);
        w.keyer().Command2_Click(0);
        QTRY_COMPARE(rig.radio().commands(), StartupQueries + QByteArrayList{"KY1;"});
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void storedChoiceIsShownWhenReopened()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        QPointer<Form2> first = openPortDialog(w);
        QVERIFY(first);
        pick(first->Combo1(), QStringLiteral("COM3"));
        pick(first->Combo2(), QStringLiteral("9600"));
        closeDialog(first, true);

        Form2 *second = openPortDialog(w);
        QVERIFY(second);
        QVERIFY(first.isNull());
        QCOMPARE(second->Combo1()->currentText(), QStringLiteral("COM3"));
        QCOMPARE(second->Combo2()->currentText(), QStringLiteral("9600"));
        QCOMPARE(second->SettingsChanged(), 0);
        closeDialog(second, false);
        QCOMPARE(ReadSetting(Key::Port, Section::Com, rig.settingsFile()), QStringLiteral("3,9600"));
    }

    void opensOnlyOnce()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        Form2 *dialog = openPortDialog(w);
        QVERIFY(dialog);
        type(dialog->Combo1(), QStringLiteral("COM5"));

        // The menu is locked while the dialog is open; the handler may still
        // be reached, and must bring the same dialog forward as it stands.
        QVERIFY(!w.MENU_SETUP()->isEnabled());
        w.MENU_RS232C_Click();
        w.MENU_RS232C_Click();
        QCOMPARE(shownWindows<Form2>(), QList<Form2 *>{dialog});
        QCOMPARE(dialog->Combo1()->currentText(), QStringLiteral("COM5"));
        QCOMPARE(dialog->SettingsChanged(), 1);
        QCOMPARE(radioControlsEnabled(w), Locked);

        closeDialog(dialog, true);
        QCOMPARE(radioControlsEnabled(w), Unlocked);
        QCOMPARE(ReadSetting(Key::Port, Section::Com, rig.settingsFile()), QStringLiteral("5,19200"));
    }

    void storedChoiceTakesEffectAtTheNextStart_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<int>("openedPort");
        QTest::addColumn<int>("openedSpeed");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("usable choice opens the chosen port") << "COM3"
                                                             << "9600" << 3 << 9600 << QStringList();
        QTest::newRow("unusable choice reports the open failure") << "COM12"
                                                                  << "abc" << 1 << 0 << QStringList{OpenFailedMessage};
    }

    void storedChoiceTakesEffectAtTheNextStart()
    {
        QFETCH(QString, port);
        QFETCH(QString, speed);
        QFETCH(int, openedPort);
        QFETCH(int, openedSpeed);
        QFETCH(QStringList, messages);
        RadioRig rig;
        {
            // Port 3 leads to the same simulated radio.
            const EnvironmentOverride port3("RIGDECK_COM3", rig.radio().devicePath().toLocal8Bit());
            rig.start();
            Form2 *dialog = openPortDialog(rig.window());
            QVERIFY(dialog);
            type(dialog->Combo1(), port);
            type(dialog->Combo2(), speed);
            closeDialog(dialog, true);
            QVERIFY(rig.messages().messages().isEmpty());

            rig.start();
        }
        Form1 &w = rig.window();
        w.show();
        QCOMPARE(rig.messages().messages(), messages);
        QCOMPARE(rig.port().settings().portNumber(), openedPort);
        QCOMPARE(rig.port().settings().baudRate(), openedSpeed);
        QCOMPARE(rig.port().portOpen(), messages.isEmpty());

        // The window goes on working, and the dialog shows what was stored.
        const int breakIn = w.keySpeed().BreakInOn();
        w.keySpeed().Command3_Click();
        QCOMPARE(w.keySpeed().BreakInOn(), 1 - breakIn);
        Form2 *again = openPortDialog(w);
        QVERIFY(again);
        QCOMPARE(again->Combo1()->currentText(), QStringLiteral("COM") + port.at(3));
        QCOMPARE(again->Combo2()->currentText(), speed);
        closeDialog(again, true);
        QCOMPARE(radioControlsEnabled(w), Unlocked);
    }

#ifndef Q_OS_WIN
    // Beyond Windows the dialog also names the device behind the chosen
    // port; what is picked or typed is stored in section DEVICE on closing.
    void deviceOfTheChosenPortIsShownAndStored_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("stored");
        const QByteArray portOnly = "[COM]\nPORT=2,19200\n";
        QTest::newRow("default device, rigctld typed")
            << portOnly << "COM2" << defaultDeviceName(2) << "rigctld:127.0.0.1:4532"
            << QByteArray("[COM]\nPORT=2,19200\n[DEVICE]\nCOM2=rigctld:127.0.0.1:4532\n");
        QTest::newRow("stored device shown, flrig typed")
            << QByteArray("[COM]\nPORT=2,19200\n[DEVICE]\nCOM2=/dev/ttyS0\n") << "COM2"
            << "/dev/ttyS0"
            << "flrig:shack" << QByteArray("[COM]\nPORT=2,19200\n[DEVICE]\nCOM2=flrig:shack\n");
        QTest::newRow("another port chosen shows its own device")
            << QByteArray("[COM]\nPORT=2,19200\n[DEVICE]\nCOM3=tcp:pi:4001\n") << "COM3"
            << "tcp:pi:4001" << QString() << QByteArray("[COM]\nPORT=3,19200\n[DEVICE]\nCOM3=tcp:pi:4001\n");
        QTest::newRow("port without a number names no device")
            << portOnly << "COM" << QString() << QString() << QByteArray("[COM]\nPORT=,19200\n");
        const QString tooLong = QStringLiteral("/dev/") + QString(SettingMaxBytes, QLatin1Char('x'));
        QTest::newRow("a name too long to store whole stops at what can be")
            << portOnly << "COM2" << defaultDeviceName(2) << tooLong
            << QByteArray("[COM]\nPORT=2,19200\n[DEVICE]\nCOM2=" + tooLong.left(SettingMaxBytes).toLatin1() + "\n");
    }

    void deviceOfTheChosenPortIsShownAndStored()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QString, port);
        QFETCH(QString, shown);
        QFETCH(QString, typed);
        QFETCH(QByteArray, stored);
        RadioRig rig;
        rig.start(settings);
        Form2 *dialog = openPortDialog(rig.window());
        QVERIFY(dialog && dialog->Combo3());
        type(dialog->Combo1(), port);
        QCOMPARE(dialog->Combo3()->currentText(), shown);
        QCOMPARE(dialog->Combo3()->isEnabled(), !shown.isEmpty());
        if (!typed.isEmpty()) {
            type(dialog->Combo3(), typed);
        }
        // A key more is refused, and why is said where the operator types.
        QCOMPARE(QToolTip::isVisible(), typed.size() > SettingMaxBytes);
        typed.truncate(SettingMaxBytes);
        closeDialog(dialog, true);
        QCOMPARE(rig.readSettings(), stored);
        QCOMPARE(deviceForPort(port.mid(3).toInt(), rig.settingsFile()),
                 typed.isEmpty() ? (shown.isEmpty() ? QString() : shown) : typed);
    }

    void aChoiceThatCannotBeStoredIsShownInTheWindow()
    {
        RadioRig rig;
        rig.start();
        // Where a folder should be, a file: nothing can be stored.
        rig.writeSettings("");
        rig.window().setSettingsFile(rig.settingsFile() + QStringLiteral("/RIGDECK.INI"));
        Form2 *dialog = openPortDialog(rig.window());
        QVERIFY(dialog);
        type(dialog->Combo1(), QStringLiteral("COM3"));
        closeDialog(dialog, true);
        QVERIFY2(rig.window().Notice()->text().contains(Key::Port), qPrintable(rig.window().Notice()->text()));
    }

    void deviceNamedByTheEnvironmentCannotBeChangedHere()
    {
        RadioRig rig; // names port 1 in RIGDECK_COM1
        rig.start();
        Form2 *dialog = openPortDialog(rig.window());
        QVERIFY(dialog && dialog->Combo3());
        QCOMPARE(dialog->Combo3()->currentText(), rig.radio().devicePath());
        QVERIFY(!dialog->Combo3()->isEnabled());
        closeDialog(dialog, false);
        QVERIFY(!rig.readSettings().contains("[DEVICE]"));
    }
#endif
};

QTEST_MAIN(PortDialogTest)
#include "tst_portdialog.moc"
