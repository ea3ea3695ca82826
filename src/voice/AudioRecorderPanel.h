// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

class ColorButton;
class QGroupBox;
class QPushButton;
class QWidget;
class Radio;

// The radio's recorder of received audio: a record pair and a play pair, each
// a start button and a STOP button.
class AudioRecorderPanel : public QObject
{
    Q_OBJECT
public:
    AudioRecorderPanel(Radio &radio, QWidget *playbackBand);

    QGroupBox *Frame6() const { return m_frame6; }
    QGroupBox *Frame7() const { return m_frame7; }
    ColorButton *Command4() const { return m_command4; }
    QPushButton *Command5() const { return m_command5; }
    ColorButton *Command6() const { return m_command6; }
    QPushButton *Command7() const { return m_command7; }

    void Command4_Click();
    void Command5_Click();
    void Command6_Click();
    void Command7_Click();

private:
    Radio &m_radio;
    QGroupBox *m_frame6;
    QGroupBox *m_frame7;
    ColorButton *m_command4;
    QPushButton *m_command5;
    ColorButton *m_command6;
    QPushButton *m_command7;
};
