// SPDX-License-Identifier: GPL-3.0-or-later
// Every text of every window in both languages: Japanese exactly as written,
// English with no Japanese left, and no caption clipped.
#include "app/Form3.h"
#include "app/HelpViewer.h"
#include "app/Language.h"
#include "launcher/LauncherPanel.h"
#include "radio/RadioLink.h"
#include "radio/RadioPort.h"
#include "settings/Settings.h"
#include "support/EnvironmentOverride.h"
#include "support/WindowProbe.h"
#include "voice/VoiceMemoryPanel.h"

#include <QTcpServer>
#include <QTest>
#include <QtWidgets>

namespace {
// Captions, titles, tooltips, menus, texts shown, what a screen reader says.
QStringList texts(QWidget *root)
{
    QStringList found;
    for (QWidget *w : QList<QWidget *>{root} + root->findChildren<QWidget *>()) {
        for (const char *property :
             {"windowTitle", "toolTip", "accessibleName", "accessibleDescription", "text", "title", "plainText"}) {
            found << w->property(property).toString();
        }
        // A menu's own items; the menu bar's are the menus, walked as such.
        for (QAction *action : w->actions()) {
            found << (action->parent() == w ? action->text() + action->toolTip() : QString());
        }
    }
    found.removeAll(QString());
    return found;
}

// Every window, opened after start-ups against a radio that never answers and
// a port that is not there (their message boxes read and answered), with a
// voice comment stored and a take 19 seconds under way.
struct Scene {
    QStringList boxes;
    QList<QWidget *> windows;
    QTimer answer;
    QTemporaryDir dir;
    QTcpServer silentRadio;
    RadioPort port;
    Form1 window{port};
    Scene()
    {
        QObject::connect(&answer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes << texts(box);
                box->accept();
            }
        });
        answer.start(10);
        silentRadio.listen(QHostAddress::LocalHost);
        window.setHelpFolder(QStringLiteral(RIGDECK_PROGRAM_FOLDER));
        window.setSettingsFile(dir.filePath(QStringLiteral("RIGDECK.INI")));
        WriteSetting(QStringLiteral("CQ TEST"), Key::comment(0), Section::Voice, window.settingsFile());
        window.link().setResponseTime(std::chrono::milliseconds(50));
        for (const QString &device :
             {QStringLiteral("tcp:127.0.0.1:%1").arg(silentRadio.serverPort()), QStringLiteral("no-such-port")}) {
            EnvironmentOverride line("RIGDECK_COM1", device.toUtf8());
            window.Form_Load();
        }
        window.show();
        for (const char *entry : {"MENU_RS232C", "MENU_HELP_VER", "MENU_HELP_OPE"}) {
            triggerMenu(window, entry);
        }
        window.voice().Command8_Click(0);
        for (int tick = 0; tick < 19; ++tick) {
            window.voice().Timer2_Timer();
        }
        windows = {&window, shownWindows<Form2>().value(0), shownWindows<Form3>().value(0), window.helpWindow()};
    }
};

// The message boxes, the windows, and the help window without its document.
QStringList everything(const QString &empty)
{
    Scene scene;
    for (QWidget *window : scene.windows) {
        scene.boxes << texts(window);
    }
    EnvironmentOverride path("PATH", empty.toUtf8());
    scene.window.launcher().setProgramFolder(empty);
    scene.window.launcher().Command15_Click();
    scene.window.helpWindow()->close();
    scene.window.setHelpFolder(empty);
    scene.window.MENU_HELP_OPE_Click();
    return scene.boxes << texts(scene.window.helpWindow());
}
} // namespace

class TranslationTest : public QObject
{
    Q_OBJECT

private slots:
    void eachLanguageShowsOnlyItself()
    {
        // On Linux the port dialog says which variable names the device.
        EnvironmentOverride named("RIGDECK_COM1", "/dev/null");
        const QTemporaryDir empty;
        const QStringList asWritten = everything(empty.path());
        QVERIFY(asWritten.contains(OpenFailedMessage) && asWritten.contains(NoResponseMessage)
                && asWritten.contains(CheckConnectionMessage) && asWritten.contains(CompanionMissingMessage));
        Language::install(Language::Choice::Japanese);
        QCOMPARE(everything(empty.path()), asWritten);
        Language::install(Language::Choice::English);
        const QStringList english = everything(empty.path());
        QCOMPARE(english.size(), asWritten.size());
        // Kana, kanji, full- and half-width forms, the ideographic space.
        const QRegularExpression japanese(
            QStringLiteral("[\\x{3000}-\\x{9FFF}\\x{F900}-\\x{FAFF}\\x{FF00}-\\x{FFEF}]"));
        const QStringList left = english.filter(japanese);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('\n'))));
    }

    void captionsFit()
    {
        for (const Language::Choice language : {Language::Choice::Japanese, Language::Choice::English}) {
            Language::install(language);
            Scene scene;
            for (QWidget *window : scene.windows) {
                for (QWidget *w : window->findChildren<QWidget *>()) {
                    auto *label = qobject_cast<QLabel *>(w);
                    const QString text = w->property(w->inherits("QGroupBox") ? "title" : "text").toString();
                    // A mode label is drawn without its caption's leading blanks.
                    const int advance = QFontMetrics(w->font()).horizontalAdvance(
                        qobject_cast<ClickLabel *>(w) ? text.trimmed() : text);
                    int spare = 0;
                    if (w->inherits("QGroupBox")) {
                        spare = w->width() - w->minimumSizeHint().width();
                    } else if (w->inherits("QPushButton")) {
                        spare = w->width() - w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) - advance;
                    } else if (label) {
                        spare = label->wordWrap() ? label->height() - label->heightForWidth(label->width())
                                                  : label->contentsRect().width() - advance;
                    }
                    QVERIFY2(spare >= 0, qPrintable(w->objectName() + ": " + text));
                }
            }
        }
    }
};

QTEST_MAIN(TranslationTest)
#include "tst_translation.moc"
