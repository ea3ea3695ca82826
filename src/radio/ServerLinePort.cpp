// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/ServerLinePort.h"

ServerLinePort::ServerLinePort(QString scheme, quint16 defaultPort, QObject *parent)
    : SocketLine(std::move(scheme), defaultPort, parent)
{
    // Whatever arrives is read in small pieces, each looked at once.
    socket().setReadBufferSize(ReadBufferBytes);
    // Only a look: an answer or a close found here goes through the
    // socket's own signals, as if its notice had come.
    m_answerCheck.setInterval(AnswerCheck);
    connect(&m_answerCheck, &QTimer::timeout, this, [this] {
        if (connected()) {
            socket().waitForReadyRead(0);
        }
    });
    m_answerDeadline.setSingleShot(true);
    m_answerDeadline.setInterval(AnswerDeadline);
    connect(&m_answerDeadline, &QTimer::timeout, this, [this] {
        fail(QStringLiteral("no answer from the server within %1 s").arg(AnswerDeadline.count() / 1000));
    });
}

bool ServerLinePort::output(const QByteArray &data)
{
    return send(data, false);
}

bool ServerLinePort::outputQuery(const QByteArray &data)
{
    return send(data, true);
}

bool ServerLinePort::send(const QByteArray &command, bool query)
{
    if (mayCloseAfterAnswer() && !m_request && connected()) {
        // A look first: a server that closes after each answer may have
        // closed already without the socket's notice having come (on
        // Windows it can wait for the next look); the request then goes on
        // a new connection at once, or waits if the look found the line failed.
        socket().waitForReadyRead(0);
    }
    if (!portOpen()) {
        return accountFor(command, false);
    }
    if (m_request) {
        // One at a time: whoever hands over commands waits for ready().
        emit commandDropped(command, DropReason::QueueFull);
        return false;
    }
    m_request = Request{command, query, sendBy()};
    m_written = false;
    m_resent = false;
    if (connected()) {
        return writeRequest();
    }
    if (socket().state() == QAbstractSocket::UnconnectedState) {
        // The server closed the connection after its last answer; the
        // request leaves once connected again.
        connectAgain();
    }
    return true;
}

bool ServerLinePort::writeRequest()
{
    const QByteArray bytes = request(*m_request);
    const QByteArray command = m_request->command;
    m_written = true;
    m_answerBytes = 0;
    m_buffer.clear();
    answerStarts();
    m_answerDeadline.start();
    m_answerCheck.start();
    if (socket().write(bytes) != bytes.size()) {
        m_request.reset();
        fail(QStringLiteral("cannot write to the server"));
        return accountFor(command, false);
    }
    socket().flush();
    if (!m_resent) {
        emit commandSent(command);
    }
    return true;
}

void ServerLinePort::connectionMade()
{
    if (!m_request || m_written) {
        return;
    }
    if (m_request->sendBy.hasExpired()) {
        const QByteArray command = m_request->command;
        m_request.reset();
        emit commandDropped(command, DropReason::TooLate);
        emit ready();
        return;
    }
    writeRequest();
}

void ServerLinePort::takeArrivals()
{
    if (m_reading) {
        return;
    }
    m_reading = true;
    m_buffer += socket().readAll();
    if (!m_request || !m_written) {
        // Nothing was asked: whatever the server says is not an answer.
        m_buffer.clear();
        m_reading = false;
        return;
    }
    QByteArray reply;
    const qsizetype before = m_buffer.size();
    const Answer answer = parseAnswer(m_buffer, *m_request, reply);
    m_answerBytes += before - m_buffer.size();
    m_reading = false;
    switch (answer) {
    case Answer::Incomplete:
        if (m_answerBytes + m_buffer.size() > MaxAnswerBytes) {
            fail(QStringLiteral("more than %1 KiB from the server for one request").arg(MaxAnswerBytes / 1024));
        }
        break;
    case Answer::Done:
        finish(reply);
        break;
    case Answer::Refused:
        emit commandRefused(m_request->command, reply);
        finish(QByteArray());
        break;
    case Answer::Garbled:
        fail(QStringLiteral("the server's answer cannot be read"));
        break;
    }
}

void ServerLinePort::finish(const QByteArray &reply)
{
    const bool query = m_request->query;
    m_request.reset();
    m_written = false;
    m_answerDeadline.stop();
    m_answerCheck.stop();
    m_buffer.clear();
    if (query) {
        m_replies += reply;
        emit dataArrived();
    }
    emit ready();
}

void ServerLinePort::connectionClosed()
{
    // An answer may have come with the close.
    takeArrivals();
    const bool closedByServer = socket().error() == QAbstractSocket::RemoteHostClosedError;
    if (mayCloseAfterAnswer() && closedByServer) {
        if (!m_request || !m_written) {
            return; // connected again for the next request, not before
        }
        if (m_buffer.isEmpty() && !m_resent) {
            // The request crossed the server closing the connection after its
            // last answer: it was never read, so it goes again, once.
            m_resent = true;
            m_written = false;
            connectAgain();
            return;
        }
    }
    fail(QStringLiteral("the connection was closed by the server"));
}

void ServerLinePort::forget()
{
    if (m_request && !m_written) {
        emit commandDropped(m_request->command, DropReason::LineDown);
    }
    m_request.reset();
    m_written = false;
    m_answerDeadline.stop();
    m_answerCheck.stop();
    m_buffer.clear();
    m_replies.clear();
}

bool ServerLinePort::input(QByteArray &data)
{
    data.clear();
    if (portOpen()) {
        takeArrivals();
    }
    data = std::exchange(m_replies, {});
    return portOpen() || !data.isEmpty();
}
