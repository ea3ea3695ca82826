#include "app/Form1.h"

#include "ui/Accessibility.h"
#include "ui/ClickLabel.h"
#include "app/Form3.h"
#include "app/HelpViewer.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"
#include "keyer/KeySpeedPanel.h"
#include "keyer/KeyerPanel.h"
#include "launcher/LauncherPanel.h"
#include "mode/ModePanel.h"
#include "app/Form2.h"
#include "radio/Ft2000Cat.h"
#include "radio/RadioLink.h"
#include "radio/SerialPort.h"
#include "settings/PortSetting.h"
#include "settings/Settings.h"
#include "voice/AudioRecorderPanel.h"
#include "voice/VoiceMemoryPanel.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGroupBox>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>

Form1::Form1(SerialPort &port, QWidget *parent)
    : QMainWindow(parent)
    , m_port(port)
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("RIGDECKＶ１．００"));
    m_link = new RadioLink(port, this);
    connect(m_link, &RadioLink::noResponse, this, [] { ShowMessage(NoResponseMessage); });

    // The window was designed for a 9-point font; frames carry their caption
    // on the border line, so nested frames fit their designed bounds.
    QFont designFont = font();
    designFont.setPointSize(9);
    setFont(designFont);
    setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 5px; padding: 0 1px; }"));

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("Form1Client"));
    client->setFixedSize(10815 / TwipsPerPixel, 8745 / TwipsPerPixel);
    setCentralWidget(client);

    m_keyer = new KeyerPanel(*m_link, client);
    m_launcher = new LauncherPanel(client);

    m_frame2 = new QGroupBox(QStringLiteral("ボイスメモリー補助機能"), client);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setGeometry(twips(180, 4380, 10425, 1035));
    m_keySpeed = new KeySpeedPanel(*m_link, m_frame2);
    m_mode = new ModePanel(*m_link, m_frame2);

    m_frame3 = new QGroupBox(QStringLiteral("プレイバック機能"), client);
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    m_frame3->setGeometry(twips(180, 5460, 10425, 2655));
    m_voice = new VoiceMemoryPanel(*m_link, [this] { return settingsFile(); }, m_frame3);
    m_audio = new AudioRecorderPanel(*m_link, m_frame3);

    m_command12 = new QPushButton(QStringLiteral("終了"), client);
    m_command12->setObjectName(QStringLiteral("Command12"));
    m_command12->setGeometry(twips(9480, 8220, 1065, 435));
    connect(m_command12, &QPushButton::clicked, this, &Form1::Command12_Click);
    Accessibility::describe(m_command12, m_command12->text(), QStringLiteral("プログラムを終了します。"));

    // Left to right across the middle band: break-in, the modes, then the
    // speed; the panels are built in another order.
    QWidget::setTabOrder(m_mode->Label2(ModePanel::Modes - 1), m_keySpeed->Slider1());
    QWidget::setTabOrder(m_keySpeed->Slider1(), m_keySpeed->Command13());

    buildMenus();
    buildKeyerShortcuts();
    setFixedSize(sizeHint());
}

Form1::~Form1()
{
    // The dialog asks this window for the settings file; it cannot outlive it.
    delete m_form2;
    delete m_form3;
}

void Form1::buildMenus()
{
    m_menuSetup = menuBar()->addMenu(QStringLiteral("設定"));
    m_menuSetup->setObjectName(QStringLiteral("MENU_SETUP"));
    // A popup is otherwise named by its empty window title.
    m_menuSetup->setAccessibleName(m_menuSetup->title());
    QAction *rs232c = m_menuSetup->addAction(QStringLiteral("ＲＳ２３２Ｃの設定"));
    rs232c->setObjectName(QStringLiteral("MENU_RS232C"));
    connect(rs232c, &QAction::triggered, this, &Form1::MENU_RS232C_Click);
    QAction *end = m_menuSetup->addAction(QStringLiteral("終了"));
    end->setObjectName(QStringLiteral("MENU_END"));
    connect(end, &QAction::triggered, this, &Form1::MENU_END_Click);

    m_menuHelp = menuBar()->addMenu(QStringLiteral("ヘルプ"));
    m_menuHelp->setObjectName(QStringLiteral("MENU_HELP"));
    m_menuHelp->setAccessibleName(m_menuHelp->title());
    QAction *operation = m_menuHelp->addAction(QStringLiteral("操作手順"));
    operation->setObjectName(QStringLiteral("MENU_HELP_OPE"));
    connect(operation, &QAction::triggered, this, &Form1::MENU_HELP_OPE_Click);
    QAction *version = m_menuHelp->addAction(QStringLiteral("バージョン"));
    version->setObjectName(QStringLiteral("MENU_HELP_VER"));
    connect(version, &QAction::triggered, this, &Form1::MENU_HELP_VER_Click);
}

void Form1::buildKeyerShortcuts()
{
    // As in contest loggers: F1-F5 play the message memories, Shift+F1-F5 the
    // text memories. They press the buttons, so a locked keyer stays locked.
    static constexpr Qt::Key FunctionKeys[KeyerPanel::Channels] = {Qt::Key_F1, Qt::Key_F2, Qt::Key_F3, Qt::Key_F4,
                                                                  Qt::Key_F5};
    for (int i = 0; i < KeyerPanel::Channels; ++i) {
        auto *message = new QShortcut(QKeySequence(FunctionKeys[i]), this);
        message->setObjectName(QStringLiteral("MessageMemoryKey_%1").arg(i));
        // A held key plays its memory once, as a held button does.
        message->setAutoRepeat(false);
        connect(message, &QShortcut::activated, m_keyer->Command2(i), &QPushButton::click);
        auto *text = new QShortcut(QKeySequence(Qt::SHIFT | FunctionKeys[i]), this);
        text->setObjectName(QStringLiteral("TextMemoryKey_%1").arg(i));
        text->setAutoRepeat(false);
        connect(text, &QShortcut::activated, m_keyer->Command1(i), &QPushButton::click);
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

QList<Form1::StartupStep> Form1::startupSteps()
{
    QList<StartupStep> steps;
    for (int i = 0; i < Ft2000Cat::KeyerMemories; ++i) {
        steps.append({Ft2000Cat::keyerMemoryQuery(i + 1), [this, i](const QString &reply) {
                          const std::optional<QString> text = Ft2000Cat::textMemory(reply);
                          if (text) {
                              m_keyer->showTextMemory(i, *text);
                          }
                          return text.has_value();
                      }});
    }
    steps.append({Ft2000Cat::BreakInQuery, [this](const QString &reply) {
                      m_keySpeed->showBreakIn(Ft2000Cat::breakInOn(reply));
                      return true;
                  }});
    steps.append({Ft2000Cat::ModeQuery, [this](const QString &reply) {
                      std::optional<int> index = Ft2000Cat::modeIndex(reply);
                      if (index && *index < 0) {
                          // A mode the window does not offer: the radio is put into LSB.
                          if (!m_link->SendCommand(Ft2000Cat::modeSet(0))) {
                              return false;
                          }
                          index = 0;
                      }
                      if (index) {
                          m_mode->highlight(*index);
                      }
                      return true;
                  }});
    steps.append({Ft2000Cat::KeySpeedQuery, [this](const QString &reply) {
                      const Ft2000Cat::KeySpeed speed = Ft2000Cat::keySpeed(reply);
                      m_keySpeed->showSpeed(speed.caption, speed.wpm);
                      return true;
                  }});
    return steps;
}

void Form1::Form_Load()
{
    const QString stored = ReadSetting(Key::Port, Section::Com, settingsFile());
    m_portSetting = PortSetting(stored == SettingMissing ? PortSetting::Default : stored);
    m_voice->readSettings();

    // From here on every failure of the line ends start-up with one message.
    m_port.setCommPort(m_portSetting.portNumber());
    m_port.setBaudRate(m_portSetting.baudRate());
    m_port.setDeviceName(deviceForPort(m_portSetting.portNumber(), settingsFile()));
    if (m_port.portOpen()) {
        m_port.close();
    }
    if (!m_port.open()) {
        ShowMessage(OpenFailedMessage);
        return;
    }
    for (const StartupStep &step : startupSteps()) {
        QString reply;
        const RadioLink::QueryResult result = m_link->Query(step.query, reply);
        if (result == RadioLink::QueryResult::TimedOut) {
            ShowMessage(CheckConnectionMessage);
            return;
        }
        if (result == RadioLink::QueryResult::LineFailed || !step.show(reply)) {
            ShowMessage(OpenFailedMessage);
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
    HelpViewer::quit(this);
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

// The dialog and the version window have no owner, so they do not inherit
// the window's look; they are given it, as they were drawn with it.
void Form1::lookAlike(QWidget *window) const
{
    window->setFont(font());
    window->setStyleSheet(styleSheet());
}

void Form1::MENU_RS232C_Click()
{
    setRadioControlsEnabled(false);
    // A closed dialog may still wait for its deletion; it no longer counts.
    if (m_form2 && m_form2->isVisible()) {
        m_form2->show();
        m_form2->raise();
        m_form2->activateWindow();
        return;
    }
    m_form2 = new Form2([this] { return settingsFile(); });
    lookAlike(m_form2);
    connect(m_form2, &Form2::unloaded, this, [this](const PortSetting &setting) {
        m_portSetting = setting;
        setRadioControlsEnabled(true);
    });
    m_form2->Form_Load(m_portSetting);
    m_form2->show();
}

void Form1::MENU_HELP_OPE_Click()
{
    HelpViewer::showContents(this, HelpDocument);
}

void Form1::MENU_HELP_VER_Click()
{
    if (!m_form3 || !m_form3->isVisible()) {
        m_form3 = new Form3;
        lookAlike(m_form3);
    }
    m_form3->show();
    m_form3->raise();
    m_form3->activateWindow();
}
