// SPDX-License-Identifier: GPL-3.0-or-later
#include "mode/ModePanel.h"

#include "ui/Accessibility.h"
#include "ui/ClickLabel.h"
#include "ui/OleColor.h"
#include "ui/Twips.h"
#include "radio/Ft2000Cat.h"
#include "radio/RadioLink.h"

#include <QGroupBox>

namespace {
const QString Blanks17 = QString(17, QLatin1Char(' '));
const QString Blanks16 = QString(16, QLatin1Char(' '));
} // namespace

ModePanel::ModePanel(RadioLink &link, QWidget *middleBand)
    : QObject(middleBand)
    , m_link(link)
{
    m_frame11 = new QGroupBox(tr("運用モード"), middleBand);
    m_frame11->setObjectName(QStringLiteral("Frame11"));
    m_frame11->setGeometry(twips(1920, 210, 5565, 780));
    Accessibility::nameAfterTitle(m_frame11);

    const QString captions[Modes] = {Blanks17 + QStringLiteral("LSB"), Blanks16 + QStringLiteral("USB"),
                                     Blanks17 + tr("ＦＭ"), Blanks17 + tr("ＡM"), Blanks17 + tr("ＣＷ")};
    constexpr int left = 8, top = 17, width = 68, pitch = 72, height = 26;
    for (int i = 0; i < Modes; ++i) {
        m_label2[i] = new ClickLabel(captions[i], m_frame11);
        m_label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        m_label2[i]->setGeometry(left + i * pitch, top, width, height);
        connect(m_label2[i], &ClickLabel::clicked, this, [this, i] { Label2_Click(i); });
        // The captions mix full- and half-width letters ("ＡM"); the names
        // use one width, as an operator types them to find a control.
        const QString mode = captions[i].trimmed().normalized(QString::NormalizationForm_KC);
        Accessibility::describe(m_label2[i], mode, tr("無線機の運用モードを %1 に切り替えます。").arg(mode));
    }
}

bool ModePanel::showReportedMode(std::optional<int> index)
{
    if (index && *index < 0) {
        // A mode the window does not offer: the radio is put into LSB.
        if (!m_link.SendCommand(Ft2000Cat::modeSet(0))) {
            return false;
        }
        index = 0;
    }
    if (index) {
        highlight(*index);
    }
    return true;
}

void ModePanel::Label2_Click(int index)
{
    m_link.SendCommand(Ft2000Cat::modeSet(index));
    highlight(index);
}

void ModePanel::highlight(int index)
{
    for (int i = 0; i < Modes; ++i) {
        m_label2[i]->setBackColor(i == index ? OleColor::Red : OleColor::White);
        m_label2[i]->setChecked(i == index);
    }
}
