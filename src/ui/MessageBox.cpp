// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/MessageBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageHandler &handler()
{
    static MessageHandler current;
    return current;
}
} // namespace

void ShowMessage(const QString &text)
{
    if (handler()) {
        handler()(text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle, text, QMessageBox::Ok, QApplication::activeWindow());
    box.setObjectName(QStringLiteral("RigdeckMessage"));
    box.exec();
}

MessageHandler setMessageHandler(MessageHandler newHandler)
{
    MessageHandler previous = std::move(handler());
    handler() = std::move(newHandler);
    return previous;
}
