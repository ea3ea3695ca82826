// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/TcpLinePort.h"

TcpLinePort::TcpLinePort(QObject *parent)
    : SocketLine(Scheme, 0, parent)
{
    // Whatever arrives is taken in small pieces: an unlimited buffer would
    // swallow a flood whole, and the memory of a burst is kept by the
    // allocator long after the bytes are dropped.
    socket().setReadBufferSize(ReadBufferBytes);
}

bool TcpLinePort::parseAddress(const QString &address, QString &host, quint16 &port)
{
    return SocketLine::parseAddress(address, Scheme, 0, host, port);
}

bool TcpLinePort::output(const QByteArray &data)
{
    if (!portOpen() || socket().write(data) != data.size()) {
        return accountFor(data, false);
    }
    socket().flush();
    return accountFor(data, portOpen());
}

bool TcpLinePort::input(QByteArray &data)
{
    data.clear();
    if (!portOpen()) {
        return false;
    }
    socket().waitForReadyRead(0);
    data = socket().readAll();
    return !data.isEmpty() || portOpen();
}
