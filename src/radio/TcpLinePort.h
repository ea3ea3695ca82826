// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/SerialPort.h"

#include <QTcpSocket>

#include <chrono>

// A radio across the network: a raw TCP connection to a serial-over-network
// server (ser2net in raw mode, a remote station), named "tcp:HOST:PORT".
// The line settings are the server's affair; they are only checked here.
class TcpLinePort : public SerialPort
{
    Q_OBJECT
public:
    // A connection that cannot be made within this time takes the open
    // failure path, as a missing serial port does.
    static constexpr std::chrono::milliseconds ConnectTime{3000};
    // Connects the socket, processing events meanwhile; false (and the
    // socket aborted) when no connection is made within the time.
    static bool connectWithin(QTcpSocket &socket, const QString &host, quint16 port, std::chrono::milliseconds time);
    static constexpr qint64 ReadBufferBytes = 16 * 1024;

    explicit TcpLinePort(QString address, QObject *parent = nullptr);

    bool portOpen() const override;
    bool open() override;
    void close() override;
    bool output(const QByteArray &data) override;
    bool input(QByteArray &data) override;

    // "tcp:HOST:PORT" split into its parts; false when it is not such a name.
    static bool parseAddress(const QString &address, QString &host, quint16 &port);

private:
    QString m_address;
    QTcpSocket m_socket;
};
