// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <array>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;
class RadioLink;

// The contest memory keyer frame: five rows, each with the radio's text
// memory and the buttons that play text memory and message memory n.
class KeyerPanel : public QObject
{
    Q_OBJECT
public:
    static constexpr int Channels = 5;

    KeyerPanel(RadioLink &link, QWidget *window);

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

    RadioLink &m_link;
    QGroupBox *m_frame1;
    std::array<QLabel *, Channels> m_label1{};
    std::array<QLineEdit *, Channels> m_text1{};
    std::array<QPushButton *, Channels> m_command1{};
    std::array<QPushButton *, Channels> m_command2{};
};
