// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Line.h"

#include <QByteArray>
#include <QByteArrayList>

// A line whose far end answers each of start-up's queries with the next
// reply from a script, handing it over a few bytes at a time. A reply of
// the single byte 0xFF stands for the line failing while it is read; an
// empty or missing reply is a radio that stays silent.
class ScriptedSerialPort : public Line
{
    Q_OBJECT
public:
    // chunk: bytes per read, 0 for a whole reply at once.
    explicit ScriptedSerialPort(QByteArrayList replies, int chunk, QObject *parent = nullptr);

    bool portOpen() const override { return m_open; }
    bool openLine() override;
    void close() override { m_open = false; }
    bool output(const QByteArray &data) override;
    bool input(QByteArray &data) override;

    // Everything the program wrote, in order.
    const QByteArray &written() const { return m_written; }

private:
    QByteArrayList m_replies;
    qsizetype m_nextReply = 0;
    int m_chunk;
    QByteArray m_pending;
    QByteArray m_written;
    bool m_open = false;
    bool m_failed = false;
};
