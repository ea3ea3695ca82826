// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGroupBox>
#include <QLabel>
#include <QWidget>

namespace Accessibility {

namespace {
// Asked once for every class a widget derives from; classes of their own, such
// as QDialog, are answered by Qt before it comes to QWidget.
QAccessibleInterface *dialogWindow(const QString &className, QObject *object)
{
    if (className != QLatin1String("QWidget") || !object || !object->isWidgetType()) {
        return nullptr;
    }
    auto *widget = static_cast<QWidget *>(object);
    if (widget->windowType() != Qt::Dialog) {
        return nullptr;
    }
    return new QAccessibleWidget(widget, QAccessible::Dialog);
}
} // namespace

void describe(QWidget *widget, const QString &name, const QString &description)
{
    widget->setAccessibleName(name);
    // Qt tells a listening screen reader of the change itself. Japanese runs
    // its sentences together; English wants a blank between them.
    const bool blank = !description.isEmpty() && !widget->toolTip().isEmpty() && description.back().unicode() < 0x3000
                       && !description.back().isSpace();
    widget->setAccessibleDescription(description + (blank ? QStringLiteral(" ") : QString()) + widget->toolTip());
}

void nameAfterTitle(QGroupBox *frame)
{
    describe(frame, frame->title(), QString());
}

void presentDialogsAsDialogs()
{
    static const bool installed = [] {
        QAccessible::installFactory(dialogWindow);
        return true;
    }();
    Q_UNUSED(installed);
}

void announceValue(QLabel *label)
{
    label->setAccessibleDescription(label->text().trimmed());
}

} // namespace Accessibility
