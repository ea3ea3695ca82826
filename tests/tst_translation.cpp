// SPDX-License-Identifier: GPL-3.0-or-later
// Every text of every window in both languages: Japanese exactly as the
// program is written, English with no Japanese left, and nothing clipped.
#include "app/Form3.h"
#include "app/HelpViewer.h"
#include "app/Language.h"
#include "launcher/LauncherPanel.h"
#include "radio/RadioLink.h"
#include "radio/RadioPort.h"
#include "radio/SimulatedSerialPort.h"
#include "settings/Settings.h"
#include "support/EnvironmentOverride.h"
#include "support/WindowProbe.h"
#include "voice/VoiceMemoryPanel.h"

#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionGroupBox>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

namespace {
// Every window of the program, opened as the operator opens them, with a
// voice comment stored and a take 19 seconds under way.
struct Scene {
    QTemporaryDir dir;
    SimulatedSerialPort port;
    Form1 window{port};
    Scene()
    {
        HelpViewer::setDocumentFolder(QStringLiteral(RIGDECK_PROGRAM_FOLDER));
        window.setSettingsFile(dir.filePath(QStringLiteral("RIGDECK.INI")));
        WriteSetting(QStringLiteral("CQ TEST"), Key::comment(0), Section::Voice, window.settingsFile());
        window.Form_Load();
        window.show();
        for (const char *entry : {"MENU_RS232C", "MENU_HELP_VER", "MENU_HELP_OPE"}) {
            window.findChild<QAction *>(QLatin1String(entry))->trigger();
        }
        window.voice().Command8_Click(0);
        for (int tick = 0; tick < 19; ++tick) {
            window.voice().Timer2_Timer();
        }
    }
    QList<QWidget *> windows()
    {
        return {&window, shownWindows<Form2>().value(0), shownWindows<Form3>().value(0), HelpViewer::openWindow()};
    }
};

// Captions, titles, tooltips, menus and what a screen reader says.
QStringList texts(QWidget *root)
{
    QStringList found;
    QList<QWidget *> widgets = root->findChildren<QWidget *>();
    widgets.prepend(root);
    for (QWidget *w : widgets) {
        found << w->windowTitle() << w->toolTip() << w->accessibleName() << w->accessibleDescription();
        if (QAccessibleInterface *spoken = QAccessible::queryAccessibleInterface(w)) {
            found << spoken->text(QAccessible::Name) << spoken->text(QAccessible::Description);
        }
        if (auto *label = qobject_cast<QLabel *>(w)) {
            found << label->text();
        } else if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            found << button->text();
        } else if (auto *frame = qobject_cast<QGroupBox *>(w)) {
            found << frame->title();
        } else if (auto *browser = qobject_cast<QTextBrowser *>(w)) {
            found << browser->toPlainText();
        } else if (auto *menu = qobject_cast<QMenu *>(w)) {
            found << menu->title();
        }
        // A menu's own items; the menu bar's are the menus, walked as such.
        for (QAction *action : w->actions()) {
            if (action->parent() == w) {
                found << action->text() << action->toolTip();
            }
        }
    }
    found.removeAll(QString());
    return found;
}

// The windows, then the message boxes start-up and the launcher raise, and
// the help window without its document.
QStringList everything(const QString &empty)
{
    QStringList found;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&found] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            found << texts(box);
            box->accept();
        }
    });
    answer.start(10);
    QTcpServer silentRadio;
    silentRadio.listen(QHostAddress::LocalHost);
    for (const QString &device :
         {empty + QStringLiteral("/none"), QStringLiteral("tcp:127.0.0.1:%1").arg(silentRadio.serverPort())}) {
        EnvironmentOverride line("RIGDECK_COM1", device.toUtf8());
        RadioPort port;
        Form1 window(port);
        window.setSettingsFile(empty + QStringLiteral("/RIGDECK.INI"));
        window.link().setResponseTime(std::chrono::milliseconds(50));
        window.Form_Load();
    }
    Scene scene;
    for (QWidget *window : scene.windows()) {
        found << texts(window);
    }
    EnvironmentOverride path("PATH", empty.toUtf8());
    scene.window.launcher().setProgramFolder(empty);
    scene.window.launcher().Command15_Click();
    HelpViewer::setDocumentFolder(empty);
    scene.window.MENU_HELP_OPE_Click();
    found << texts(HelpViewer::openWindow());
    return found;
}

const QRegularExpression Japanese(QStringLiteral("[\\x{3000}-\\x{30FF}\\x{3400}-\\x{9FFF}\\x{F900}-\\x{FAFF}\\x{FF00}-"
                                                 "\\x{FFEF}]"));
} // namespace

class TranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { Language::install(Language::Choice::Japanese); }

    void eachLanguageShowsOnlyItself()
    {
        // On Linux the port dialog says which variable names the device.
        EnvironmentOverride named("RIGDECK_COM1", "/dev/null");
        const QTemporaryDir empty;
        const QStringList asWritten = everything(empty.path());
        for (const QString &message : {OpenFailedMessage, NoResponseMessage, CheckConnectionMessage,
                                       CompanionMissingMessage, HelpWindowTitle, DisclaimerText}) {
            QVERIFY2(asWritten.contains(message), qPrintable(message));
        }
        Language::install(Language::Choice::Japanese);
        QCOMPARE(everything(empty.path()), asWritten);
        Language::install(Language::Choice::English);
        const QStringList english = everything(empty.path());
        QCOMPARE(english.size(), asWritten.size());
        for (const QString &text : english) {
            QVERIFY2(!Japanese.match(text).hasMatch(), qPrintable(text));
        }
    }

    void captionsFit_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("Japanese") << "ja";
        QTest::newRow("English") << "en";
    }

    void captionsFit()
    {
        QFETCH(QString, language);
        Language::install(*Language::fromName(language));
        Scene scene;
        for (QWidget *window : scene.windows()) {
            for (QWidget *w : window->findChildren<QWidget *>()) {
                const QFontMetrics metrics(w->font());
                const auto *label = qobject_cast<QLabel *>(w);
                const auto *button = qobject_cast<QPushButton *>(w);
                auto *frame = qobject_cast<QGroupBox *>(w);
                // A mode label shows its caption without the leading blanks.
                QString text = qobject_cast<ClickLabel *>(w) ? label->text().trimmed()
                               : label                       ? label->text()
                               : button                      ? button->text()
                                                             : QString();
                int room = label ? label->contentsRect().width()
                                 : w->width() - w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
                if (frame) {
                    QStyleOptionGroupBox option;
                    option.initFrom(frame);
                    option.text = text = frame->title();
                    option.subControls = QStyle::SC_GroupBoxLabel;
                    const QRect title =
                        w->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, w);
                    room = frame->width() - title.left();
                } else if (label && label->wordWrap()) {
                    QVERIFY2(label->heightForWidth(label->width()) <= label->height(), qPrintable(text));
                    continue;
                }
                QVERIFY2(metrics.horizontalAdvance(text) <= room, qPrintable(QStringLiteral("%1 \"%2\": %3 > %4")
                                                                                 .arg(w->objectName(), text)
                                                                                 .arg(metrics.horizontalAdvance(text))
                                                                                 .arg(room)));
            }
        }
    }
};

QTEST_MAIN(TranslationTest)
#include "tst_translation.moc"
