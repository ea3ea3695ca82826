// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ColorButton.h"

#include "ui/OleColor.h"

#include <QEvent>

ColorButton::ColorButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
    , m_backColor(OleColor::ButtonFace)
{
    applyColor();
}

void ColorButton::setBackColor(quint32 color)
{
    if (color == m_backColor) {
        return;
    }
    m_backColor = color;
    applyColor();
}

void ColorButton::changeEvent(QEvent *event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        applyColor();
    }
}

void ColorButton::applyColor()
{
    const QColor colour = OleColor::toQColor(m_backColor);
    const QColor text = colour.lightnessF() < 0.45 ? QColor(Qt::white) : QColor(Qt::black);
    // A disabled button keeps its colour: a locked record button stays red,
    // and its caption stays readable on it.
    const QColor disabledText = m_backColor == OleColor::ButtonFace ? colour.darker(150) : text;
    setStyleSheet(QStringLiteral("ColorButton { background-color: %1; color: %2; border: 1px solid %3;"
                                 " border-radius: 3px; padding: 2px 6px; }"
                                 "ColorButton:hover { border-color: palette(highlight); }"
                                 "ColorButton:focus { border: 2px solid palette(highlight); }"
                                 "ColorButton:pressed { background-color: %4; }"
                                 "ColorButton:disabled { color: %5; }")
                      .arg(colour.name(), text.name(), colour.darker(160).name(), colour.darker(115).name(),
                           disabledText.name()));
}
