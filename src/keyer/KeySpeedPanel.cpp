// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyer/KeySpeedPanel.h"

#include "ui/Accessibility.h"
#include "ui/ColorButton.h"
#include "ui/OleColor.h"
#include "ui/PlainToolTip.h"
#include "ui/Twips.h"
#include "radio/Radio.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

namespace {
// On screen the state is only the button's colour.
void describeBreakIn(ColorButton *button, bool on)
{
    Accessibility::describe(button, QStringLiteral("BREAK_IN"),
                            KeySpeedPanel::tr("ブレークインを切り替えます。現在: %1。")
                                .arg(on ? KeySpeedPanel::tr("オン") : KeySpeedPanel::tr("オフ")));
}
} // namespace

KeySpeedPanel::KeySpeedPanel(Radio &radio, QWidget *middleBand)
    : QObject(middleBand)
    , m_radio(radio)
{
    m_command3 = new ColorButton(QStringLiteral("BREAK_IN"), middleBand);
    m_command3->setObjectName(QStringLiteral("Command3"));
    m_command3->setToolTip(tr("ＯＮ：送信モード　　ＯＦＦ：テストモード"));
    m_command3->setGeometry(14, 20, 104, 40);
    connect(m_command3, &QPushButton::clicked, this, &KeySpeedPanel::Command3_Click);

    m_frame9 = new QGroupBox(QStringLiteral("KEY SPEED"), middleBand);
    m_frame9->setObjectName(QStringLiteral("Frame9"));
    m_frame9->setToolTip(tr("モールスの１分あたりの文字速度"));
    m_frame9->setGeometry(twips(7710, 210, 2355, 780));
    Accessibility::nameAfterTitle(m_frame9);

    m_label6 = new QLabel(m_frame9);
    m_label6->setObjectName(QStringLiteral("Label6"));
    // It shows characters of the radio's answer, never markup.
    m_label6->setTextFormat(Qt::PlainText);
    m_label6->setGeometry(8, 14, 80, 18);

    m_command13 = new QPushButton(tr("確定"), m_frame9);
    m_command13->setObjectName(QStringLiteral("Command13"));
    m_command13->setGeometry(96, 12, 54, 21);
    connect(m_command13, &QPushButton::clicked, this, &KeySpeedPanel::Command13_Click);

    m_slider1 = new QSlider(Qt::Horizontal, m_frame9);
    m_slider1->setObjectName(QStringLiteral("Slider1"));
    const RadioCapabilities &capabilities = m_radio.capabilities();
    m_slider1->setRange(capabilities.minimumKeySpeed, capabilities.maximumKeySpeed);
    m_slider1->setValue(DesignSpeed);
    m_slider1->setSingleStep(1);
    m_slider1->setPageStep(5);
    m_slider1->setGeometry(6, 33, 145, 17);
    // None of the three has a tooltip; the frame's is not theirs.
    for (QWidget *control :
         {static_cast<QWidget *>(m_label6), static_cast<QWidget *>(m_command13), static_cast<QWidget *>(m_slider1)}) {
        PlainToolTip::keepOwn(control);
    }
    // Every change of value by the operator (drag, track click, keys, wheel).
    connect(m_slider1, &QSlider::valueChanged, this, &KeySpeedPanel::Slider1_Change);

    describeBreakIn(m_command3, false);
    Accessibility::describe(m_label6, tr("キースピード"), QString());
    Accessibility::describe(m_slider1, tr("キースピード"),
                            tr("モールスの送信速度を %1～%2 WPM の範囲で選びます。確定ボタンで無線機に設定します。")
                                .arg(capabilities.minimumKeySpeed)
                                .arg(capabilities.maximumKeySpeed));
    Accessibility::describe(m_command13, tr("キースピードを確定"),
                            tr("スライダーで選んだキースピードを無線機に設定します。"));
    // The operator picks the speed, then confirms it.
    QWidget::setTabOrder(m_slider1, m_command13);
}

void KeySpeedPanel::Slider1_Change()
{
    // A blank holds the sign position, as numbers shown without a pattern do.
    m_label6->setText(QStringLiteral(" %1WPM").arg(m_slider1->value()));
    Accessibility::announceValue(m_label6);
}

void KeySpeedPanel::Command13_Click()
{
    m_radio.setKeySpeed(m_slider1->value());
}

void KeySpeedPanel::Command3_Click()
{
    if (m_breakInOn == 1) {
        m_radio.setBreakIn(false);
        m_command3->setBackColor(OleColor::ButtonFace);
        m_breakInOn = 0;
    } else {
        m_radio.setBreakIn(true);
        m_command3->setBackColor(OleColor::Green);
        m_breakInOn = 1;
    }
    describeBreakIn(m_command3, m_breakInOn == 1);
}

void KeySpeedPanel::showBreakIn(bool on)
{
    m_breakInOn = on ? 1 : 0;
    m_command3->setBackColor(on ? OleColor::Green : OleColor::ButtonFace);
    describeBreakIn(m_command3, on);
}

void KeySpeedPanel::showSpeed(const QString &caption, int value)
{
    m_label6->setText(caption);
    Accessibility::announceValue(m_label6);
    // Start-up shows the radio's own three digits; the slider only follows.
    const QSignalBlocker quiet(m_slider1);
    m_slider1->setValue(value);
}
