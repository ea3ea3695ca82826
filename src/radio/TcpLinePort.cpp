// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/TcpLinePort.h"

#include <QDeadlineTimer>
#include <QCoreApplication>
#include <QTimer>

TcpLinePort::TcpLinePort(QString address, QObject *parent)
    : SerialPort(parent)
    , m_address(std::move(address))
{
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { emit onComm(2); });
    // Commands are small and each must leave at once.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Whatever arrives is taken in small pieces: an unlimited buffer would
    // swallow a flood whole, and the memory of a burst is kept by the
    // allocator long after the bytes are dropped.
    m_socket.setReadBufferSize(ReadBufferBytes);
}

bool TcpLinePort::parseAddress(const QString &address, QString &host, quint16 &port)
{
    if (!address.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        return false;
    }
    const QString rest = address.mid(4);
    const qsizetype colon = rest.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) {
        return false;
    }
    host = rest.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']'))) {
        host = host.mid(1, host.size() - 2);
    }
    bool isNumber = false;
    const uint number = rest.mid(colon + 1).toUInt(&isNumber);
    if (!isNumber || number == 0 || number > 65535 || host.isEmpty()) {
        return false;
    }
    port = quint16(number);
    return true;
}

bool TcpLinePort::portOpen() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

bool TcpLinePort::open()
{
    QString host;
    quint16 port = 0;
    if (!configured() || !parseAddress(m_address, host, port)) {
        return false;
    }
    m_socket.abort();
    return connectWithin(m_socket, host, port, ConnectTime);
}

bool TcpLinePort::connectWithin(QTcpSocket &socket, const QString &host, quint16 port, std::chrono::milliseconds time)
{
    socket.connectToHost(host, port);
    // Wait with events processed rather than blocking in the socket, as
    // every other wait of the program does; not in a nested event loop,
    // which an earlier request to quit would end at once.
    const QDeadlineTimer deadline(time);
    QTimer wake;
    wake.start(10);
    while (socket.state() != QAbstractSocket::ConnectedState && socket.state() != QAbstractSocket::UnconnectedState
           && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
    }
    if (socket.state() != QAbstractSocket::ConnectedState) {
        socket.abort();
        return false;
    }
    return true;
}

void TcpLinePort::close()
{
    m_socket.abort();
}

bool TcpLinePort::output(const QByteArray &data)
{
    if (!portOpen() || m_socket.write(data) != data.size()) {
        return false;
    }
    m_socket.flush();
    return portOpen();
}

bool TcpLinePort::input(QByteArray &data)
{
    data.clear();
    if (!portOpen()) {
        return false;
    }
    m_socket.waitForReadyRead(0);
    data = m_socket.readAll();
    return !data.isEmpty() || portOpen();
}
