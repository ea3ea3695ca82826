// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <QList>
#include <chrono>
#include <functional>

class ColorButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class Radio;

// The radio's voice-memory channels: the record row with its seconds counter,
// the radio's limit on a take and the comment entry, and the playback row
// that stops each channel when its recorded length has passed.
class VoiceMemoryPanel : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds TickInterval{1000};
    // From here on the counter turns red.
    static constexpr int RecordWarningSeconds = 15;
    // Lengths are counted by a 16-bit counter; a hand-edited length beyond it
    // is bounded so that playback still ends.
    static constexpr int LongestLength = 32767;

    using SettingsPath = std::function<QString()>;
    VoiceMemoryPanel(Radio &radio, SettingsPath settingsPath, QWidget *playbackBand);

    QGroupBox *Frame4() const { return m_frame4; }
    QGroupBox *Frame5() const { return m_frame5; }
    QGroupBox *Frame8() const { return m_frame8; }
    QGroupBox *Frame10() const { return m_frame10; }
    ColorButton *Command8(int i) const { return m_command8[i]; }
    ColorButton *Command9(int i) const { return m_command9[i]; }
    QPushButton *Command10() const { return m_command10; }
    QPushButton *Command11() const { return m_command11; }
    QPushButton *Command14() const { return m_command14; }
    QLineEdit *Text2() const { return m_text2; }
    QLabel *Label5() const { return m_label5; }
    QTimer &Timer2() { return m_timer2; }
    QTimer &Timer3() { return m_timer3; }

    int RecordChannel() const { return m_recordChannel; }
    int RecordSeconds() const { return m_recordSeconds; }
    int PlayChannel() const { return m_playChannel; }
    int PlaySeconds() const { return m_playSeconds; }
    QString RecTimes(int i) const { return m_recTimes[i]; }
    int channels() const { return int(m_recTimes.size()); }

    // Start-up: every channel's stored length ("0" when none) and comment
    // (shown as the tooltip of both its buttons).
    void readSettings();
    // The stored length and comment of channel i.
    void setRecTime(int i, const QString &length) { m_recTimes[i] = length; }
    void setComment(int i, const QString &comment);

    void Command8_Click(int index);
    void Timer2_Timer();
    void Command10_Click();
    void Command14_Click();
    void EnableRecordButtons();

    void Command9_Click(int index);
    void Timer3_Timer();
    void Command11_Click();

    // The number a stored length stands for: leading blanks skipped, a
    // leading decimal number read, anything else 0; bounded to the counter.
    static double lengthValue(const QString &stored);

private:
    // The longest take, in seconds: the tick that reaches it stops the recording.
    int longestTake() const;

    Radio &m_radio;
    SettingsPath m_settingsPath;

    QGroupBox *m_frame4;
    QGroupBox *m_frame5;
    QGroupBox *m_frame8;
    QGroupBox *m_frame10;
    QList<ColorButton *> m_command8;
    QList<ColorButton *> m_command9;
    QPushButton *m_command10;
    QPushButton *m_command11;
    QPushButton *m_command14;
    QLineEdit *m_text2;
    QLabel *m_label5;
    QTimer m_timer2;
    QTimer m_timer3;

    int m_recordChannel = 0;
    int m_recordSeconds = 0;
    int m_playChannel = 0;
    int m_playSeconds = 0;
    QList<QString> m_recTimes;
};
