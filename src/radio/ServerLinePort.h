// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/SocketLine.h"

#include <QTimer>

#include <chrono>
#include <optional>

// A radio reached through a server that holds its CAT port for several
// programs (rigctld, flrig). Every command travels as one request on one
// persistent TCP connection, one request at a time: the line is busy
// (readyToSend() false) until the server has answered, and says ready()
// then. Only a start-up query asks the server for the radio's reply, which
// input() then hands over.
//
// A slow answer is slow, not a failure: the line fails only when the
// connection closes or breaks, when the server says something that is no
// answer, or when a request has waited longer than AnswerDeadline.
class ServerLinePort : public SocketLine
{
    Q_OBJECT
public:
    // rigctld serves its clients one at a time, and a client's command may
    // wait for the radio up to the model's time-out on each of its tries:
    // for the FT-2000 in Hamlib 4.5, 2 s and 3 retries, so up to 8 s for a
    // command of another client ahead of ours, then up to 2 s for our own
    // pass-through, which does not retry. flrig answers within its own
    // shorter time-outs. An answer later than this is not coming.
    static constexpr std::chrono::milliseconds AnswerDeadline{15000};
    // While a request waits for its answer, the connection is looked at this
    // often: a close whose notice went missing (seen with Windows sockets
    // under Wine) is found.
    static constexpr std::chrono::milliseconds AnswerCheck{1000};
    // A real answer is under a hundred bytes; a peer that sends more for one
    // request is not the server the line was told of.
    static constexpr qsizetype MaxAnswerBytes = 64 * 1024;
    static constexpr qint64 ReadBufferBytes = 16 * 1024;

    bool output(const QByteArray &data) override;
    bool outputQuery(const QByteArray &data) override;
    bool input(QByteArray &data) override;
    bool readyToSend() const override { return portOpen() && !m_request; }

protected:
    ServerLinePort(QString scheme, quint16 defaultPort, QObject *parent);

    struct Request {
        QByteArray command;
        bool query = false;
        QDeadlineTimer sendBy;
    };
    enum class Answer {
        Incomplete, // more is to come
        Done,       // reply holds the radio's reply (empty when it gave none)
        Refused,    // the server refused the command; reply holds what it said
        Garbled,    // not an answer of this server at all
    };

    // The bytes that carry one command to the server.
    virtual QByteArray request(const Request &request) const = 0;
    // A request has been written; its answer starts.
    virtual void answerStarts() {}
    // Looks at what the server has sent so far for the request in flight and
    // takes off the buffer what it has read.
    virtual Answer parseAnswer(QByteArray &buffer, const Request &request, QByteArray &reply) = 0;
    // Whether the server may close the connection after an answer, to be
    // connected again for the next request (HTTP without keep-alive).
    virtual bool mayCloseAfterAnswer() const { return false; }

private:
    bool send(const QByteArray &command, bool query);
    bool writeRequest();
    void finish(const QByteArray &reply);
    void takeArrivals() override;
    void connectionMade() override;
    void connectionClosed() override;
    void forget() override;

    QTimer m_answerCheck;
    QTimer m_answerDeadline;
    std::optional<Request> m_request;
    bool m_written = false;
    bool m_resent = false;
    bool m_reading = false;
    qsizetype m_answerBytes = 0;
    QByteArray m_buffer;
    QByteArray m_replies;
};
