// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SocketLine.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

SocketLine::SocketLine(QString scheme, quint16 defaultPort, QObject *parent)
    : Line(parent)
    , m_scheme(std::move(scheme))
    , m_defaultPort(defaultPort)
{
    // Commands are small and each must leave at once.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { takeArrivals(); });
    connect(&m_socket, &QTcpSocket::connected, this, &SocketLine::onConnected);
    connect(&m_socket, &QTcpSocket::disconnected, this, [this] {
        if (m_open && !m_reopening) {
            connectionClosed();
        }
    });
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &SocketLine::onError);
    m_connectDeadline.setSingleShot(true);
    m_connectDeadline.setInterval(ConnectTime);
    connect(&m_connectDeadline, &QTimer::timeout, this, [this] {
        if (m_reopening) {
            endReopen(false);
        } else if (m_open && !connected()) {
            fail(QStringLiteral("no connection within %1 s").arg(ConnectTime.count() / 1000));
        }
    });
}

SocketLine::~SocketLine()
{
    // The socket reports its own end; nobody is left to hear it.
    m_socket.disconnect(this);
    m_socket.abort();
}

bool SocketLine::parseAddress(const QString &address, const QString &scheme, quint16 defaultPort, QString &host,
                              quint16 &port)
{
    const QString prefix = scheme + QLatin1Char(':');
    if (!address.startsWith(prefix, Qt::CaseInsensitive)) {
        return false;
    }
    const QString rest = address.mid(prefix.size()).trimmed();
    QString portText;
    if (rest.startsWith(QLatin1Char('['))) {
        const qsizetype close = rest.indexOf(QLatin1Char(']'));
        if (close < 0) {
            return false;
        }
        host = rest.mid(1, close - 1);
        const QString after = rest.mid(close + 1);
        if (!after.isEmpty() && !after.startsWith(QLatin1Char(':'))) {
            return false;
        }
        portText = after.mid(1);
    } else {
        const qsizetype colon = rest.indexOf(QLatin1Char(':'));
        if (colon >= 0 && rest.indexOf(QLatin1Char(':'), colon + 1) >= 0) {
            return false; // a bare IPv6 address: its port would be ambiguous
        }
        host = colon < 0 ? rest : rest.left(colon);
        portText = colon < 0 ? QString() : rest.mid(colon + 1);
    }
    if (host.isEmpty() || host.contains(QLatin1Char(' ')) || host.contains(QLatin1Char('/'))) {
        return false;
    }
    if (portText.isNull()) {
        port = defaultPort;
        return defaultPort != 0;
    }
    bool isNumber = false;
    const uint number = portText.toUInt(&isNumber);
    if (!isNumber || number == 0 || number > 65535) {
        return false;
    }
    port = quint16(number);
    return true;
}

bool SocketLine::connectWithin(QTcpSocket &socket, const QString &host, quint16 port, std::chrono::milliseconds time)
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

bool SocketLine::portOpen() const
{
    return m_open;
}

bool SocketLine::openLine()
{
    close();
    if (!parseAddress(settings().device, m_scheme, m_defaultPort, m_host, m_port)) {
        return false;
    }
    m_open = connectWithin(m_socket, m_host, m_port, ConnectTime);
    return m_open;
}

void SocketLine::reopen()
{
    if (m_reopening) {
        return;
    }
    if (!settings().usable() || !parseAddress(settings().device, m_scheme, m_defaultPort, m_host, m_port)) {
        QMetaObject::invokeMethod(
            this, [this] { emit reopened(false); }, Qt::QueuedConnection);
        return;
    }
    m_reopening = true;
    m_socket.abort();
    m_connectDeadline.start();
    m_socket.connectToHost(m_host, m_port);
}

void SocketLine::connectAgain()
{
    m_connectDeadline.start();
    m_socket.connectToHost(m_host, m_port);
}

void SocketLine::close()
{
    m_open = false;
    m_reopening = false;
    m_connectDeadline.stop();
    forget();
    m_socket.abort();
}

void SocketLine::fail(const QString &reason)
{
    if (!m_open) {
        return;
    }
    m_open = false;
    m_connectDeadline.stop();
    forget();
    m_socket.abort();
    emit failed(reason);
}

void SocketLine::connectionClosed()
{
    fail(QStringLiteral("the connection was closed"));
}

void SocketLine::onConnected()
{
    m_connectDeadline.stop();
    if (m_reopening) {
        endReopen(true);
    } else if (m_open) {
        connectionMade();
    }
}

void SocketLine::onError(QAbstractSocket::SocketError error)
{
    if (error == QAbstractSocket::SocketTimeoutError) {
        return; // a look at the socket found nothing waiting: not a fault
    }
    if (m_reopening) {
        endReopen(false);
    } else if (m_open && error != QAbstractSocket::RemoteHostClosedError) {
        // A close by the server arrives as disconnected().
        fail(m_socket.errorString());
    }
}

void SocketLine::endReopen(bool ok)
{
    m_reopening = false;
    m_connectDeadline.stop();
    if (!ok) {
        m_socket.abort();
    } else {
        forget();
        m_open = true;
    }
    emit reopened(ok);
}
