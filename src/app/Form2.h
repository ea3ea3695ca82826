// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/LineSettings.h"

#include <QMap>
#include <QString>
#include <QWidget>

#include <functional>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;

// The communication settings dialog: port and speed for the next start. The
// open serial port is left alone; a changed choice is stored in the settings
// file when the dialog closes, and handed back to the window.
class Form2 : public QWidget
{
    Q_OBJECT
public:
    using SettingsPath = std::function<QString()>;
    explicit Form2(SettingsPath settingsPath, QWidget *parent = nullptr);

    // Shows the port and speed in use; nothing counts as changed yet.
    void Form_Load(const LineSettings &current);
    // Stores a changed choice, then lets the main window unlock its controls.
    void Form_Unload();
    void Command1_Click();
    void Combo1_Change();
    void Combo2_Change();

    // The program is ending: the dialog goes without storing anything.
    void dismiss();

    int SettingsChanged() const { return m_settingsChanged; }

    // Which device the chosen port number names, to pick from the serial
    // devices present or to type (a serial device such as COM12, or a
    // rigctld:, flrig: or tcp: address). Stored in section DEVICE when the
    // dialog closes, used from the next start.
    QLabel *Label3() const { return m_label3; }
    QComboBox *Combo3() const { return m_combo3; }
    void Combo3_Change();
    // A serial device present: as the list shows it, and its name as stored.
    struct Device {
        QString shown;
        QString name;
    };
    // The serial devices present: on Windows each port as Windows describes
    // it, "USB Serial Port (COM12)", in the order of their numbers, named
    // "COM12"; elsewhere the device paths, stable /dev/serial/by-id names first.
    static QList<Device> presentDevices();

    QGroupBox *Frame1() const { return m_frame1; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QComboBox *Combo1() const { return m_combo1; }
    QComboBox *Combo2() const { return m_combo2; }
    QPushButton *Command1() const { return m_command1; }

signals:
    // The dialog has unloaded by the operator's choice, with the line for
    // the next start, whole: the port setting it was shown unless it was
    // changed, and the device that port names.
    void unloaded(const LineSettings &setting);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    SettingsPath m_settingsPath;
    QGroupBox *m_frame1;
    QLabel *m_label1;
    QLabel *m_label2;
    QComboBox *m_combo1;
    QComboBox *m_combo2;
    QPushButton *m_command1;
    QLabel *m_label3;
    QComboBox *m_combo3;
    LineSettings m_setting;
    // Devices typed or picked, by port number, to be stored on closing.
    QMap<int, QString> m_deviceChoices;
    int m_devicePort = 0;
    void showDevice();
    // What port number n names: the device picked or typed here, the one in
    // use, or the one it names for the next start.
    QString deviceOf(int port) const;
    int m_settingsChanged = 0;
    bool m_dismissed = false;
    bool m_unloaded = false;
};
