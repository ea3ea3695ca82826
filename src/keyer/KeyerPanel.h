// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QObject>

#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class Radio;

// The contest memory keyer frame: a row for each keyer memory of the radio,
// with its text memory and the buttons that play text memory and message
// memory n.
class KeyerPanel : public QObject
{
    Q_OBJECT
public:
    KeyerPanel(Radio &radio, QWidget *window);

    QGroupBox *Frame1() const { return m_frame1; }
    QLineEdit *Text1(int i) const { return m_text1[i]; }
    QPushButton *Command1(int i) const { return m_command1[i]; }
    QPushButton *Command2(int i) const { return m_command2[i]; }

    // TEXT button: text memory index+1.
    void Command1_Click(int index);
    // MESSAGE button: message memory index+1.
    void Command2_Click(int index);

    // Start-up: the radio's text memory index+1 as it is to be shown; false
    // (nothing shown) for a reply that cannot hold one.
    bool showTextMemory(int index, const std::optional<QString> &text);

private:
    // As in contest loggers: F1-F5 play the message memories, Shift+F1-F5
    // the text memories, wherever the focus is in the window.
    void buildShortcuts(QWidget *window);

    Radio &m_radio;
    QGroupBox *m_frame1;
    QList<QLabel *> m_label1;
    QList<QLineEdit *> m_text1;
    QList<QPushButton *> m_command1;
    QList<QPushButton *> m_command2;
};
