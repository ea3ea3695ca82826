// SPDX-License-Identifier: GPL-3.0-or-later
#include "voice/VoiceMemoryPanel.h"

#include "ui/Accessibility.h"
#include "ui/ColorButton.h"
#include "ui/OleColor.h"
#include "ui/PlainToolTip.h"
#include "ui/Twips.h"
#include "radio/Radio.h"
#include "settings/Settings.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

namespace {

void setTextColor(QLabel *label, quint32 color)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, OleColor::toQColor(color));
    label->setPalette(pal);
}

// The comment is the buttons' tooltip; in the description it is marked as
// such, so that it is not taken for part of what the button does.
void describeChannel(ColorButton *record, ColorButton *play, int index, const QString &comment, int longestTake)
{
    const int n = index + 1;
    const QString channel = QStringLiteral("CH-%1").arg(n);
    //: Follows the sentence before it directly: English starts with a blank.
    const QString commentLead = comment.isEmpty() ? QString() : VoiceMemoryPanel::tr("コメント: ");
    Accessibility::describe(
        record, VoiceMemoryPanel::tr("ボイスメモリー %1 録音 (%2)").arg(n).arg(channel),
        VoiceMemoryPanel::tr("無線機のボイスメモリー %1 に録音を始めます。%2 秒で止まります。").arg(n).arg(longestTake)
            + commentLead);
    Accessibility::describe(play, VoiceMemoryPanel::tr("ボイスメモリー %1 再生 (%2)").arg(n).arg(channel),
                            VoiceMemoryPanel::tr("無線機のボイスメモリー %1 を再生します。").arg(n) + commentLead);
}
} // namespace

VoiceMemoryPanel::VoiceMemoryPanel(Radio &radio, SettingsPath settingsPath, QWidget *playbackBand)
    : QObject(playbackBand)
    , m_radio(radio)
    , m_settingsPath(std::move(settingsPath))
{
    m_frame4 = new QGroupBox(tr("ボイスメモリー録音"), playbackBand);
    m_frame4->setObjectName(QStringLiteral("Frame4"));
    m_frame4->setGeometry(twips(360, 270, 7095, 1200));

    m_frame5 = new QGroupBox(tr("ボイスメモリー再生"), playbackBand);
    m_frame5->setObjectName(QStringLiteral("Frame5"));
    m_frame5->setToolTip(tr("送信は、ＢＫ＿ＩＮをＯＮ　テストはＢＫ＿ＩＮをＯＦＦ"));
    m_frame5->setGeometry(twips(360, 1560, 7095, 885));
    Accessibility::nameAfterTitle(m_frame4);
    Accessibility::nameAfterTitle(m_frame5);

    constexpr int left = 10, pitch = 64, width = 58, height = 26, stopX = 338, stopWidth = 118;
    const int channels = m_radio.capabilities().voiceChannels;
    m_command8.resize(channels);
    m_command9.resize(channels);
    m_recTimes.fill(QStringLiteral("0"), channels);
    for (int i = 0; i < channels; ++i) {
        const QString channel = QStringLiteral("CH-%1").arg(i + 1);
        m_command8[i] = new ColorButton(channel, m_frame4);
        // The comment is shown as typed, and an empty one shows nothing.
        PlainToolTip::keepOwn(m_command8[i]);
        m_command8[i]->setObjectName(QStringLiteral("Command8_%1").arg(i));
        m_command8[i]->setGeometry(left + i * pitch, 16, width, height);
        connect(m_command8[i], &QPushButton::clicked, this, [this, i] { Command8_Click(i); });
    }
    m_command10 = new QPushButton(tr("録音中止"), m_frame4);
    m_command10->setObjectName(QStringLiteral("Command10"));
    m_command10->setGeometry(stopX, 16, stopWidth, height);
    m_command10->setEnabled(false);
    connect(m_command10, &QPushButton::clicked, this, &VoiceMemoryPanel::Command10_Click);

    m_frame10 = new QGroupBox(tr("コメント入力"), m_frame4);
    m_frame10->setObjectName(QStringLiteral("Frame10"));
    m_frame10->setGeometry(twips(150, 630, 5655, 525));
    Accessibility::nameAfterTitle(m_frame10);
    m_text2 = new QLineEdit(m_frame10);
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setGeometry(6, 14, 300, 19);
    m_command14 = new QPushButton(tr("確定"), m_frame10);
    m_command14->setObjectName(QStringLiteral("Command14"));
    m_command14->setGeometry(312, 13, 58, 21);
    connect(m_command14, &QPushButton::clicked, this, &VoiceMemoryPanel::Command14_Click);
    connect(m_text2, &QLineEdit::returnPressed, m_command14, &QPushButton::click);
    m_frame10->hide();

    m_frame8 = new QGroupBox(tr("録音時間"), m_frame4);
    m_frame8->setObjectName(QStringLiteral("Frame8"));
    m_frame8->setGeometry(twips(6060, 630, 975, 525));
    Accessibility::nameAfterTitle(m_frame8);
    m_label5 = new QLabel(m_frame8);
    m_label5->setObjectName(QStringLiteral("Label5"));
    m_label5->setGeometry(4, 14, 58, 19);
    m_label5->setAlignment(Qt::AlignCenter);

    for (int i = 0; i < channels; ++i) {
        const QString channel = QStringLiteral("CH-%1").arg(i + 1);
        m_command9[i] = new ColorButton(channel, m_frame5);
        PlainToolTip::keepOwn(m_command9[i]);
        m_command9[i]->setObjectName(QStringLiteral("Command9_%1").arg(i));
        m_command9[i]->setGeometry(left + i * pitch, 19, width, height);
        connect(m_command9[i], &QPushButton::clicked, this, [this, i] { Command9_Click(i); });
    }
    m_command11 = new QPushButton(tr("再生中止"), m_frame5);
    PlainToolTip::keepOwn(m_command11);
    m_command11->setObjectName(QStringLiteral("Command11"));
    m_command11->setGeometry(stopX, 19, stopWidth, height);
    m_command11->setEnabled(false);
    connect(m_command11, &QPushButton::clicked, this, &VoiceMemoryPanel::Command11_Click);

    for (int i = 0; i < channels; ++i) {
        describeChannel(m_command8[i], m_command9[i], i, QString(), longestTake());
    }
    Accessibility::describe(m_command10, tr("ボイスメモリー録音中止"),
                            tr("録音を止めて長さを記録し、コメント入力を開きます。"));
    Accessibility::describe(m_text2, tr("ボイスメモリーのコメント"),
                            tr("録音したボイスメモリーのコメント。Enter で確定します。"));
    Accessibility::describe(m_command14, tr("コメントを確定"),
                            tr("コメントを記録し、ボイスメモリーの録音ボタンを使えるようにします。"));
    Accessibility::describe(m_label5, tr("録音時間"), QString());
    Accessibility::describe(m_command11, tr("ボイスメモリー再生中止"), tr("ボイスメモリーの再生を止めます。"));

    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setInterval(TickInterval);
    m_timer2.setTimerType(Qt::PreciseTimer);
    connect(&m_timer2, &QTimer::timeout, this, &VoiceMemoryPanel::Timer2_Timer);
    m_timer3.setObjectName(QStringLiteral("Timer3"));
    m_timer3.setInterval(TickInterval);
    m_timer3.setTimerType(Qt::PreciseTimer);
    connect(&m_timer3, &QTimer::timeout, this, &VoiceMemoryPanel::Timer3_Timer);
}

int VoiceMemoryPanel::longestTake() const
{
    return int(m_radio.capabilities().longestVoiceTake.count());
}

void VoiceMemoryPanel::readSettings()
{
    const QString file = m_settingsPath();
    for (int i = 0; i < channels(); ++i) {
        const QString length = ReadSetting(Key::recTime(i), Section::Rec, file);
        setRecTime(i, length == SettingMissing ? QStringLiteral("0") : length);
    }
    for (int i = 0; i < channels(); ++i) {
        const QString comment = ReadSetting(Key::comment(i), Section::Voice, file);
        setComment(i, comment == SettingMissing ? QString() : comment);
    }
}

void VoiceMemoryPanel::setComment(int i, const QString &comment)
{
    m_command8[i]->setToolTip(comment);
    m_command9[i]->setToolTip(comment);
    describeChannel(m_command8[i], m_command9[i], i, comment, longestTake());
}

// Recording

void VoiceMemoryPanel::Command8_Click(int index)
{
    m_timer2.start();
    m_recordSeconds = 0;
    m_radio.recordVoice(index);
    m_command8[index]->setBackColor(OleColor::Red);
    m_recordChannel = index;
    for (ColorButton *button : m_command8) {
        button->setEnabled(false);
    }
    m_command10->setEnabled(true);
}

void VoiceMemoryPanel::Timer2_Timer()
{
    ++m_recordSeconds;
    m_label5->setText(tr(" %1　秒").arg(m_recordSeconds));
    Accessibility::announceValue(m_label5);
    setTextColor(m_label5, OleColor::Black);
    if (m_recordSeconds >= longestTake()) {
        m_timer2.stop();
        m_label5->clear();
        Command10_Click();
        return;
    }
    if (m_recordSeconds >= RecordWarningSeconds) {
        setTextColor(m_label5, OleColor::Red);
    }
}

void VoiceMemoryPanel::Command10_Click()
{
    m_timer2.stop();
    m_radio.stopVoiceRecording();
    m_command8[m_recordChannel]->setBackColor(OleColor::ButtonFace);
    const QString length = QStringLiteral(" %1").arg(m_recordSeconds);
    WriteSetting(length, Key::recTime(m_recordChannel), Section::Rec, m_settingsPath());
    m_recTimes[m_recordChannel] = length;
    m_label5->clear();
    Accessibility::announceValue(m_label5);
    m_frame10->show();
    m_text2->setFocus();
    m_command10->setEnabled(false);
}

void VoiceMemoryPanel::Command14_Click()
{
    // A pasted comment may hold line breaks; it is kept on one line.
    static const QRegularExpression lineBreaks(QStringLiteral("[\\r\\n]+"));
    QString comment = m_text2->text();
    comment.replace(lineBreaks, QStringLiteral(" "));
    setComment(m_recordChannel, comment);
    WriteSetting(comment, Key::comment(m_recordChannel), Section::Voice, m_settingsPath());
    m_frame10->hide();
    EnableRecordButtons();
}

void VoiceMemoryPanel::EnableRecordButtons()
{
    for (ColorButton *button : m_command8) {
        button->setEnabled(true);
    }
}

// Playback

void VoiceMemoryPanel::Command9_Click(int index)
{
    m_radio.playVoice(index);
    m_command9[index]->setBackColor(OleColor::Green);
    m_playChannel = index;
    for (ColorButton *button : m_command9) {
        button->setEnabled(false);
    }
    m_command11->setEnabled(true);
    m_playSeconds = 0;
    // A timer still running after a stop by hand times the new playback from
    // its next tick; started anew it would shift the ticks.
    if (!m_timer3.isActive()) {
        m_timer3.start();
    }
}

void VoiceMemoryPanel::Timer3_Timer()
{
    ++m_playSeconds;
    if (lengthValue(m_recTimes[m_playChannel]) <= m_playSeconds) {
        m_timer3.stop();
        Command11_Click();
    }
}

void VoiceMemoryPanel::Command11_Click()
{
    m_radio.stopVoicePlayback();
    for (ColorButton *button : m_command9) {
        button->setEnabled(true);
        button->setBackColor(OleColor::ButtonFace);
    }
    m_command11->setEnabled(false);
}

double VoiceMemoryPanel::lengthValue(const QString &stored)
{
    int pos = 0;
    while (pos < stored.size() && (stored[pos] == QLatin1Char(' ') || stored[pos] == QLatin1Char('\t'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < stored.size() && (stored[pos] == QLatin1Char('-') || stored[pos] == QLatin1Char('+'))) {
        negative = stored[pos] == QLatin1Char('-');
        ++pos;
    }
    // Digits, and a fraction after a point: 7.5 seconds end on the 8th tick.
    auto isDigit = [&stored](int at) {
        return at < stored.size() && stored[at].isDigit() && stored[at].unicode() < 128;
    };
    QByteArray number("0");
    for (; isDigit(pos); ++pos) {
        // Beyond the counter's range the digits no longer matter.
        if (number.size() <= 10) {
            number += char(stored[pos].unicode());
        }
    }
    number += '.';
    if (pos < stored.size() && stored[pos] == QLatin1Char('.')) {
        for (++pos; isDigit(pos) && number.size() < 40; ++pos) {
            number += char(stored[pos].unicode());
        }
    }
    number += '0';
    const double value = qMin<double>(number.toDouble(), LongestLength);
    return negative ? -value : value;
}
