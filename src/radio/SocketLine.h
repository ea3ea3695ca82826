// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Line.h"

#include <QTcpSocket>
#include <QTimer>

#include <chrono>

// A line over one TCP connection, its device named "SCHEME:HOST[:PORT]": a raw
// serial-over-network server, or a server that shares the radio with other
// programs. Opening at start-up waits for the connection; bringing a failed
// line back (reopen) connects in the background.
class SocketLine : public Line
{
    Q_OBJECT
public:
    // A connection that cannot be made within this time counts as not made:
    // at start-up the open failure path, later one more failed attempt.
    static constexpr std::chrono::milliseconds ConnectTime{3000};

    // "SCHEME:HOST" or "SCHEME:HOST:PORT", an IPv6 host in brackets; without
    // a port the default one, or no address at all when defaultPort is 0.
    static bool parseAddress(const QString &address, const QString &scheme, quint16 defaultPort, QString &host,
                             quint16 &port);
    // Connects the socket, processing events meanwhile; false (and the
    // socket aborted) when no connection is made within the time.
    static bool connectWithin(QTcpSocket &socket, const QString &host, quint16 port, std::chrono::milliseconds time);

    ~SocketLine() override;

    bool portOpen() const override;
    void reopen() override;
    void close() override;

protected:
    SocketLine(QString scheme, quint16 defaultPort, QObject *parent);

    bool openLine() override;

    QTcpSocket &socket() { return m_socket; }
    bool connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    // Connects again to the same address, in the background.
    void connectAgain();
    // The line failed: the connection is dropped and failed() is told, once.
    void fail(const QString &reason);

    // What arrived on the connection.
    virtual void takeArrivals() = 0;
    // The connection is up, by a connectAgain() of the line's own.
    virtual void connectionMade() {}
    // The server closed the connection while the line was open.
    virtual void connectionClosed();
    // A new connection starts from nothing; the line forgets what it held.
    virtual void forget() {}

private:
    void onConnected();
    void onError(QAbstractSocket::SocketError error);
    void endReopen(bool ok);

    QString m_scheme;
    quint16 m_defaultPort;
    QString m_host;
    quint16 m_port = 0;
    QTcpSocket m_socket;
    QTimer m_connectDeadline;
    bool m_open = false;
    bool m_reopening = false;
};
