// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/SerialPort.h"

#include <QList>
#include <QTcpSocket>
#include <QTimer>

#include <chrono>

// A radio reached through a server that holds its CAT port for several
// programs (rigctld, flrig). Every command travels as one request on one
// persistent TCP connection, one request at a time: further commands wait in
// a queue, without blocking anybody, until the server has answered the one
// before. A command returns as soon as it is queued; only a start-up query
// asks the server for the radio's reply, which input() then hands over.
// A server that goes away fails the line for good: commands are dropped from
// then on and nothing retries.
class ServerLinePort : public SerialPort
{
    Q_OBJECT
public:
    // A connection that cannot be made within this time takes the open
    // failure path, as a missing serial port does.
    static constexpr std::chrono::milliseconds ConnectTime{3000};
    // Commands waiting for the server beyond this are dropped: a server that
    // stopped answering must not make the program hoard them.
    static constexpr qsizetype MaxQueued = 64;
    // While a request waits for its answer, the connection is looked at this
    // often: a close whose notice went missing (seen with Windows sockets
    // under Wine) is found, and the line fails instead of waiting forever.
    static constexpr std::chrono::milliseconds AnswerCheck{1000};

    ~ServerLinePort() override;

    bool portOpen() const override;
    bool open() override;
    void close() override;
    bool output(const QByteArray &data) override;
    bool outputQuery(const QByteArray &data) override;
    bool input(QByteArray &data) override;

    // "SCHEME:HOST" or "SCHEME:HOST:PORT" (an IPv6 host in brackets); false
    // when the address is not of that form.
    static bool parseAddress(const QString &address, const QString &scheme, quint16 defaultPort, QString &host,
                             quint16 &port);

protected:
    ServerLinePort(QString address, QString scheme, quint16 defaultPort, QObject *parent);

    struct Request {
        QByteArray command;
        bool query = false;
    };
    enum class Answer { Incomplete, Done, Failed };

    // The bytes that carry one command to the server.
    virtual QByteArray request(const Request &request) const = 0;
    // Looks at what the server has sent so far for the request in flight.
    // Done: the answer is complete, its bytes are taken off the buffer and
    // reply holds the radio's reply (empty when it gave none). Failed: the
    // server reported an error. Incomplete: more is to come.
    virtual Answer parseAnswer(QByteArray &buffer, const Request &request, QByteArray &reply) = 0;
    // Whether the server may close the connection after an answer, to be
    // connected again for the next request (HTTP without keep-alive).
    virtual bool mayCloseAfterAnswer() const { return false; }

private:
    bool enqueue(const QByteArray &command, bool query);
    void sendNext();
    void readAnswers();
    void onDisconnected();
    void fail();

    QString m_address;
    QString m_scheme;
    quint16 m_defaultPort;
    QString m_host;
    quint16 m_port = 0;
    QTcpSocket m_socket;
    QTimer m_answerCheck;
    QList<Request> m_queue;
    bool m_inFlight = false;
    bool m_open = false;
    bool m_queryFailed = false;
    bool m_reading = false;
    bool m_resent = false;
    QByteArray m_buffer;
    QByteArray m_replies;
};
