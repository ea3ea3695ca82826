// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader finds in the windows: a name for every control that
// tells it apart from its neighbours, a description that keeps the tooltip,
// states and values that follow the radio, and a Tab order that reaches every
// control in reading order. Whether the change events reach a screen reader
// is checked over the real accessibility bus by tools/check/check-atspi.py: with no
// screen reader listening, as here, Qt sends none.
#include "radio/RadioCapabilities.h"
#include "ui/ClickLabel.h"
#include "ui/ColorButton.h"
#include "app/Form1.h"
#include "app/Form3.h"
#include "keyer/KeySpeedPanel.h"
#include "keyer/KeyerPanel.h"
#include "mode/ModePanel.h"
#include "app/Form2.h"
#include "radio/QtSerialPortDevice.h"
#include "voice/VoiceMemoryPanel.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {
QAccessibleInterface *accessible(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    Q_ASSERT(iface);
    return iface;
}

QString nameOf(QWidget *widget)
{
    return accessible(widget)->text(QAccessible::Name);
}

QString descriptionOf(QWidget *widget)
{
    return accessible(widget)->text(QAccessible::Description);
}

// The widgets the program names, but for plain containers; Qt names its own
// parts of a widget "qt_…".
QList<QWidget *> namedControls(QWidget *window)
{
    QList<QWidget *> controls;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (!w->objectName().isEmpty() && !w->objectName().startsWith(QLatin1String("qt_"))
            && w->metaObject() != &QWidget::staticMetaObject) {
            controls.append(w);
        }
    }
    return controls;
}

// A settings file of its own, so that a test never writes the operator's.
struct MainWindow {
    QtSerialPortDevice port;
    QTemporaryDir dir;
    Form1 window{port};
    MainWindow() { window.setSettingsFile(dir.filePath(QStringLiteral("rigdeck.ini"))); }
    template <typename T = QWidget>
    T *find(const QString &name)
    {
        T *widget = window.findChild<T *>(name);
        Q_ASSERT(widget);
        return widget;
    }
};
} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT

private slots:
    void everyControlHasANameAndWhatItDoes()
    {
        MainWindow m;
        Form2 dialog([&m] { return m.window.settingsFile(); });
        Form3 about;
        for (QWidget *window :
             {static_cast<QWidget *>(&m.window), static_cast<QWidget *>(&dialog), static_cast<QWidget *>(&about)}) {
            const QList<QWidget *> controls = namedControls(window);
            QVERIFY(controls.size() > 5);
            for (QWidget *control : controls) {
                const QString where = window->objectName() + QLatin1Char('/') + control->objectName();
                QVERIFY2(!nameOf(control).trimmed().isEmpty(), qPrintable(where));
                // Left alone, Qt would name a frame inside a frame after the outer one.
                if (auto *frame = qobject_cast<QGroupBox *>(control)) {
                    QCOMPARE(nameOf(frame), frame->title());
                }
                if (control->focusPolicy() & Qt::TabFocus) {
                    QVERIFY2(!descriptionOf(control).isEmpty(), qPrintable(where));
                }
            }
        }
    }

    void controlsAreToldApartByName()
    {
        // Several buttons share a caption ("CH-1", "STOP", "確定"); a screen
        // reader user can only pick the right one by its name.
        MainWindow m;
        QHash<QString, QString> owner;
        for (QWidget *control : namedControls(&m.window)) {
            if (!(control->focusPolicy() & Qt::TabFocus)) {
                continue;
            }
            const QString name = nameOf(control);
            QVERIFY2(!owner.contains(name), qPrintable(QStringLiteral("%1 and %2 are both called %3")
                                                           .arg(owner.value(name), control->objectName(), name)));
            owner.insert(name, control->objectName());
        }
        QVERIFY(owner.size() >= 30);
    }

    void names_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("role");
        QTest::newRow("text memory button names the text memory")
            << "Command1_0"
            << "テキストメモリー 1 (CH-1)" << int(QAccessible::Button);
        QTest::newRow("message memory button names the message memory")
            << "Command2_0"
            << "メッセージメモリー 1 (CH-1)" << int(QAccessible::Button);
        QTest::newRow("fifth message memory") << "Command2_4"
                                              << "メッセージメモリー 5 (CH-5)" << int(QAccessible::Button);
        QTest::newRow("text memory box") << "Text1_2"
                                         << "テキストメモリー 3 の内容" << int(QAccessible::EditableText);
        QTest::newRow("voice record button") << "Command8_0"
                                             << "ボイスメモリー 1 録音 (CH-1)" << int(QAccessible::Button);
        QTest::newRow("voice play button") << "Command9_0"
                                           << "ボイスメモリー 1 再生 (CH-1)" << int(QAccessible::Button);
        QTest::newRow("break-in keeps its caption") << "Command3"
                                                    << "BREAK_IN" << int(QAccessible::Button);
        QTest::newRow("mode label is a radio button") << "Label2_0"
                                                      << "LSB" << int(QAccessible::RadioButton);
        QTest::newRow("mode name without leading blanks") << "Label2_1"
                                                          << "USB" << int(QAccessible::RadioButton);
        QTest::newRow("full-width mode caption named in half-width") << "Label2_3"
                                                                     << "AM" << int(QAccessible::RadioButton);
        QTest::newRow("slider") << "Slider1"
                                << "キースピード" << int(QAccessible::Slider);
        QTest::newRow("speed label") << "Label6"
                                     << "キースピード" << int(QAccessible::StaticText);
        QTest::newRow("counter") << "Label5"
                                 << "録音時間" << int(QAccessible::StaticText);
        QTest::newRow("frame named by its caption") << "Frame9"
                                                    << "KEY SPEED" << int(QAccessible::Grouping);
        QTest::newRow("keyer frame") << "Frame1"
                                     << "コンテストメモリーキーヤー" << int(QAccessible::Grouping);
        QTest::newRow("STOP buttons told apart by their frame") << "Command7"
                                                                << "オーディオ再生 STOP" << int(QAccessible::Button);
        QTest::newRow("exit") << "Command12"
                              << "終了" << int(QAccessible::Button);
    }

    void names()
    {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(int, role);
        MainWindow m;
        QWidget *widget = m.find(control);
        QCOMPARE(nameOf(widget), name);
        QCOMPARE(int(accessible(widget)->role()), role);
    }

    void dialogsAreAnnouncedAsDialogs()
    {
        Form2 dialog([] { return QString(); });
        Form3 about;
        for (QWidget *window : {static_cast<QWidget *>(&dialog), static_cast<QWidget *>(&about)}) {
            QCOMPARE(accessible(window)->role(), QAccessible::Dialog);
            QCOMPARE(nameOf(window), window->windowTitle());
        }
        // Linux screen readers name a combo box by its text and the label
        // tied to it.
        for (const auto &[label, combo] :
             {std::pair(dialog.Label1(), dialog.Combo1()), std::pair(dialog.Label2(), dialog.Combo2())}) {
            const auto labels = accessible(combo)->relations(QAccessible::Label);
            QVERIFY(std::any_of(labels.begin(), labels.end(),
                                [label = label](const auto &relation) { return relation.first->object() == label; }));
            QCOMPARE(nameOf(combo->lineEdit()), label->text());
        }
    }

    void descriptionsKeepTheTooltip()
    {
        MainWindow m;
        int tips = 0;
        for (QWidget *control : namedControls(&m.window)) {
            if (control->toolTip().isEmpty()) {
                continue;
            }
            ++tips;
            QVERIFY2(descriptionOf(control).contains(control->toolTip()), qPrintable(control->objectName()));
        }
        QVERIFY(tips >= 20);
    }

    void voiceCommentIsInTheDescription()
    {
        MainWindow m;
        m.window.voice().setComment(2, QStringLiteral("JA1ZZZ 59"));
        m.window.voice().setComment(2, QStringLiteral("コンテスト CQ"));
        for (ColorButton *button : {m.window.voice().Command8(2), m.window.voice().Command9(2)}) {
            QVERIFY2(descriptionOf(button).endsWith(QStringLiteral("コメント: コンテスト CQ")),
                     qPrintable(descriptionOf(button)));
            QVERIFY(!descriptionOf(button).contains(QStringLiteral("JA1ZZZ")));
        }
        QVERIFY(!descriptionOf(m.window.voice().Command9(1)).contains(QStringLiteral("コメント")));
    }

    void keyerShortcutsAreInTheDescriptions()
    {
        // The window binds the keys; the buttons' descriptions must name the
        // key that really presses them.
        MainWindow m;
        QList<QAbstractButton *> keyerButtons;
        for (int i = 0; i < Ft2000Capabilities.keyerMemories; ++i) {
            keyerButtons << m.window.keyer().Command1(i) << m.window.keyer().Command2(i);
        }
        int bound = 0;
        for (QShortcut *shortcut : m.window.findChildren<QShortcut *>()) {
            std::vector<std::unique_ptr<QSignalSpy>> spies;
            for (QAbstractButton *button : keyerButtons) {
                spies.push_back(std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked));
            }
            emit shortcut->activated();
            for (size_t b = 0; b < spies.size(); ++b) {
                if (spies[b]->isEmpty()) {
                    continue;
                }
                ++bound;
                const QString key = shortcut->key().toString(QKeySequence::PortableText);
                QVERIFY2(descriptionOf(keyerButtons[b]).contains(QStringLiteral("ショートカットキー: %1。").arg(key)),
                         qPrintable(keyerButtons[b]->objectName() + QStringLiteral(" pressed by ") + key));
            }
        }
        QCOMPARE(bound, keyerButtons.size());
    }

    void modeChoiceIsReported_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("how");
        QTest::newRow("LSB then CW, clicked") << 0 << 4 << "click";
        QTest::newRow("FM then USB, clicked") << 2 << 1 << "click";
        QTest::newRow("AM then LSB, pressed by a screen reader") << 3 << 0 << "screen reader";
        QTest::newRow("USB then FM, reported by the radio") << 1 << 2 << "radio";
    }

    void modeChoiceIsReported()
    {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QString, how);
        MainWindow m;
        ModePanel &mode = m.window.mode();
        auto choose = [&](int index) {
            if (how == QLatin1String("screen reader")) {
                QAccessibleActionInterface *action = accessible(mode.Label2(index))->actionInterface();
                QVERIFY(action);
                action->doAction(QAccessibleActionInterface::pressAction());
            } else if (how == QLatin1String("radio")) {
                mode.highlight(index);
            } else {
                mode.Label2_Click(index);
            }
        };
        choose(first);
        choose(second);
        for (int i = 0; i < int(Ft2000Capabilities.modes.size()); ++i) {
            const QAccessible::State state = accessible(mode.Label2(i))->state();
            QVERIFY(state.checkable);
            QCOMPARE(bool(state.checked), i == second);
        }
    }

    void counterAnnouncesTheSeconds()
    {
        MainWindow m;
        VoiceMemoryPanel &voice = m.window.voice();
        voice.Command8_Click(1);
        for (int second = 1; second <= 3; ++second) {
            voice.Timer2_Timer();
            QCOMPARE(descriptionOf(voice.Label5()), QStringLiteral("%1　秒").arg(second));
        }
        QCOMPARE(nameOf(voice.Label5()), QStringLiteral("録音時間"));
        voice.Command10_Click();
        QCOMPARE(descriptionOf(voice.Label5()), QString());
    }

    void speedLabelAnnouncesTheSpeed_data()
    {
        QTest::addColumn<bool>("fromRadio");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("slider moved by a key") << false << "31WPM";
        QTest::newRow("radio's speed at start-up") << true << "012WPM";
    }

    void speedLabelAnnouncesTheSpeed()
    {
        QFETCH(bool, fromRadio);
        QFETCH(QString, spoken);
        MainWindow m;
        KeySpeedPanel &speed = m.window.keySpeed();
        if (fromRadio) {
            speed.showSpeed(QStringLiteral("012WPM"), 12);
        } else {
            QTest::keyClick(speed.Slider1(), Qt::Key_Right);
        }
        QCOMPARE(descriptionOf(speed.Label6()), spoken);
        QCOMPARE(nameOf(speed.Label6()), QStringLiteral("キースピード"));
    }

    void breakInStateFollowsEveryChange_data()
    {
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("reported");
        QTest::addColumn<QString>("state");
        QTest::newRow("off before anything happens") << 0 << ""
                                                     << "オフ";
        QTest::newRow("first click turns it on") << 1 << ""
                                                 << "オン";
        QTest::newRow("second click turns it off") << 2 << ""
                                                   << "オフ";
        QTest::newRow("radio reports it on at start-up") << 0 << "on"
                                                         << "オン";
        QTest::newRow("radio reports it off after a click") << 1 << "off"
                                                            << "オフ";
    }

    void breakInStateFollowsEveryChange()
    {
        QFETCH(int, clicks);
        QFETCH(QString, reported);
        QFETCH(QString, state);
        MainWindow m;
        KeySpeedPanel &speed = m.window.keySpeed();
        for (int i = 0; i < clicks; ++i) {
            speed.Command3()->click();
        }
        if (!reported.isEmpty()) {
            speed.showBreakIn(reported == QLatin1String("on"));
        }
        const QString description = descriptionOf(speed.Command3());
        QVERIFY2(description.contains(QStringLiteral("現在: %1。").arg(state)), qPrintable(description));
        QCOMPARE(speed.BreakInOn(), state == QStringLiteral("オン") ? 1 : 0);
    }

    void tabReachesEveryControlInReadingOrder()
    {
        MainWindow m;
        m.window.show();
        m.window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m.window));
        QStringList expected;
        for (int i = 0; i < Ft2000Capabilities.keyerMemories; ++i) {
            expected << QStringLiteral("Text1_%1").arg(i) << QStringLiteral("Command1_%1").arg(i)
                     << QStringLiteral("Command2_%1").arg(i);
        }
        expected << "Command15"
                 << "Command3";
        for (int i = 0; i < int(Ft2000Capabilities.modes.size()); ++i) {
            expected << QStringLiteral("Label2_%1").arg(i);
        }
        expected << "Slider1"
                 << "Command13";
        for (int i = 0; i < Ft2000Capabilities.voiceChannels; ++i) {
            expected << QStringLiteral("Command8_%1").arg(i);
        }
        for (int i = 0; i < Ft2000Capabilities.voiceChannels; ++i) {
            expected << QStringLiteral("Command9_%1").arg(i);
        }
        // The stop buttons wait disabled, and Tab passes them by.
        expected << "Command4"
                 << "Command6"
                 << "Command12"
                 << "Text1_0";

        m.window.keyer().Text1(0)->setFocus();
        QStringList reached{QApplication::focusWidget()->objectName()};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            reached << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(reached, expected);
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
