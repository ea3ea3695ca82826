// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <QList>
#include <optional>

class ClickLabel;
class QGroupBox;
class QWidget;
class Radio;

// The operating-mode labels of the middle band, one for each mode the radio
// offers, in its order (LSB, USB, FM, AM, CW), clicked like buttons.
class ModePanel : public QObject
{
    Q_OBJECT
public:
    ModePanel(Radio &radio, QWidget *middleBand);
    int modes() const { return int(m_label2.size()); }

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
    // A mode's caption as drawn: blanks, then its letters.
    static QString caption(const QString &mode);

    Radio &m_radio;
    QGroupBox *m_frame11;
    QList<ClickLabel *> m_label2;
};
