#include "app/ClickLabel.h"

#include "app/OleColor.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

ClickLabel::ClickLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
    , m_backColor(OleColor::WindowBackground)
    , m_foreColor(OleColor::WindowText)
{
    setAutoFillBackground(true);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    applyColors();
}

void ClickLabel::setBackColor(quint32 color)
{
    m_backColor = color;
    applyColors();
}

void ClickLabel::setForeColor(quint32 color)
{
    m_foreColor = color;
    applyColors();
}

void ClickLabel::applyColors()
{
    QPalette pal = palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Window, OleColor::toQColor(m_backColor));
        if (group != QPalette::Disabled) {
            pal.setColor(group, QPalette::WindowText, OleColor::toQColor(m_foreColor));
        }
    }
    setPalette(pal);
    update();
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    // Like a button: the click counts when the mouse is let go over the label.
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        if (rect().contains(event->position().toPoint())) {
            emit clicked();
        }
        event->accept();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void ClickLabel::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (!event->isAutoRepeat()) {
            emit clicked();
        }
        event->accept();
        return;
    default:
        QLabel::keyPressEvent(event);
    }
}

void ClickLabel::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    // The caption keeps its designed leading blanks; on screen the name is
    // centred, since blanks are narrower or wider in every font.
    QPainter painter(this);
    style()->drawItemText(&painter, contentsRect(), Qt::AlignCenter, palette(), isEnabled(), text().trimmed(),
                          foregroundRole());
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        option.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
