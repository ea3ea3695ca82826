#include "app/ColorButton.h"

#include "app/OleColor.h"

#include <QEvent>
#include <QStyleFactory>

namespace {
QStyle *colourStyle()
{
    // One shared instance, owned by the application for the whole run.
    static QStyle *style = QStyleFactory::create(QStringLiteral("Fusion"));
    return style;
}
} // namespace

ColorButton::ColorButton(const QString &caption, QWidget *parent)
    : QPushButton(caption, parent)
    , m_backColor(OleColor::ButtonFace)
{
    if (QStyle *style = colourStyle()) {
        setStyle(style);
    }
    applyColor();
}

void ColorButton::setBackColor(quint32 color)
{
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
    QPalette pal = palette();
    const QColor colour = OleColor::toQColor(m_backColor);
    // Disabled buttons keep their colour: a locked record button stays red.
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Button, colour);
    }
    setPalette(pal);
    update();
}
