// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as it stands before start-up has talked to a radio: every
// control a handler or the operator relies on, found by its name.
#include "ui/ClickLabel.h"
#include "ui/ColorButton.h"
#include "app/Form1.h"
#include "ui/OleColor.h"
#include "radio/QtSerialPortDevice.h"
#include "radio/RadioLink.h"
#include "voice/VoiceMemoryPanel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QHelpEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <QTimer>
#include <QToolTip>

namespace {
const QString KeyerTip = QStringLiteral("送信は、ＢＫ＿ＩＮをＯＮ　テストはＢＫ＿ＩＮをＯＦＦ");

// What the tooltip window shows, as the operator reads it: its text as it
// stands, or what its markup renders to.
QString shownToolTip()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *tip = qobject_cast<QLabel *>(window);
        if (!tip || !tip->isVisible() || tip->windowType() != Qt::ToolTip) {
            continue;
        }
        const bool plain = tip->textFormat() == Qt::PlainText
                           || (tip->textFormat() == Qt::AutoText && !Qt::mightBeRichText(tip->text()));
        if (plain) {
            return tip->text();
        }
        QTextDocument rendered;
        rendered.setHtml(tip->text());
        return rendered.toPlainText();
    }
    return QString();
}
} // namespace

class MainWindowTest : public QObject
{
    Q_OBJECT

private:
    QtSerialPortDevice m_port;
    QTemporaryDir m_dir;

    // A real picture: markup taken as such would show it in the tooltip.
    QString imagePath()
    {
        const QString path = m_dir.filePath(QStringLiteral("dot.png"));
        QImage dot(4, 4, QImage::Format_RGB32);
        dot.fill(Qt::red);
        dot.save(path);
        return path;
    }

    template <typename T>
    T *find(Form1 &w, const char *name)
    {
        T *widget = w.findChild<T *>(QLatin1String(name));
        if (!widget) {
            qWarning("missing %s", name);
        }
        return widget;
    }

private slots:
    void captionsAndTooltips_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("tip");
        QTest::newRow("keyer frame") << "Frame1"
                                     << "コンテストメモリーキーヤー"
                                     << "";
        QTest::newRow("launcher frame") << "Frame12"
                                        << "WAVESCOPEの起動"
                                        << "";
        QTest::newRow("middle band") << "Frame2"
                                     << "ボイスメモリー補助機能"
                                     << "";
        QTest::newRow("playback band") << "Frame3"
                                       << "プレイバック機能"
                                       << "";
        QTest::newRow("mode frame") << "Frame11"
                                    << "運用モード"
                                    << "";
        QTest::newRow("speed frame") << "Frame9"
                                     << "KEY SPEED"
                                     << "モールスの１分あたりの文字速度";
        QTest::newRow("voice record frame") << "Frame4"
                                            << "ボイスメモリー録音"
                                            << "";
        QTest::newRow("comment frame") << "Frame10"
                                       << "コメント入力"
                                       << "";
        QTest::newRow("counter frame") << "Frame8"
                                       << "録音時間"
                                       << "";
        QTest::newRow("voice play frame") << "Frame5"
                                          << "ボイスメモリー再生" << KeyerTip;
        QTest::newRow("audio record frame") << "Frame6"
                                            << "オーディオプレイバック録音"
                                            << "受信音の録音";
        QTest::newRow("audio play frame") << "Frame7"
                                          << "オーディオプレイバック再生"
                                          << "受信音の再生";
        QTest::newRow("text header") << "Label3"
                                     << "TEXT"
                                     << "";
        QTest::newRow("message header") << "Label4"
                                        << "MESSAGE"
                                        << "";
        QTest::newRow("text memory 5 button") << "Command1_4"
                                              << "CH-5" << KeyerTip;
        QTest::newRow("message memory 1 button") << "Command2_0"
                                                 << "CH-1" << KeyerTip;
        QTest::newRow("row label 3") << "Label1_2"
                                     << "CH-3"
                                     << "";
        QTest::newRow("text memory box") << "Text1_3"
                                         << ""
                                         << "あらかじめＦＴ２０００に登録が必要です。ＰＡＮＥＬＳＹＮＣでも登録可能";
        QTest::newRow("launcher")
            << "Command15"
            << "起動"
            << "サウンドボードに入力されている信号をＦＦＴ変換およびウォータフォール波形で表示する";
        QTest::newRow("break-in") << "Command3"
                                  << "BREAK_IN"
                                  << "ＯＮ：送信モード　　ＯＦＦ：テストモード";
        QTest::newRow("LSB") << "Label2_0"
                             << "                 LSB"
                             << "";
        QTest::newRow("USB has one blank less") << "Label2_1"
                                                << "                USB"
                                                << "";
        QTest::newRow("FM") << "Label2_2"
                            << "                 ＦＭ"
                            << "";
        QTest::newRow("AM mixes widths") << "Label2_3"
                                         << "                 ＡM"
                                         << "";
        QTest::newRow("CW") << "Label2_4"
                            << "                 ＣＷ"
                            << "";
        QTest::newRow("speed label") << "Label6"
                                     << ""
                                     << "";
        QTest::newRow("send speed") << "Command13"
                                    << "確定"
                                    << "";
        QTest::newRow("voice record 3") << "Command8_2"
                                        << "CH-3"
                                        << "";
        QTest::newRow("stop recording") << "Command10"
                                        << "録音中止"
                                        << "";
        QTest::newRow("confirm comment") << "Command14"
                                         << "確定"
                                         << "";
        QTest::newRow("counter") << "Label5"
                                 << ""
                                 << "";
        QTest::newRow("voice play 5") << "Command9_4"
                                      << "CH-5"
                                      << "";
        QTest::newRow("stop playback") << "Command11"
                                       << "再生中止"
                                       << "";
        QTest::newRow("audio record") << "Command4"
                                      << "録音"
                                      << "";
        QTest::newRow("audio record stop") << "Command5"
                                           << "STOP"
                                           << "";
        QTest::newRow("audio play") << "Command6"
                                    << "再生"
                                    << "";
        QTest::newRow("audio play stop") << "Command7"
                                         << "STOP"
                                         << "";
        QTest::newRow("exit") << "Command12"
                              << "終了"
                              << "";
    }

    void captionsAndTooltips()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, tip);
        Form1 w(m_port);
        QWidget *widget = w.findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        QString shown;
        if (auto *box = qobject_cast<QGroupBox *>(widget)) {
            shown = box->title();
        } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
            shown = button->text();
        } else if (auto *label = qobject_cast<QLabel *>(widget)) {
            shown = label->text();
        } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
            shown = edit->text();
        }
        QCOMPARE(shown, caption);
        QCOMPARE(widget->toolTip(), tip);
    }

    void tooltipShownIsTheControlsOwn_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("comment");
        QTest::addColumn<QString>("shown");
        // Controls without a tooltip show nothing, not their frame's.
        for (const char *bare :
             {"Command4", "Command5", "Command6", "Command7", "Command11", "Label6", "Command13", "Slider1"}) {
            QTest::newRow(bare) << bare << QString() << "";
        }
        QTest::newRow("Command9_2 with an empty comment") << "Command9_2"
                                                          << ""
                                                          << "";
        QTest::newRow("Command8_2 with an empty comment") << "Command8_2"
                                                          << ""
                                                          << "";
        // Frames and controls with a tooltip keep it.
        QTest::newRow("Frame5") << "Frame5" << QString() << KeyerTip;
        QTest::newRow("Frame6") << "Frame6" << QString() << "受信音の録音";
        QTest::newRow("Frame7") << "Frame7" << QString() << "受信音の再生";
        QTest::newRow("Frame9") << "Frame9" << QString() << "モールスの１分あたりの文字速度";
        QTest::newRow("Command3") << "Command3" << QString() << "ＯＮ：送信モード　　ＯＦＦ：テストモード";
        // A comment is shown as typed, whatever it looks like.
        const QString markup = QStringLiteral("<b>bold</b> & <i>x</i>");
        QTest::newRow("Command9_0 with markup in its comment") << "Command9_0" << markup << markup;
        QTest::newRow("Command8_0 with markup in its comment") << "Command8_0" << markup << markup;
        const QString image = QStringLiteral("<img src=\"%1\">  &amp; two blanks").arg(imagePath());
        QTest::newRow("Command9_4 with an image in its comment") << "Command9_4" << image << image;
        QTest::newRow("Command8_3 with an entity in its comment") << "Command8_3"
                                                                  << "&lt;CQ&gt;"
                                                                  << "&lt;CQ&gt;";
    }

    void tooltipShownIsTheControlsOwn()
    {
        QFETCH(QString, name);
        QFETCH(QString, comment);
        QFETCH(QString, shown);
        Form1 w(m_port);
        if (!comment.isNull()) {
            // Set as start-up and the comment entry set it.
            w.voice().setComment(name.back().digitValue(), QStringLiteral("before"));
            w.voice().setComment(name.back().digitValue(), comment);
        }
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());

        QWidget *widget = w.findChild<QWidget *>(name);
        QVERIFY2(widget, qPrintable(name));
        const QPoint inside(widget->width() / 2, widget->height() - 2);
        QHelpEvent hover(QEvent::ToolTip, inside, widget->mapToGlobal(inside));
        QApplication::sendEvent(widget, &hover);
        QCOMPARE(shownToolTip(), shown);
        QCOMPARE(QToolTip::isVisible(), !shown.isEmpty());
        QToolTip::hideText();
    }

    void designedStates()
    {
        Form1 w(m_port);
        QCOMPARE(w.windowTitle(), QStringLiteral("RIGDECKＶ１．００"));
        QCOMPARE(w.centralWidget()->size(), QSize(721, 583));
        for (const char *stop : {"Command5", "Command7", "Command10", "Command11"}) {
            QVERIFY2(!find<QWidget>(w, stop)->isEnabled(), stop);
        }
        for (const char *start : {"Command4", "Command6", "Command8_0", "Command9_4", "Command1_0", "Command15"}) {
            QVERIFY2(find<QWidget>(w, start)->isEnabled(), start);
        }
        QVERIFY(find<QWidget>(w, "Frame10")->isHidden());
        for (const char *frame : {"Frame1", "Frame2", "Frame3", "Frame4", "Frame5", "Frame6", "Frame7", "Frame8",
                                  "Frame9", "Frame11", "Frame12"}) {
            QVERIFY2(!find<QWidget>(w, frame)->isHidden(), frame);
            QVERIFY2(find<QWidget>(w, frame)->isEnabled(), frame);
        }
        auto *slider = find<QSlider>(w, "Slider1");
        QCOMPARE(slider->minimum(), 4);
        QCOMPARE(slider->maximum(), 60);
        QCOMPARE(slider->value(), 30);
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        for (int i = 0; i < 5; ++i) {
            auto *label = find<ClickLabel>(w, qPrintable(QStringLiteral("Label2_%1").arg(i)));
            QCOMPARE(label->backColor(), OleColor::WindowBackground);
            QCOMPARE(label->foreColor(), OleColor::WindowText);
            QVERIFY(find<QLineEdit>(w, qPrintable(QStringLiteral("Text1_%1").arg(i)))->text().isEmpty());
            QVERIFY(!find<QLineEdit>(w, qPrintable(QStringLiteral("Text1_%1").arg(i)))->isReadOnly());
        }
        for (const char *colour : {"Command3", "Command4", "Command6", "Command8_1", "Command9_2"}) {
            QCOMPARE(find<ColorButton>(w, colour)->backColor(), OleColor::ButtonFace);
        }
        QCOMPARE(w.link().Timer1().interval(), 5000);
        QCOMPARE(w.voice().Timer2().interval(), 1000);
        QCOMPARE(w.voice().Timer3().interval(), 1000);
        QVERIFY(!w.link().Timer1().isActive());
        QVERIFY(!w.voice().Timer2().isActive());
        QVERIFY(!w.voice().Timer3().isActive());
        QCOMPARE(w.voice().Timer2().timerType(), Qt::PreciseTimer);
        QCOMPARE(w.voice().Timer3().timerType(), Qt::PreciseTimer);
    }

    void colourButtonsPaintTheirColour()
    {
        // Some styles ignore a button's palette; ours must really show red.
        Form1 w(m_port);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *button = find<ColorButton>(w, "Command4");
        const QImage before = button->grab().toImage();
        button->setBackColor(OleColor::Red);
        const QImage after = button->grab().toImage();
        const QPoint inside(button->width() / 4, button->height() / 2);
        const QColor painted = after.pixelColor(inside);
        QVERIFY2(painted.red() > 200 && painted.green() < 80 && painted.blue() < 80, qPrintable(painted.name()));
        QVERIFY(before.pixelColor(inside) != painted);
        // Disabled, a record button keeps its red.
        button->setEnabled(false);
        const QColor disabled = button->grab().toImage().pixelColor(inside);
        QVERIFY2(disabled.red() > 200 && disabled.green() < 80, qPrintable(disabled.name()));
    }

    void menus()
    {
        Form1 w(m_port);
        QCOMPARE(w.MENU_SETUP()->title(), QStringLiteral("設定"));
        QCOMPARE(w.MENU_HELP()->title(), QStringLiteral("ヘルプ"));
        const QList<QAction *> setup = w.MENU_SETUP()->actions();
        QCOMPARE(setup.size(), 2);
        QCOMPARE(setup[0]->objectName(), QStringLiteral("MENU_RS232C"));
        QCOMPARE(setup[0]->text(), QStringLiteral("ＲＳ２３２Ｃの設定"));
        QCOMPARE(setup[1]->objectName(), QStringLiteral("MENU_END"));
        QCOMPARE(setup[1]->text(), QStringLiteral("終了"));
        const QList<QAction *> help = w.MENU_HELP()->actions();
        QCOMPARE(help.size(), 2);
        QCOMPARE(help[0]->objectName(), QStringLiteral("MENU_HELP_OPE"));
        QCOMPARE(help[0]->text(), QStringLiteral("操作手順"));
        QCOMPARE(help[1]->objectName(), QStringLiteral("MENU_HELP_VER"));
        QCOMPARE(help[1]->text(), QStringLiteral("バージョン"));
    }

    void everyControlLiesInsideItsFrame()
    {
        Form1 w(m_port);
        const auto widgets = w.centralWidget()->findChildren<QWidget *>();
        for (QWidget *child : widgets) {
            QWidget *parent = child->parentWidget();
            if (child->objectName().isEmpty() || child->isWindow()) {
                continue;
            }
            QVERIFY2(parent->rect().contains(child->geometry()),
                     qPrintable(child->objectName() + QStringLiteral(" outside ") + parent->objectName()));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
