// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/PlainToolTip.h"

#include <QApplication>
#include <QEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QRect>
#include <QScreen>
#include <QToolTip>
#include <QWidget>

namespace {

// The window Qt shows every tooltip in: a label of its own, one at a time.
QLabel *shownTipWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowType() == Qt::ToolTip
            && (window->inherits("QTipLabel") || window->objectName() == QLatin1String("qtooltip_label"))) {
            return qobject_cast<QLabel *>(window);
        }
    }
    return nullptr;
}

// The text as markup that reads exactly as the text does: every character
// escaped, blanks kept.
QString asMarkup(const QString &text)
{
    return QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() + QStringLiteral("</p>");
}

class OwnToolTipOnly : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ToolTip || !watched->isWidgetType()) {
            return false;
        }
        auto *widget = static_cast<QWidget *>(watched);
        const QString text = widget->toolTip();
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            PlainToolTip::show(static_cast<QHelpEvent *>(event)->globalPos(), text, widget, QRect(),
                               widget->toolTipDuration());
        }
        // Handled here: Qt would otherwise hand an unanswered request on to
        // the frame around the widget.
        event->accept();
        return true;
    }
};

} // namespace

namespace PlainToolTip {

void keepOwn(QWidget *widget)
{
    widget->installEventFilter(new OwnToolTipOnly(widget));
}

void show(const QPoint &globalPos, const QString &text, QWidget *widget, const QRect &rect, int msecDisplayTime)
{
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    // A tip window already shown would be laid out anew for the escaped text
    // below; a new one is made instead.
    if (QLabel *shown = shownTipWindow()) {
        shown->hide();
    }
    // Escaped, the text is safe however the tip window takes it.
    QToolTip::showText(globalPos, asMarkup(text), widget, rect, msecDisplayTime);
    // Then the window is told to take its text as it stands, so that it holds
    // (and a screen reader finds) the text itself.
    if (QLabel *window = shownTipWindow()) {
        window->setTextFormat(Qt::PlainText);
        window->setText(text);
        // On one line, as Qt shows a plain tooltip, unless wider than the screen.
        window->setWordWrap(false);
        const QScreen *screen = window->screen();
        if (screen && window->sizeHint().width() > screen->availableGeometry().width()) {
            window->setWordWrap(true);
        }
        window->resize(window->sizeHint());
    }
}

} // namespace PlainToolTip
