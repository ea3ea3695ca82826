// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RadioLink.h"

#include "radio/Line.h"

#include <QCoreApplication>
#include <QThread>

RadioLink::RadioLink(Line &port, QObject *parent)
    : QObject(parent)
    , m_port(port)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(ResponseTime);
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &RadioLink::Timer1_Timer);
    connect(&m_port, &Line::dataArrived, this, &RadioLink::MSComm1_OnComm);
    connect(&m_port, &Line::commandSent, this, &RadioLink::commandSent);
    connect(&m_port, &Line::commandDropped, this, &RadioLink::commandDropped);
    connect(&m_port, &Line::commandRefused, this, &RadioLink::commandRefused);
    connect(&m_port, &Line::stateChanged, this, &RadioLink::lineStateChanged);
}

bool RadioLink::write(const QString &command, bool query)
{
    if (command.isEmpty()) {
        return true;
    }
    // The line says what became of the command: sent, or dropped and why.
    // A port that was never open drops it without that counting as a failure.
    const bool wasOpen = m_port.state() != Line::State::Closed;
    const QByteArray bytes = command.toLatin1();
    const bool taken = query ? m_port.outputQuery(bytes) : m_port.output(bytes);
    return taken || !wasOpen;
}

void RadioLink::reportQueryFailure(const QString &query, const QString &why)
{
    emit queryFailed(query.toLatin1(), why);
}

bool RadioLink::SendCommand(const QString &command)
{
    return write(command, false);
}

bool RadioLink::ReadResponse(QString &reply)
{
    return waitForReply(reply, QByteArray());
}

RadioLink::QueryResult RadioLink::Query(const QString &query, QString &reply)
{
    // Leftovers from before (an unprompted report, the rest of a double
    // reply) would otherwise be taken as the answer.
    discardWaiting();
    bool lineOk = write(query, true);
    if (lineOk) {
        QThread::msleep(m_answerRules.pause.count());
        lineOk = waitForReply(reply, query.toLatin1());
    }
    if (!lineOk) {
        reportQueryFailure(query, QStringLiteral("the line failed"));
        return QueryResult::LineFailed;
    }
    if (m_responseTimedOut == 1) {
        reportQueryFailure(query, QStringLiteral("no answer within %1 ms").arg(m_timer1.interval()));
        return QueryResult::TimedOut;
    }
    return QueryResult::Answered;
}

bool RadioLink::waitForReply(QString &reply, const QByteArray &query)
{
    // The wait shares one timer, one flag and one buffer: a nested wait would
    // steal the outer reply and leave it without a time-out. None is made.
    if (m_waiting) {
        qWarning("rigdeck: a wait for a reply inside another was refused");
        reply.clear();
        return false;
    }
    m_waiting = true;
    reply.clear();
    m_timer1.start();
    m_responseTimedOut = 0;
    bool lineOk = true;
    QByteArray received;
    for (;;) {
        QByteArray chunk;
        if (!take(chunk)) {
            lineOk = false;
            break;
        }
        received += chunk;
        if (!query.isEmpty()) {
            // Another command's complete message, or the query coming back
            // from a line that echoes, is not the answer; the answer itself
            // ends at its ";".
            qsizetype end;
            while ((end = received.indexOf(';')) >= 0 && m_answerRules.isNotTheAnswer
                   && m_answerRules.isNotTheAnswer(received.left(end + 1), query)) {
                emit messageSkipped(received.left(end + 1));
                received.remove(0, end + 1);
            }
            if (end >= 0) {
                received.truncate(end + 1);
            }
        }
        if (received.contains(';')) {
            break;
        }
        if (received.size() > MaxReplyBytes) {
            received.remove(0, received.size() - MaxReplyBytes);
        }
        QThread::msleep(PollPause.count());
        if (m_responseTimedOut == 1) {
            emit noResponse();
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    m_timer1.stop();
    reply = QString::fromLatin1(received);
    if (!received.isEmpty()) {
        emit replyReceived(received);
    }
    m_waiting = false;
    return lineOk;
}

void RadioLink::discardWaiting()
{
    QByteArray stale;
    if (m_port.portOpen() && take(stale) && !stale.isEmpty()) {
        emit messageSkipped(stale);
    }
}

void RadioLink::Timer1_Timer()
{
    m_responseTimedOut = 1;
}

void RadioLink::MSComm1_OnComm()
{
    // Replies are only ever taken by a wait. Whatever arrives outside one (a
    // radio reporting its dial, line noise) is read and dropped as it comes,
    // so it neither piles up nor becomes the beginning of the next answer.
    if (!m_waiting && !m_taking && m_port.portOpen()) {
        QByteArray unsolicited;
        take(unsolicited);
    }
}

bool RadioLink::take(QByteArray &bytes)
{
    // Taking bytes may itself raise the receive event; they are ours already.
    const bool outer = m_taking;
    m_taking = true;
    const bool lineOk = m_port.input(bytes);
    m_taking = outer;
    return lineOk;
}
