// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class ColorButton;
class QGroupBox;
class QLabel;
class QPushButton;
class QSlider;
class QWidget;
class Radio;

// Key speed (slider, label, confirm button) and the break-in toggle of the
// middle band.
class KeySpeedPanel : public QObject
{
    Q_OBJECT
public:
    // Where the slider stands until the radio has told its speed.
    static constexpr int DesignSpeed = 30;

    KeySpeedPanel(Radio &radio, QWidget *middleBand);

    QGroupBox *Frame9() const { return m_frame9; }
    QLabel *Label6() const { return m_label6; }
    QPushButton *Command13() const { return m_command13; }
    QSlider *Slider1() const { return m_slider1; }
    ColorButton *Command3() const { return m_command3; }
    int BreakInOn() const { return m_breakInOn; }

    void Slider1_Change();
    void Command13_Click();
    void Command3_Click();

    // Start-up shows what the radio reported.
    void showBreakIn(bool on);
    void showSpeed(const QString &caption, int value);

private:
    Radio &m_radio;
    ColorButton *m_command3;
    QGroupBox *m_frame9;
    QLabel *m_label6;
    QPushButton *m_command13;
    QSlider *m_slider1;
    int m_breakInOn = 0;
};
