// SPDX-License-Identifier: GPL-3.0-or-later
#include "mode/ModePanel.h"

#include "ui/Accessibility.h"
#include "ui/ClickLabel.h"
#include "ui/OleColor.h"
#include "ui/Twips.h"
#include "radio/Radio.h"

#include <QGroupBox>

namespace {
const QString Blanks17 = QString(17, QLatin1Char(' '));
const QString Blanks16 = QString(16, QLatin1Char(' '));
} // namespace

ModePanel::ModePanel(Radio &radio, QWidget *middleBand)
    : QObject(middleBand)
    , m_radio(radio)
{
    m_frame11 = new QGroupBox(tr("運用モード"), middleBand);
    m_frame11->setObjectName(QStringLiteral("Frame11"));
    m_frame11->setGeometry(twips(1920, 210, 5565, 780));
    Accessibility::nameAfterTitle(m_frame11);

    constexpr int left = 8, top = 17, width = 68, pitch = 72, height = 26;
    const QList<RadioCapabilities::Mode> &modes = m_radio.capabilities().modes;
    for (int i = 0; i < modes.size(); ++i) {
        const QString drawn = caption(modes[i].name);
        m_label2.append(new ClickLabel(drawn, m_frame11));
        m_label2[i]->setObjectName(QStringLiteral("Label2_%1").arg(i));
        m_label2[i]->setGeometry(left + i * pitch, top, width, height);
        connect(m_label2[i], &ClickLabel::clicked, this, [this, i] { Label2_Click(i); });
        // The captions mix full- and half-width letters ("ＡM"); the names
        // use one width, as an operator types them to find a control.
        const QString mode = drawn.trimmed().normalized(QString::NormalizationForm_KC);
        Accessibility::describe(m_label2[i], mode, tr("無線機の運用モードを %1 に切り替えます。").arg(mode));
    }
}

QString ModePanel::caption(const QString &mode)
{
    // As designed: USB has one blank fewer, FM, AM and CW full-width letters.
    if (mode == QLatin1String("USB")) {
        return Blanks16 + mode;
    }
    const QString letters = mode == QLatin1String("FM")   ? tr("ＦＭ")
                            : mode == QLatin1String("AM") ? tr("ＡM")
                            : mode == QLatin1String("CW") ? tr("ＣＷ")
                                                          : mode;
    return Blanks17 + letters;
}

bool ModePanel::showReportedMode(std::optional<int> index)
{
    if (index && *index < 0) {
        // A mode the window does not offer: the radio is put into LSB.
        if (!m_radio.setMode(0)) {
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
    m_radio.setMode(index);
    highlight(index);
}

void ModePanel::highlight(int index)
{
    for (int i = 0; i < modes(); ++i) {
        m_label2[i]->setBackColor(i == index ? OleColor::Red : OleColor::White);
        m_label2[i]->setChecked(i == index);
    }
}
