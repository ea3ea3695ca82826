// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>

inline const QString ApplicationTitle = QStringLiteral("RIGDECK");

// Every message the program shows goes through here: modal, OK only, no icon,
// titled with the application title.
void ShowMessage(const QString &text);

// Tests install a handler that records the text and answers OK at once; an
// empty handler restores the real message box. Returns the previous handler.
using MessageHandler = std::function<void(const QString &)>;
MessageHandler setMessageHandler(MessageHandler handler);
