// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Form1.h"

#include "app/Form2.h"
#include "app/Form3.h"
#include "app/HelpViewer.h"
#include "keyer/KeySpeedPanel.h"
#include "keyer/KeyerPanel.h"
#include "launcher/LauncherPanel.h"
#include "mode/ModePanel.h"
#include "radio/Radio.h"
#include "radio/RadioLink.h"
#include "radio/Line.h"
#include "settings/Settings.h"
#include "ui/Accessibility.h"
#include "ui/ClickLabel.h"
#include "ui/DesignLook.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "voice/AudioRecorderPanel.h"
#include "voice/VoiceMemoryPanel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QTimer>

Form1::Form1(Line &port, QWidget *parent)
    : QMainWindow(parent)
    , m_port(port)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("RIGDECKＶ１．００"));
    m_link = new RadioLink(port, this);
    m_radio = new Radio(*m_link, Ft2000Capabilities, this);
    connect(m_link, &RadioLink::noResponse, this, [] { ShowMessage(tr(NoResponseText)); });

    DesignLook::apply(this);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Form1Client"));
    client->setFixedSize(10815 / TwipsPerPixel, 8745 / TwipsPerPixel);
    setCentralWidget(client);

    m_keyer = new KeyerPanel(*m_radio, client);
    m_launcher = new LauncherPanel(client);

    m_frame2 = new QGroupBox(tr("ボイスメモリー補助機能"), client);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setGeometry(twips(180, 4380, 10425, 1035));
    m_keySpeed = new KeySpeedPanel(*m_radio, m_frame2);
    m_mode = new ModePanel(*m_radio, m_frame2);

    m_frame3 = new QGroupBox(tr("プレイバック機能"), client);
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    m_frame3->setGeometry(twips(180, 5460, 10425, 2655));
    m_voice = new VoiceMemoryPanel(
        *m_radio, [this] { return settingsFile(); }, m_frame3);
    m_audio = new AudioRecorderPanel(*m_radio, m_frame3);

    m_command12 = new QPushButton(tr("終了"), client);
    m_command12->setObjectName(QStringLiteral("Command12"));
    m_command12->setGeometry(twips(9480, 8220, 1065, 435));
    connect(m_command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    Accessibility::describe(m_command12, m_command12->text(), tr("プログラムを終了します。"));

    // Left to right across the middle band: break-in, the modes, then the
    // speed; the panels are built in another order.
    QWidget::setTabOrder(m_mode->Label2(m_mode->modes() - 1), m_keySpeed->Slider1());
    QWidget::setTabOrder(m_keySpeed->Slider1(), m_keySpeed->Command13());

    buildMenus();
    buildStatusBar();
    setFixedSize(sizeHint());
}

Form1::~Form1()
{
    setStoreFailureHandler(std::move(m_previousStoreFailureHandler));
    // The dialog asks this window for the settings file; it cannot outlive it.
    delete m_form2;
    delete m_form3;
    delete m_help;
}

void Form1::buildMenus()
{
    auto addMenu = [this](const QString &title, const char *name) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        // A popup is otherwise named by its empty window title.
        menu->setAccessibleName(title);
        return menu;
    };
    auto addItem = [this](QMenu *menu, const QString &caption, const char *name, void (Form1::*handler)()) {
        QAction *item = menu->addAction(caption);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this, handler);
    };
    m_menuSetup = addMenu(tr("設定"), "MENU_SETUP");
    addItem(m_menuSetup, tr("ＲＳ２３２Ｃの設定"), "MENU_RS232C", &Form1::MENU_RS232C_Click);
    addItem(m_menuSetup, tr("終了"), "MENU_END", &Form1::MENU_END_Click);
    m_menuHelp = addMenu(tr("ヘルプ"), "MENU_HELP");
    addItem(m_menuHelp, tr("操作手順"), "MENU_HELP_OPE", &Form1::MENU_HELP_OPE_Click);
    addItem(m_menuHelp, tr("バージョン"), "MENU_HELP_VER", &Form1::MENU_HELP_VER_Click);
}

void Form1::buildStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    bar->setAccessibleName(tr("状態表示"));
    m_notice = new QLabel(bar);
    m_notice->setObjectName(QStringLiteral("Notice"));
    m_notice->setTextFormat(Qt::PlainText);
    bar->addWidget(m_notice, 1);
    m_lineStatus = new QLabel(bar);
    m_lineStatus->setObjectName(QStringLiteral("LineStatus"));
    m_lineStatus->setTextFormat(Qt::PlainText);
    m_lineStatus->setContentsMargins(0, 0, 6, 0);
    bar->addPermanentWidget(m_lineStatus);
    // Both labels are named by what they show, so a screen reader hears each
    // change of the line's state and each notice as it comes.
    m_lineStatus->setAccessibleDescription(tr("無線機との回線の状態"));
    m_notice->setAccessibleDescription(tr("送れなかったコマンドや記録できなかった設定のお知らせ"));
    m_noticeTimer = new QTimer(this);
    m_noticeTimer->setSingleShot(true);
    m_noticeTimer->setInterval(NoticeTime);
    connect(m_noticeTimer, &QTimer::timeout, this, [this] { showNotice(QString()); });
    showNotice(QString());
    showLineState(Line::State::Closed);

    connect(m_link, &RadioLink::lineStateChanged, this, [this](Line::State state) { showLineState(state); });
    connect(m_link, &RadioLink::commandDropped, this, [this](const QByteArray &command, Line::DropReason reason) {
        QString why;
        switch (reason) {
        case Line::DropReason::LineDown:
            why = tr("回線が切れています");
            break;
        case Line::DropReason::TooLate:
            why = tr("%1 秒以内に送れませんでした").arg(RadioLink::ResponseTime.count() / 1000);
            break;
        case Line::DropReason::QueueFull:
            why = tr("送信を待つコマンドが多すぎます");
            break;
        }
        showNotice(tr("%1 は送信されませんでした: %2").arg(QString::fromLatin1(command), why));
    });
    connect(m_link, &RadioLink::commandRefused, this, [this](const QByteArray &command, const QByteArray &answer) {
        showNotice(tr("%1 はサーバーに拒否されました (%2)")
                       .arg(QString::fromLatin1(command), QString::fromLatin1(answer).trimmed()));
    });
    m_previousStoreFailureHandler = setStoreFailureHandler([this](const QString &key, const QString &section,
                                                                  const QString &file) {
        showNotice(tr("設定を保存できませんでした: [%1] %2 (%3)").arg(section, key, QDir::toNativeSeparators(file)));
    });
}

void Form1::showLineState(Line::State state)
{
    QString text;
    switch (state) {
    case Line::State::Open:
        text = tr("接続中");
        break;
    case Line::State::Reconnecting:
        text = tr("再接続中");
        break;
    case Line::State::Closed:
        text = tr("未接続");
        break;
    }
    m_lineStatus->setText(m_lineInUse.isEmpty() ? text : m_lineInUse + QStringLiteral("  ") + text);
}

void Form1::showNotice(const QString &text)
{
    m_notice->setText(text);
    m_notice->setAccessibleName(text.isEmpty() ? tr("お知らせなし") : text);
    if (!text.isEmpty()) {
        m_noticeTimer->start();
    }
}

QString Form1::settingsFile() const
{
    return m_settingsFile.isEmpty() ? SettingsFilePath() : m_settingsFile;
}

void Form1::setRadioControlsEnabled(bool enabled)
{
    m_keyer->Frame1()->setEnabled(enabled);
    m_frame2->setEnabled(enabled);
    m_frame3->setEnabled(enabled);
    m_menuSetup->setEnabled(enabled);
}

// Start-up

bool Form1::showAnswer(const Radio::Question &question, const QString &reply)
{
    switch (question.what) {
    case Radio::Asked::TextMemory:
        return m_keyer->showTextMemory(question.index, Radio::textMemory(reply));
    case Radio::Asked::BreakIn:
        m_keySpeed->showBreakIn(Radio::breakInOn(reply));
        return true;
    case Radio::Asked::Mode:
        return m_mode->showReportedMode(m_radio->modeIndex(reply));
    case Radio::Asked::KeySpeed: {
        const Radio::KeySpeed speed = Radio::keySpeed(reply);
        m_keySpeed->showSpeed(speed.caption, speed.wpm);
        return true;
    }
    }
    return false;
}

void Form1::Form_Load()
{
    m_lineSettings = LineSettings::read(settingsFile());
    m_voice->readSettings();

    // From here on every failure of the line ends start-up with one message.
    if (m_port.portOpen()) {
        m_port.close();
    }
    const bool opened = m_port.open(m_lineSettings);
    m_lineInUse = tr("ポート%1  %2  %3 bps")
                      .arg(m_lineSettings.portNumber())
                      .arg(m_port.shownName(), m_lineSettings.port.BaudText());
    showLineState(m_port.state());
    if (!opened) {
        ShowMessage(tr(OpenFailedText));
        return;
    }
    for (const Radio::Question &question : m_radio->startupQuestions()) {
        QString reply;
        const RadioLink::QueryResult result = m_radio->ask(question, reply);
        if (result == RadioLink::QueryResult::TimedOut) {
            ShowMessage(tr(CheckConnectionText));
            return;
        }
        if (result == RadioLink::QueryResult::LineFailed) {
            ShowMessage(tr(OpenFailedText));
            return;
        }
        if (!showAnswer(question, reply)) {
            m_link->reportQueryFailure(question.query, QStringLiteral("the reply cannot be shown"));
            ShowMessage(tr(OpenFailedText));
            return;
        }
    }
}

// Exit

void Form1::Command12_Click()
{
    close();
}

void Form1::MENU_END_Click()
{
    close();
}

void Form1::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void Form1::Form_Unload()
{
    if (m_unloaded) {
        return;
    }
    m_unloaded = true;
    // The help viewer is told that the window no longer needs it.
    delete m_help;
    if (m_form2) {
        m_form2->dismiss();
    }
    if (m_form3) {
        m_form3->close();
    }
    if (m_port.portOpen()) {
        m_port.close();
    }
    // The program ends here: nothing runs after this, not even a timer that
    // would stop a take or a playback and store its length.
    m_voice->Timer2().stop();
    m_voice->Timer3().stop();
    emit unloaded();
    QCoreApplication::exit(0);
}

// Dialogs and help

namespace {
void bringUp(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

void Form1::MENU_RS232C_Click()
{
    setRadioControlsEnabled(false);
    // A closed dialog may still wait for its deletion; it no longer counts.
    if (m_form2 && m_form2->isVisible()) {
        bringUp(m_form2);
        return;
    }
    m_form2 = new Form2([this] { return settingsFile(); });
    DesignLook::apply(m_form2);
    connect(m_form2, &Form2::unloaded, this, [this](const LineSettings &setting) {
        m_lineSettings = setting;
        setRadioControlsEnabled(true);
    });
    m_form2->Form_Load(m_lineSettings);
    m_form2->show();
}

void Form1::MENU_HELP_OPE_Click()
{
    // A closed window may still wait for its deletion; it no longer counts.
    if (!m_help || !m_help->isVisible()) {
        m_help = new HelpViewer(m_helpFolder);
    }
    m_help->showContents(tr(HelpDocumentName));
    bringUp(m_help);
}

HelpViewer *Form1::helpWindow() const
{
    return m_help;
}

void Form1::MENU_HELP_VER_Click()
{
    if (!m_form3 || !m_form3->isVisible()) {
        m_form3 = new Form3;
        DesignLook::apply(m_form3);
    }
    bringUp(m_form3);
}
