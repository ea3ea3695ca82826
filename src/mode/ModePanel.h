// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <array>
#include <optional>

class ClickLabel;
class QGroupBox;
class QWidget;
class RadioLink;

// The five operating-mode labels of the middle band, clicked like buttons.
class ModePanel : public QObject
{
    Q_OBJECT
public:
    // Screen order LSB, USB, FM, AM, CW.
    static constexpr int Modes = 5;

    ModePanel(RadioLink &link, QWidget *middleBand);

    QGroupBox *Frame11() const { return m_frame11; }
    ClickLabel *Label2(int i) const { return m_label2[i]; }

    void Label2_Click(int index);

    // Paints the label of index red and every other one white.
    void highlight(int index);
    // Start-up: the mode the radio reported, nothing for no report, -1 for
    // one the window does not offer (the radio is then put into LSB). False
    // when the line failed that command.
    bool showReportedMode(std::optional<int> index);

private:
    RadioLink &m_link;
    QGroupBox *m_frame11;
    std::array<ClickLabel *, Modes> m_label2{};
};
