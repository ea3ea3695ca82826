// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ClickLabel.h"

#include "ui/OleColor.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {
// Qt would show a plain static text, which a screen reader neither offers to
// press nor reports as chosen.
class ClickLabelAccessible : public QAccessibleWidget
{
public:
    explicit ClickLabelAccessible(ClickLabel *label)
        : QAccessibleWidget(label, QAccessible::RadioButton)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        // The caption's leading blanks only place it on screen.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return label()->text().trimmed();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.checkable = true;
        s.checked = label()->isChecked();
        return s;
    }

    QStringList actionNames() const override { return QStringList(pressAction()) + QAccessibleWidget::actionNames(); }

    void doAction(const QString &actionName) override
    {
        if (actionName == pressAction()) {
            if (widget()->isEnabled()) {
                emit label()->clicked();
            }
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }

private:
    ClickLabel *label() const { return static_cast<ClickLabel *>(widget()); }
};

QAccessibleInterface *clickLabelAccessible(const QString &className, QObject *object)
{
    if (object && object->isWidgetType() && className == QLatin1String(ClickLabel::staticMetaObject.className())) {
        return new ClickLabelAccessible(static_cast<ClickLabel *>(object));
    }
    return nullptr;
}
} // namespace

ClickLabel::ClickLabel(const QString &caption, QWidget *parent)
    : QLabel(caption, parent)
    , m_backColor(OleColor::WindowBackground)
    , m_foreColor(OleColor::WindowText)
{
    // Qt keeps the first interface made for a widget, so the factory must be
    // in place before anything asks for a label's.
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(clickLabelAccessible);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
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

void ClickLabel::setChecked(bool checked)
{
    if (checked == m_checked) {
        return;
    }
    m_checked = checked;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(this, changed);
    QAccessible::updateAccessibility(&event);
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
