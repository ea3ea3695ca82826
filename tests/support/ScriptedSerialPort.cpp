// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ScriptedSerialPort.h"

#include <utility>

namespace {
// Only these get an answer; a command that sets something is taken silently.
bool isQuery(const QByteArray &command)
{
    static const QByteArrayList queries = {"KM1;", "KM2;", "KM3;", "KM4;", "KM5;", "BI;", "MD0;", "KS;"};
    return queries.contains(command);
}
} // namespace

ScriptedSerialPort::ScriptedSerialPort(QByteArrayList replies, int chunk, QObject *parent)
    : Line(parent)
    , m_replies(std::move(replies))
    , m_chunk(chunk)
{
}

bool ScriptedSerialPort::openLine()
{
    m_open = true;
    return m_open;
}

bool ScriptedSerialPort::output(const QByteArray &data)
{
    m_written += data;
    if (isQuery(data) && m_nextReply < m_replies.size()) {
        const QByteArray &reply = m_replies[m_nextReply++];
        if (reply == QByteArray(1, '\xFF')) {
            m_failed = true;
        } else {
            // Bytes a previous reply left unread stay ahead of this one, as
            // they would in a real receive buffer.
            m_pending += reply;
            if (!reply.isEmpty()) {
                emit dataArrived(); // as a real line reports it
            }
        }
    }
    return true;
}

bool ScriptedSerialPort::input(QByteArray &data)
{
    if (m_failed) {
        return false;
    }
    const qsizetype take = m_chunk > 0 ? qMin<qsizetype>(m_chunk, m_pending.size()) : m_pending.size();
    data = m_pending.first(take);
    m_pending.remove(0, take);
    return true;
}
