// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Radio.h"
#include "radio/Line.h"
#include "radio/LineSettings.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <chrono>

class AudioRecorderPanel;
class Form2;
class Form3;
class HelpViewer;
class KeySpeedPanel;
class KeyerPanel;
class LauncherPanel;
class ModePanel;
class QAction;
class QGroupBox;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class RadioLink;
class Line;
class VoiceMemoryPanel;

// The main window: it composes the frames, menus and panels, runs start-up
// and ends the program.
class Form1 : public QMainWindow
{
    Q_OBJECT
public:
    explicit Form1(Line &port, QWidget *parent = nullptr);
    ~Form1() override;

    // Start-up: settings, port, and the radio's present state. Runs before
    // the window is first shown.
    void Form_Load();
    // Exit from every road: help viewer told to quit, port closed if open,
    // the program ends without saving or sending anything.
    void Form_Unload();

    void Command12_Click();
    void MENU_END_Click();
    void MENU_RS232C_Click();
    void MENU_HELP_OPE_Click();
    void MENU_HELP_VER_Click();

    // The help window while it is open, otherwise nullptr.
    HelpViewer *helpWindow() const;
    // Where the help documents are looked for: beside the program (or with
    // an installed program's data) unless a test names a folder.
    void setHelpFolder(const QString &folder) { m_helpFolder = folder; }

    // The port and speed read at start-up, or chosen since in the dialog.
    const PortSetting &portSetting() const { return m_lineSettings.port; }

    RadioLink &link() { return *m_link; }
    Radio &radio() { return *m_radio; }
    KeyerPanel &keyer() { return *m_keyer; }
    KeySpeedPanel &keySpeed() { return *m_keySpeed; }
    ModePanel &mode() { return *m_mode; }
    VoiceMemoryPanel &voice() { return *m_voice; }
    AudioRecorderPanel &audio() { return *m_audio; }
    LauncherPanel &launcher() { return *m_launcher; }

    QGroupBox *Frame2() const { return m_frame2; }
    QGroupBox *Frame3() const { return m_frame3; }
    QPushButton *Command12() const { return m_command12; }
    QMenu *MENU_SETUP() const { return m_menuSetup; }
    QMenu *MENU_HELP() const { return m_menuHelp; }

    // The settings file in use: the one a test or the command line named,
    // otherwise where the program keeps it. Built afresh on every use.
    QString settingsFile() const;
    void setSettingsFile(const QString &path) { m_settingsFile = path; }

    // The dialog locks every radio control while it is open.
    void setRadioControlsEnabled(bool enabled);

    // The status bar below the frames: the line in use and its state, and
    // for a while what just went wrong (a command not sent, a setting not
    // stored). Never a message box while the operator works.
    QLabel *LineStatus() const { return m_lineStatus; }
    QLabel *Notice() const { return m_notice; }
    // How long a notice stays.
    static constexpr std::chrono::milliseconds NoticeTime{10000};

signals:
    // The window has unloaded and the program is ending.
    void unloaded();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildStatusBar();
    void showLineState(Line::State state);
    void showNotice(const QString &text);
    // Shows the answer to a start-up question; false when it cannot be shown.
    bool showAnswer(const Radio::Question &question, const QString &reply);

    Line &m_port;
    RadioLink *m_link;
    Radio *m_radio;
    KeyerPanel *m_keyer;
    KeySpeedPanel *m_keySpeed;
    ModePanel *m_mode;
    VoiceMemoryPanel *m_voice;
    AudioRecorderPanel *m_audio;
    LauncherPanel *m_launcher;
    QGroupBox *m_frame2;
    QGroupBox *m_frame3;
    QPushButton *m_command12;
    QMenu *m_menuSetup = nullptr;
    QMenu *m_menuHelp = nullptr;
    QLabel *m_lineStatus = nullptr;
    QLabel *m_notice = nullptr;
    QTimer *m_noticeTimer = nullptr;
    // The line the program opened at start-up: port number, device, speed.
    QString m_lineInUse;
    StoreFailureHandler m_previousStoreFailureHandler;
    QString m_settingsFile;
    LineSettings m_lineSettings;
    bool m_unloaded = false;
    // The settings dialog and the version window have no owner; at most one
    // of each, discarded when closed.
    QPointer<Form2> m_form2;
    QPointer<Form3> m_form3;
    // The help window, one at most, and where its documents are looked for.
    QPointer<HelpViewer> m_help;
    QString m_helpFolder;
};

// The messages as the program is written, and so as the Japanese window
// shows them; each is translated where it is shown.
inline constexpr char CheckConnectionText[] = QT_TRANSLATE_NOOP("Form1", "接続の確認を行ってください。");
inline constexpr char OpenFailedText[] =
    QT_TRANSLATE_NOOP("Form1", "ＲＳ２３２Ｃのオープンができません。設定および接続を確認してください。");
inline constexpr char NoResponseText[] = QT_TRANSLATE_NOOP(
    "Form1", "一定時間内にコマンドに対する応答がありません。正しく接続されているか確認してください。");
inline const QString CheckConnectionMessage = QString::fromUtf8(CheckConnectionText);
inline const QString OpenFailedMessage = QString::fromUtf8(OpenFailedText);
inline const QString NoResponseMessage = QString::fromUtf8(NoResponseText);
// The operating instructions, installed beside the executable. The
// translation names the document in its language.
//: The file name of the help document in this language.
inline constexpr char HelpDocumentName[] = QT_TRANSLATE_NOOP("Form1", "RIGDECK.html");
inline const QString HelpDocument = QString::fromUtf8(HelpDocumentName);
