// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/MessageBox.h"

#include <QStringList>

// Records every message the program shows and answers OK at once; restores the
// previous handler when it goes out of scope.
class MessageRecorder
{
public:
    MessageRecorder()
    {
        m_previous = setMessageHandler([this](const QString &text) { m_messages.append(text); });
    }
    ~MessageRecorder() { setMessageHandler(std::move(m_previous)); }
    MessageRecorder(const MessageRecorder &) = delete;
    MessageRecorder &operator=(const MessageRecorder &) = delete;

    const QStringList &messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QStringList m_messages;
    MessageHandler m_previous;
};
