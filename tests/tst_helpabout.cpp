// SPDX-License-Identifier: GPL-3.0-or-later
// The version window and the help: one of each, reachable while the settings
// dialog is open, and a help document that covers the window and matches the
// program's own messages.
#include "app/Form3.h"
#include "app/HelpViewer.h"
#include "launcher/LauncherPanel.h"
#include "app/Form2.h"
#include "radio/RadioLink.h"
#include "support/WindowProbe.h"
#include "support/RadioRig.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>

namespace {
const QString DocumentTitle = QStringLiteral("RIGDECK 操作手順");

Form3 *openAbout(Form1 &w)
{
    return openFromMenu<Form3>(w, "MENU_HELP_VER");
}

// The caption of a frame, label or button, as the operator reads it.
QString caption(QWidget *widget)
{
    if (auto *frame = qobject_cast<QGroupBox *>(widget)) {
        return frame->title();
    }
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        return label->text();
    }
    if (auto *button = qobject_cast<QPushButton *>(widget)) {
        return button->text();
    }
    return QString();
}

QString installedDocument()
{
    return QStringLiteral(RIGDECK_PROGRAM_FOLDER "/RIGDECK.html");
}

QString documentText()
{
    QFile file(installedDocument());
    if (!file.open(QIODevice::ReadOnly)) {
        return QString();
    }
    return QString::fromUtf8(file.readAll());
}
} // namespace

class HelpAboutTest : public QObject
{
    Q_OBJECT

private slots:

    // Version window

    void aboutWindowTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("program name frame") << "Frame1"
                                            << "プログラム名称";
        QTest::newRow("program name") << "Label1"
                                      << "ＲＩＧＤＥＣＫ";
        QTest::newRow("version frame") << "Frame2"
                                       << "プログラムバージョン";
        QTest::newRow("version caption") << "Label2"
                                         << "バージョン";
        QTest::newRow("version number") << "Label4"
                                        << "V1.00";
        QTest::newRow("disclaimer frame") << "Frame3"
                                          << "免責事項";
        QTest::newRow("disclaimer")
            << "Label3"
            << "免責：このプログラムの使用により発生したいかなる問題や損害に対して、当方は一切責任を負いません。"
               "利用者の責任においてご利用願います。";
        QTest::newRow("close button") << "Command1"
                                      << "閉じる";
    }

    void aboutWindowTexts()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        RadioRig rig;
        rig.start();
        Form3 *about = openAbout(rig.window());
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("バージョン"));
        QWidget *widget = about->findChild<QWidget *>(name);
        QVERIFY(widget);
        QCOMPARE(caption(widget), text);
        // Nothing is cut off: single-line captions fit their width and
        // height, the disclaimer fits once wrapped.
        if (auto *label = qobject_cast<QLabel *>(widget)) {
            const QRect room = label->contentsRect();
            const QRect needed = label->fontMetrics().boundingRect(room, Qt::TextWordWrap, text);
            QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(), qPrintable(name));
        }
    }

    void aboutWindowLooksAsDrawn()
    {
        RadioRig rig;
        rig.start();
        Form1 &w = rig.window();
        Form3 *about = openAbout(w);
        QVERIFY(about);
        QVERIFY(!about->parentWidget());
        QVERIFY(!about->isModal());
        QCOMPARE(about->size(), QSize(4935 / 15, 4020 / 15));
        QCOMPARE(about->font().pointSize(), w.font().pointSize());
        QCOMPARE(about->styleSheet(), w.styleSheet());
        QVERIFY(about->Label3()->wordWrap());
        QVERIFY(about->Label3()->autoFillBackground());
        QCOMPARE(about->Label3()->palette().color(QPalette::Window), QColor(0xFF, 0xFF, 0xC0));
        QCOMPARE(about->Label3()->palette().color(QPalette::WindowText), QColor(Qt::red));
        // The painted disclaimer really is light yellow behind red text.
        const QImage painted = about->Label3()->grab().toImage();
        QCOMPARE(painted.pixelColor(painted.width() - 2, painted.height() - 2), QColor(0xFF, 0xFF, 0xC0));
    }

    void aboutWindowExistsOnce()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        Form3 *first = openAbout(w);
        QVERIFY(first);
        triggerMenu(w, "MENU_HELP_VER");
        w.MENU_HELP_VER_Click();
        QCOMPARE(shownWindows<Form3>(), QList<Form3 *>{first});
    }

    void closingDiscardsAndReopeningBuildsAfresh()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        QPointer<Form3> first = openAbout(w);
        QVERIFY(first);
        QTest::mouseClick(first->Command1(), Qt::LeftButton);
        QTRY_VERIFY(first.isNull());
        QCOMPARE(shownWindows<Form3>(), QList<Form3 *>());

        Form3 *second = openAbout(w);
        QVERIFY(second);
        QCOMPARE(second->Label1()->text(), QStringLiteral("ＲＩＧＤＥＣＫ"));
        QCOMPARE(second->Label4()->text(), QStringLiteral("V1.00"));
        QCOMPARE(second->Label3()->text(), DisclaimerText);
    }

    void aboutAndHelpStayUsableWhileTheDialogIsOpen()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        w.setHelpFolder(QStringLiteral(RIGDECK_PROGRAM_FOLDER));
        QVERIFY(openPortDialog(w));
        QVERIFY(!w.MENU_SETUP()->isEnabled());
        QVERIFY(w.MENU_HELP()->isEnabled());
        for (QAction *entry : w.MENU_HELP()->actions()) {
            QVERIFY(entry->isEnabled());
        }

        QVERIFY(openAbout(w));
        triggerMenu(w, "MENU_HELP_OPE");
        QVERIFY(w.helpWindow());
        QVERIFY(w.helpWindow()->isVisible());
        QCOMPARE(shownWindows<Form2>().size(), 1);
        QVERIFY(!w.MENU_SETUP()->isEnabled());
    }

    // Help

    void helpShowsTheDocumentAtItsContents()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        w.setHelpFolder(QStringLiteral(RIGDECK_PROGRAM_FOLDER));
        triggerMenu(w, "MENU_HELP_OPE");
        HelpViewer *help = w.helpWindow();
        QVERIFY(help);
        QVERIFY(QTest::qWaitForWindowExposed(help));
        QCOMPARE(help->browser()->documentTitle(), DocumentTitle);
        QVERIFY(help->windowTitle().contains(DocumentTitle));
        QCOMPARE(QFileInfo(help->browser()->source().toLocalFile()).fileName(), HelpDocument);
        QVERIFY(help->browser()->toPlainText().contains(QStringLiteral("目次")));
        QCOMPARE(help->browser()->verticalScrollBar()->value(), 0);
        QVERIFY(rig.messages().messages().isEmpty());

        // Asked again after reading further down: the same window, back at
        // the contents.
        help->browser()->scrollToAnchor(QStringLiteral("messages"));
        QVERIFY(help->browser()->verticalScrollBar()->value() > 0);
        triggerMenu(w, "MENU_HELP_OPE");
        QCOMPARE(w.helpWindow(), help);
        QCOMPARE(shownWindows<HelpViewer>(), QList<HelpViewer *>{help});
        QCOMPARE(help->browser()->verticalScrollBar()->value(), 0);
    }

    void helpQuitsWhenTheProgramEnds()
    {
        RadioRig rig;
        Form1 &w = rig.startShown();
        w.setHelpFolder(QStringLiteral(RIGDECK_PROGRAM_FOLDER));
        triggerMenu(w, "MENU_HELP_OPE");
        QPointer<HelpViewer> help = w.helpWindow();
        QVERIFY(help);
        QTest::mouseClick(w.Command12(), Qt::LeftButton);
        QVERIFY(help.isNull());
        QVERIFY(!w.helpWindow());
    }

    void missingDocumentShowsNoMessage()
    {
        QTemporaryDir emptyFolder;
        RadioRig rig;
        Form1 &w = rig.startShown();
        w.setHelpFolder(emptyFolder.path());
        triggerMenu(w, "MENU_HELP_OPE");
        QVERIFY(rig.messages().messages().isEmpty());
        HelpViewer *help = w.helpWindow();
        QVERIFY(help);
        QCOMPARE(help->browser()->toPlainText(), HelpViewer::missingDocumentText(emptyFolder.filePath(HelpDocument)));
        QCOMPARE(help->windowTitle(), HelpWindowTitle);

        // Once the document is there, the same window shows it.
        QVERIFY(QFile::copy(installedDocument(), emptyFolder.filePath(HelpDocument)));
        triggerMenu(w, "MENU_HELP_OPE");
        QCOMPARE(w.helpWindow(), help);
        QCOMPARE(help->browser()->documentTitle(), DocumentTitle);
        QVERIFY(rig.messages().messages().isEmpty());
    }

    // The document

    void documentIsInstalledBesideTheProgram()
    {
        QFile installed(installedDocument());
        QFile source(QStringLiteral(RIGDECK_HELP_SOURCE));
        QVERIFY(installed.open(QIODevice::ReadOnly));
        QVERIFY(source.open(QIODevice::ReadOnly));
        QCOMPARE(installed.readAll(), source.readAll());
    }

    void documentLinksLeadSomewhere()
    {
        const QString text = documentText();
        QVERIFY(text.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        QSet<QString> anchors;
        static const QRegularExpression anchor(QStringLiteral("(?:id|name)=\"([^\"]+)\""));
        for (const QRegularExpressionMatch &match : anchor.globalMatch(text)) {
            anchors.insert(match.captured(1));
        }
        static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        QStringList targets;
        for (const QRegularExpressionMatch &match : link.globalMatch(text)) {
            targets << match.captured(1);
        }
        QVERIFY(targets.size() >= 16);
        for (const QString &target : targets) {
            QVERIFY2(anchors.contains(target), qPrintable(target));
        }
        // Every section is listed in the contents.
        static const QRegularExpression section(QStringLiteral("<h2 id=\"([^\"]+)\""));
        for (const QRegularExpressionMatch &match : section.globalMatch(text)) {
            const QString id = match.captured(1);
            if (id != QLatin1String("contents")) {
                QVERIFY2(targets.contains(id), qPrintable(id));
            }
        }
    }

    void documentCoversTheProgram_data()
    {
        QTest::addColumn<QString>("phrase");
        QTest::newRow("text memories 1 to 5") << "<code>KY6;</code>";
        QTest::newRow("fifth text memory") << "<code>KYA;</code>";
        QTest::newRow("message memories") << "<code>KY1;</code>";
        QTest::newRow("memories stored in the radio first") << "あらかじめ FT2000 に登録";
        QTest::newRow("break-in on transmits") << "送信モード";
        QTest::newRow("break-in off only tests") << "テストモード";
        QTest::newRow("key speed confirm") << "「確定」を押すと、その速度";
        QTest::newRow("operating mode labels") << "LSB・USB・ＦＭ・ＡM・ＣＷ";
        QTest::newRow("recording limit") << "最長 20 秒";
        QTest::newRow("counter turns red") << "15 秒になると秒数が赤色";
        QTest::newRow("stop recording") << "「録音中止」";
        QTest::newRow("comment entry") << "コメント入力";
        QTest::newRow("playback stops by itself") << "自動的に止まります";
        QTest::newRow("stop playback") << "「再生中止」";
        QTest::newRow("received audio recorder") << "オーディオプレイバック録音";
        QTest::newRow("settings apply at next start") << "次に RIGDECK を起動したときから";
        QTest::newRow("companion") << "WAVESCOPE.exe";
        QTest::newRow("settings file") << "RIGDECK.INI";
        QTest::newRow("settings file fallback") << "~/.config/rigdeck/RIGDECK.INI";
        QTest::newRow("settings file override") << "RIGDECK_INI";
        QTest::newRow("port key") << "PORT=1,19200";
        QTest::newRow("recorded lengths") << "REC_TIME0〜REC_TIME4";
        QTest::newRow("comments") << "COMMENT0〜COMMENT4";
        QTest::newRow("Windows port names") << "COMn";
        QTest::newRow("Linux device override") << "RIGDECK_COM1=/dev/ttyUSB0";
        QTest::newRow("device section") << "[DEVICE]";
        QTest::newRow("beside a logger through rigctld") << "COM1=rigctld:localhost";
        QTest::newRow("through flrig") << "rig.cat_priority";
        QTest::newRow("what rigctld does to the radio") << "メニュー 029（CAT のタイムアウト）";
        QTest::newRow("Linux default device") << "/dev/ttyUSB(n-1)";
        QTest::newRow("serial permission") << "dialout";
        QTest::newRow("demo mode") << "--demo";
        QTest::newRow("open failure message") << OpenFailedMessage;
        QTest::newRow("no response message") << NoResponseMessage;
        QTest::newRow("check connection message") << CheckConnectionMessage;
        QTest::newRow("companion missing message") << CompanionMissingMessage.trimmed();
    }

    void documentCoversTheProgram()
    {
        QFETCH(QString, phrase);
        QVERIFY2(documentText().contains(phrase), qPrintable(phrase));
    }
};

QTEST_MAIN(HelpAboutTest)
#include "tst_helpabout.moc"
