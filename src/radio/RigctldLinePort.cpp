// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RigctldLinePort.h"

RigctldLinePort::RigctldLinePort(QObject *parent)
    : ServerLinePort(Scheme, DefaultPort, parent)
{
}

QByteArray RigctldLinePort::requestFor(const QByteArray &command, bool query)
{
    // rigctld splits its input at blanks and reads a backslash as the start
    // of a long command name or of a hex byte.
    const bool plain =
        std::all_of(command.cbegin(), command.cend(), [](char c) { return c > ' ' && c < 0x7f && c != '\\'; });
    QByteArray word;
    if (plain) {
        word = command;
    } else {
        for (const char c : command) {
            word += "\\0x" + QByteArray::number(uchar(c), 16).toUpper().rightJustified(2, '0');
        }
    }
    return "+W " + word + (query ? " ;\n" : " 0\n");
}

QByteArray RigctldLinePort::request(const Request &request) const
{
    return requestFor(request.command, request.query);
}

ServerLinePort::Answer RigctldLinePort::parseAnswer(QByteArray &buffer, const Request &request, QByteArray &reply)
{
    Q_UNUSED(request);
    // Lines are read once each and taken off the buffer together at the end;
    // the radio's reply, on an earlier line than rigctld's RPRT, is kept.
    qsizetype start = 0;
    const auto answered = [&](Answer answer) {
        buffer.remove(0, start);
        return answer;
    };
    for (;;) {
        // Newer rigctld ends the reply with a NUL instead of a line feed.
        qsizetype end = start;
        while (end < buffer.size() && buffer[end] != '\n' && buffer[end] != '\0') {
            ++end;
        }
        if (end == buffer.size()) {
            return answered(Answer::Incomplete);
        }
        QByteArray line = buffer.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        const qsizetype replyAt = line.indexOf("Reply:");
        if (replyAt >= 0) {
            line = line.mid(replyAt + 6);
            if (line.startsWith(' ')) {
                line.remove(0, 1);
            }
            // The radio's reply ends at its ";"; what follows on the same
            // line (an RPRT when the radio said nothing) is rigctld's.
            const qsizetype semicolon = line.indexOf(';');
            if (semicolon >= 0) {
                m_reply = line.left(semicolon + 1);
                line = line.mid(semicolon + 1);
            } else if (const qsizetype rprt = line.indexOf("RPRT"); rprt >= 0) {
                m_reply = line.left(rprt).trimmed();
                line = line.mid(rprt);
            } else {
                m_reply = line;
                continue;
            }
        }
        const qsizetype rprt = line.indexOf("RPRT");
        if (rprt < 0) {
            continue; // the echo of the command, or an empty line
        }
        bool isNumber = false;
        const int code = line.mid(rprt + 4).trimmed().toInt(&isNumber);
        if (!isNumber) {
            return answered(Answer::Garbled);
        }
        if (code < 0) {
            reply = line.mid(rprt).trimmed();
            return answered(Answer::Refused);
        }
        reply = m_reply;
        return answered(Answer::Done);
    }
}
