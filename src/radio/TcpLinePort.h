// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/SocketLine.h"

// A radio across the network: a raw TCP connection to a serial-over-network
// server (ser2net in raw mode, a remote station), named "tcp:HOST:PORT".
// The line settings are the server's affair; they are only checked here.
class TcpLinePort : public SocketLine
{
    Q_OBJECT
public:
    static inline const QString Scheme = QStringLiteral("tcp");
    static constexpr qint64 ReadBufferBytes = 16 * 1024;

    explicit TcpLinePort(QObject *parent = nullptr);

    bool output(const QByteArray &data) override;
    bool input(QByteArray &data) override;

    // "tcp:HOST:PORT" split into its parts; false when it is not such a name.
    static bool parseAddress(const QString &address, QString &host, quint16 &port);

protected:
    void takeArrivals() override { emit dataArrived(); }
};
