// SPDX-License-Identifier: GPL-3.0-or-later
#include "voice/AudioRecorderPanel.h"

#include "ui/Accessibility.h"
#include "ui/ColorButton.h"
#include "ui/OleColor.h"
#include "ui/PlainToolTip.h"
#include "ui/Twips.h"
#include "radio/Radio.h"

#include <QGroupBox>

AudioRecorderPanel::AudioRecorderPanel(Radio &radio, QWidget *playbackBand)
    : QObject(playbackBand)
    , m_radio(radio)
{
    m_frame6 = new QGroupBox(tr("オーディオプレイバック録音"), playbackBand);
    m_frame6->setObjectName(QStringLiteral("Frame6"));
    m_frame6->setToolTip(tr("受信音の録音"));
    m_frame6->setGeometry(twips(7620, 270, 2610, 1185));
    Accessibility::nameAfterTitle(m_frame6);

    m_command4 = new ColorButton(tr("録音"), m_frame6);
    m_command4->setObjectName(QStringLiteral("Command4"));
    m_command4->setGeometry(12, 22, 74, 48);
    connect(m_command4, &QPushButton::clicked, this, &AudioRecorderPanel::Command4_Click);
    m_command5 = new QPushButton(QStringLiteral("STOP"), m_frame6);
    m_command5->setObjectName(QStringLiteral("Command5"));
    m_command5->setGeometry(94, 22, 74, 48);
    m_command5->setEnabled(false);
    connect(m_command5, &QPushButton::clicked, this, &AudioRecorderPanel::Command5_Click);

    m_frame7 = new QGroupBox(tr("オーディオプレイバック再生"), playbackBand);
    m_frame7->setObjectName(QStringLiteral("Frame7"));
    m_frame7->setToolTip(tr("受信音の再生"));
    m_frame7->setGeometry(twips(7620, 1560, 2610, 885));
    Accessibility::nameAfterTitle(m_frame7);

    m_command6 = new ColorButton(tr("再生"), m_frame7);
    m_command6->setObjectName(QStringLiteral("Command6"));
    m_command6->setGeometry(12, 19, 74, 28);
    connect(m_command6, &QPushButton::clicked, this, &AudioRecorderPanel::Command6_Click);
    m_command7 = new QPushButton(QStringLiteral("STOP"), m_frame7);
    m_command7->setObjectName(QStringLiteral("Command7"));
    m_command7->setGeometry(94, 19, 74, 28);
    m_command7->setEnabled(false);
    connect(m_command7, &QPushButton::clicked, this, &AudioRecorderPanel::Command7_Click);

    // The buttons have no tooltip of their own; their frames' are not theirs.
    for (QWidget *button : {static_cast<QWidget *>(m_command4), static_cast<QWidget *>(m_command5),
                            static_cast<QWidget *>(m_command6), static_cast<QWidget *>(m_command7)}) {
        PlainToolTip::keepOwn(button);
    }

    // Both STOP buttons read the same on screen; their frames tell them apart.
    Accessibility::describe(m_command4, tr("オーディオ録音"), tr("無線機で受信音の録音を始めます。"));
    Accessibility::describe(m_command5, tr("オーディオ録音 STOP"), tr("受信音の録音を止めます。"));
    Accessibility::describe(m_command6, tr("オーディオ再生"), tr("無線機で録音した受信音を再生します。"));
    Accessibility::describe(m_command7, tr("オーディオ再生 STOP"), tr("受信音の再生を止めます。"));
}

void AudioRecorderPanel::Command4_Click()
{
    m_radio.startAudioRecording();
    m_command4->setBackColor(OleColor::Red);
    m_command5->setEnabled(true);
}

void AudioRecorderPanel::Command5_Click()
{
    m_radio.stopAudioRecording();
    m_command4->setBackColor(OleColor::ButtonFace);
    m_command5->setEnabled(false);
}

void AudioRecorderPanel::Command6_Click()
{
    m_radio.startAudioPlayback();
    m_command6->setBackColor(OleColor::Green);
    m_command7->setEnabled(true);
}

void AudioRecorderPanel::Command7_Click()
{
    m_radio.stopAudioPlayback();
    m_command6->setBackColor(OleColor::ButtonFace);
    m_command7->setEnabled(false);
}
