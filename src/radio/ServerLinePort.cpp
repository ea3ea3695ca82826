// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/ServerLinePort.h"

#include "radio/TcpLinePort.h"

ServerLinePort::ServerLinePort(QString address, QString scheme, quint16 defaultPort, QObject *parent)
    : SerialPort(parent)
    , m_address(std::move(address))
    , m_scheme(std::move(scheme))
    , m_defaultPort(defaultPort)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &ServerLinePort::readAnswers);
    connect(&m_socket, &QTcpSocket::connected, this, &ServerLinePort::sendNext);
    connect(&m_socket, &QTcpSocket::disconnected, this, &ServerLinePort::onDisconnected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A connection closed by the server arrives as disconnected().
        if (error != QAbstractSocket::RemoteHostClosedError) {
            onDisconnected();
        }
    });
    // Commands are small and each must leave at once.
    m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    // Only a look: an answer or a close found here goes through the
    // socket's own signals, as if its notice had come.
    m_answerCheck.setInterval(AnswerCheck);
    connect(&m_answerCheck, &QTimer::timeout, this, [this] {
        if (m_inFlight && m_socket.state() == QAbstractSocket::ConnectedState) {
            m_socket.waitForReadyRead(0);
        }
    });
}

ServerLinePort::~ServerLinePort()
{
    // The socket reports its own end; nobody is left to hear it.
    m_socket.disconnect(this);
    m_socket.abort();
}

bool ServerLinePort::parseAddress(const QString &address, const QString &scheme, quint16 defaultPort, QString &host,
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
        return true;
    }
    bool isNumber = false;
    const uint number = portText.toUInt(&isNumber);
    if (!isNumber || number == 0 || number > 65535) {
        return false;
    }
    port = quint16(number);
    return true;
}

bool ServerLinePort::portOpen() const
{
    return m_open;
}

bool ServerLinePort::open()
{
    close();
    if (!configured() || !parseAddress(m_address, m_scheme, m_defaultPort, m_host, m_port)) {
        return false;
    }
    if (!TcpLinePort::connectWithin(m_socket, m_host, m_port, ConnectTime)) {
        return false;
    }
    m_open = true;
    return true;
}

void ServerLinePort::close()
{
    m_open = false;
    m_queue.clear();
    m_inFlight = false;
    m_resent = false;
    m_queryFailed = false;
    m_buffer.clear();
    m_replies.clear();
    m_answerCheck.stop();
    m_socket.abort();
}

bool ServerLinePort::output(const QByteArray &data)
{
    return enqueue(data, false);
}

bool ServerLinePort::outputQuery(const QByteArray &data)
{
    return enqueue(data, true);
}

bool ServerLinePort::enqueue(const QByteArray &command, bool query)
{
    if (!m_open) {
        return false;
    }
    if (m_queue.size() >= MaxQueued) {
        return false;
    }
    m_queue.append({command, query});
    sendNext();
    return m_open;
}

void ServerLinePort::sendNext()
{
    if (!m_open || m_inFlight || m_queue.isEmpty()) {
        return;
    }
    if (m_socket.state() == QAbstractSocket::UnconnectedState && mayCloseAfterAnswer()) {
        // The server closed the connection after its last answer; the
        // request leaves once connected() comes back here.
        m_socket.connectToHost(m_host, m_port);
        return;
    }
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        return;
    }
    const QByteArray bytes = request(m_queue.constFirst());
    m_inFlight = true;
    m_answerCheck.start();
    if (m_socket.write(bytes) != bytes.size()) {
        fail();
        return;
    }
    m_socket.flush();
}

void ServerLinePort::readAnswers()
{
    if (m_reading) {
        return;
    }
    m_reading = true;
    m_buffer += m_socket.readAll();
    bool replied = false;
    while (m_inFlight && !m_queue.isEmpty()) {
        QByteArray reply;
        const Answer answer = parseAnswer(m_buffer, m_queue.constFirst(), reply);
        if (answer == Answer::Incomplete) {
            break;
        }
        const Request done = m_queue.takeFirst();
        m_inFlight = false;
        m_resent = false;
        if (done.query) {
            if (answer == Answer::Failed) {
                m_queryFailed = true;
            }
            m_replies += reply;
            replied = true;
        }
        sendNext();
    }
    if (!m_inFlight) {
        // Nothing was asked: whatever else the server says is not an answer.
        m_buffer.clear();
        m_answerCheck.stop();
    }
    m_reading = false;
    if (replied) {
        emit onComm(2);
    }
}

void ServerLinePort::onDisconnected()
{
    if (!m_open) {
        return;
    }
    readAnswers();
    const bool closedByServer = m_socket.state() == QAbstractSocket::UnconnectedState
                                && m_socket.error() == QAbstractSocket::RemoteHostClosedError;
    if (mayCloseAfterAnswer() && closedByServer && m_inFlight && m_buffer.isEmpty() && !m_resent) {
        // The request crossed the server closing the connection after its
        // last answer: it was never read, so it goes again, once.
        m_inFlight = false;
        m_resent = true;
    }
    if (mayCloseAfterAnswer() && closedByServer && !m_inFlight) {
        // Connected again for the next request, not before.
        sendNext();
        return;
    }
    fail();
}

void ServerLinePort::fail()
{
    // The server went away: as a pulled adapter, the line stays down, and a
    // query waiting for its reply learns of it.
    const bool queryWaiting = std::any_of(m_queue.cbegin(), m_queue.cend(), [](const Request &r) { return r.query; });
    close();
    m_queryFailed = queryWaiting;
    emit onComm(3);
}

bool ServerLinePort::input(QByteArray &data)
{
    data.clear();
    if (m_open) {
        readAnswers();
    }
    data = std::exchange(m_replies, {});
    if (std::exchange(m_queryFailed, false)) {
        return false;
    }
    return m_open || !data.isEmpty();
}
