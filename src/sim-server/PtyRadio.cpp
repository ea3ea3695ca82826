// SPDX-License-Identifier: GPL-3.0-or-later
#include "PtyRadio.h"

#include "sim/Ft2000Model.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr qsizetype ReadChunkBytes = 4096;
// Replies pile up only while nobody reads the line; past this the radio drops
// what it cannot send rather than grow without bound.
constexpr qsizetype MaxUnwrittenBytes = 1024 * 1024;
// How long to rest when the master reports the slave side gone, instead of
// being woken for the same condition over and over.
constexpr std::chrono::milliseconds ReadRetryInterval{100};

} // namespace

PtyRadio::PtyRadio(Ft2000Model &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    m_readRetryTimer.setSingleShot(true);
    m_readRetryTimer.setInterval(ReadRetryInterval);
    m_delayTimer.setSingleShot(true);
    m_delayTimer.setTimerType(Qt::PreciseTimer);
    m_pieceTimer.setSingleShot(true);
    m_pieceTimer.setTimerType(Qt::PreciseTimer);

    connect(&m_acceptNotifier, &QSocketNotifier::activated, this, &PtyRadio::acceptClient);
    connect(&m_readNotifier, &QSocketNotifier::activated, this, &PtyRadio::readFromLine);
    connect(&m_writeNotifier, &QSocketNotifier::activated, this, &PtyRadio::flushUnwritten);
    connect(&m_readRetryTimer, &QTimer::timeout, this, [this] {
        if (isOpen()) {
            m_readNotifier.setEnabled(true);
        }
    });
    connect(&m_delayTimer, &QTimer::timeout, this, &PtyRadio::sendDueReplies);
    connect(&m_pieceTimer, &QTimer::timeout, this, &PtyRadio::sendNextPiece);
}

PtyRadio::~PtyRadio()
{
    closeLine();
    if (m_heldSlave >= 0) {
        ::close(m_heldSlave);
    }
}

bool PtyRadio::open()
{
    if (isOpen()) {
        return true;
    }
    m_errorString.clear();

    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        fail(QStringLiteral("cannot create a pseudo-terminal"));
        return false;
    }
    // Programs started from here (the tests start RIGDECK) must not inherit the line.
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        fail(QStringLiteral("cannot unlock the pseudo-terminal"));
        return false;
    }
    const char *slaveName = ::ptsname(m_master);
    if (slaveName == nullptr) {
        fail(QStringLiteral("cannot name the pseudo-terminal"));
        return false;
    }
    m_devicePath = QString::fromLocal8Bit(slaveName);

    m_keptSlave = ::open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keptSlave < 0) {
        fail(QStringLiteral("cannot open %1").arg(m_devicePath));
        return false;
    }
    // Raw, so the line carries bytes exactly as a serial cable would: no echo
    // of the program's commands, no line editing, no newline translation.
    termios settings{};
    if (::tcgetattr(m_keptSlave, &settings) != 0) {
        fail(QStringLiteral("cannot read the settings of %1").arg(m_devicePath));
        return false;
    }
    ::cfmakeraw(&settings);
    if (::tcsetattr(m_keptSlave, TCSANOW, &settings) != 0) {
        fail(QStringLiteral("cannot set %1 raw").arg(m_devicePath));
        return false;
    }
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        fail(QStringLiteral("cannot make the pseudo-terminal non-blocking"));
        return false;
    }

    m_readNotifier.setSocket(m_master);
    m_readNotifier.setEnabled(true);
    m_writeNotifier.setSocket(m_master);
    return true;
}

bool PtyRadio::listenTcp(quint16 port, const QString &address)
{
    if (isOpen() || m_listener >= 0) {
        return false;
    }
    m_errorString.clear();
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(port);
    if (::inet_pton(AF_INET, address.toLatin1().constData(), &where.sin_addr) != 1) {
        errno = EINVAL;
        fail(QStringLiteral("%1 is no IPv4 address").arg(address));
        return false;
    }
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listener < 0) {
        fail(QStringLiteral("cannot create a socket"));
        return false;
    }
    const int yes = 1;
    ::setsockopt(m_listener, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    socklen_t length = sizeof where;
    if (::bind(m_listener, reinterpret_cast<sockaddr *>(&where), sizeof where) != 0 || ::listen(m_listener, 4) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&where), &length) != 0) {
        fail(QStringLiteral("cannot listen on %1:%2").arg(address).arg(port));
        return false;
    }
    m_devicePath = QStringLiteral("tcp:%1:%2").arg(address).arg(ntohs(where.sin_port));
    m_acceptNotifier.setSocket(m_listener);
    m_acceptNotifier.setEnabled(true);
    return true;
}

void PtyRadio::acceptClient()
{
    const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (client < 0) {
        return;
    }
    // A serial line has one peer: a new connection takes the radio over.
    dropClient();
    const int yes = 1;
    ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    m_master = client;
    m_readNotifier.setSocket(m_master);
    m_readNotifier.setEnabled(true);
    m_writeNotifier.setSocket(m_master);
}

void PtyRadio::dropClient()
{
    if (m_master < 0) {
        return;
    }
    m_readNotifier.setSocket(-1);
    m_writeNotifier.setSocket(-1);
    m_delayTimer.stop();
    m_pieceTimer.stop();
    m_delayedReplies.clear();
    m_pieces.clear();
    m_unwritten.clear();
    ::close(m_master);
    m_master = -1;
}

QString PtyRadio::errorString() const
{
    return m_errorString;
}

QString PtyRadio::devicePath() const
{
    return m_devicePath;
}

void PtyRadio::setSilent(bool silent)
{
    m_silent = silent;
}

void PtyRadio::setReplyDelay(int ms)
{
    m_replyDelayMs = std::max(ms, 0);
}

void PtyRadio::setSplit(int bytes)
{
    m_splitBytes = std::max(bytes, 0);
}

void PtyRadio::setSplitGap(int ms)
{
    m_splitGapMs = std::max(ms, 0);
}

void PtyRadio::hangUp()
{
    closeLine();
}

void PtyRadio::hangUpKeepingTerminal()
{
    if (m_keptSlave >= 0 && m_heldSlave < 0) {
        m_heldSlave = ::dup(m_keptSlave);
    }
    closeLine();
}

QByteArray PtyRadio::received() const
{
    return m_received;
}

QList<QByteArray> PtyRadio::commands() const
{
    return m_commands;
}

void PtyRadio::clear()
{
    m_received.clear();
    m_commands.clear();
}

void PtyRadio::sendRaw(const QByteArray &bytes)
{
    writeToLine(bytes);
}

void PtyRadio::readFromLine()
{
    char buffer[ReadChunkBytes];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count > 0) {
        const QByteArray bytes(buffer, count);
        m_received += bytes;
        if (m_echo) {
            writeToLine(bytes);
        }
        emit bytesReceived(bytes);
        // A slot may have hung up.
        if (isOpen()) {
            takeCommands(bytes);
        }
        return;
    }
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
        return;
    }
    if (m_listener >= 0) {
        // The program closed its connection; wait for the next one.
        dropClient();
        return;
    }
    // EIO or end of file: no slave side is open. The condition stays until one
    // is, and the notifier would report it again at once, so rest a while.
    m_readNotifier.setEnabled(false);
    m_readRetryTimer.start();
}

void PtyRadio::takeCommands(const QByteArray &bytes)
{
    // Fed one command at a time so each reply can be told apart for its own
    // delay, and each command announced after its own answer.
    qsizetype from = 0;
    while (from < bytes.size() && isOpen()) {
        const qsizetype semicolon = bytes.indexOf(';', from);
        const qsizetype end = semicolon < 0 ? bytes.size() : semicolon + 1;
        const qsizetype commandsBefore = m_model.commands().size();
        const QByteArray reply = m_model.receive(bytes.mid(from, end - from));
        from = end;

        if (!reply.isEmpty() && !m_silent) {
            answer(reply);
        }
        const QList<QByteArray> modelCommands = m_model.commands();
        if (modelCommands.size() > commandsBefore) {
            const QByteArray &command = modelCommands.constLast();
            m_commands.append(command);
            emit commandReceived(command);
        }
    }
}

void PtyRadio::answer(const QByteArray &reply)
{
    if (m_replyDelayMs == 0) {
        transmit(reply);
        return;
    }
    m_delayedReplies.append({QDeadlineTimer(m_replyDelayMs, Qt::PreciseTimer), reply});
    if (!m_delayTimer.isActive()) {
        m_delayTimer.start(m_replyDelayMs);
    }
}

void PtyRadio::sendDueReplies()
{
    while (!m_delayedReplies.isEmpty() && m_delayedReplies.constFirst().due.hasExpired()) {
        transmit(m_delayedReplies.takeFirst().bytes);
    }
    if (!m_delayedReplies.isEmpty()) {
        m_delayTimer.start(int(std::max<qint64>(m_delayedReplies.constFirst().due.remainingTime(), 0)));
    }
}

void PtyRadio::transmit(const QByteArray &reply)
{
    if (m_splitBytes == 0) {
        writeToLine(reply);
        return;
    }
    for (qsizetype at = 0; at < reply.size(); at += m_splitBytes) {
        m_pieces.append(reply.mid(at, m_splitBytes));
    }
    if (!m_pieceTimer.isActive()) {
        sendNextPiece();
    }
}

void PtyRadio::sendNextPiece()
{
    if (m_pieces.isEmpty()) {
        return;
    }
    writeToLine(m_pieces.takeFirst());
    if (!m_pieces.isEmpty()) {
        m_pieceTimer.start(m_splitGapMs);
    }
}

void PtyRadio::writeToLine(const QByteArray &bytes)
{
    if (!isOpen() || bytes.isEmpty()) {
        return;
    }
    if (m_unwritten.size() + bytes.size() > MaxUnwrittenBytes) {
        qWarning("PtyRadio: nobody reads %s; dropping %lld bytes", qPrintable(m_devicePath),
                 static_cast<long long>(bytes.size()));
        return;
    }
    m_unwritten += bytes;
    flushUnwritten();
}

void PtyRadio::flushUnwritten()
{
    while (!m_unwritten.isEmpty()) {
        const ssize_t count = ::write(m_master, m_unwritten.constData(), size_t(m_unwritten.size()));
        if (count > 0) {
            m_unwritten.remove(0, count);
            continue;
        }
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count == 0 || errno == EAGAIN || errno == EWOULDBLOCK) {
            // The slave's input queue is full; go on when the reader has made room.
            m_writeNotifier.setEnabled(true);
            return;
        }
        qWarning("PtyRadio: writing to %s failed: %s", qPrintable(m_devicePath), std::strerror(errno));
        m_unwritten.clear();
    }
    m_writeNotifier.setEnabled(false);
}

bool PtyRadio::isOpen() const
{
    return m_master >= 0;
}

void PtyRadio::closeLine()
{
    m_acceptNotifier.setSocket(-1);
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
    }
    m_readNotifier.setSocket(-1);
    m_writeNotifier.setSocket(-1);
    m_readRetryTimer.stop();
    m_delayTimer.stop();
    m_pieceTimer.stop();
    m_delayedReplies.clear();
    m_pieces.clear();
    m_unwritten.clear();
    if (m_keptSlave >= 0) {
        ::close(m_keptSlave);
        m_keptSlave = -1;
    }
    if (m_master >= 0) {
        ::close(m_master);
        m_master = -1;
    }
}

void PtyRadio::fail(const QString &what)
{
    m_errorString = what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno));
    closeLine();
}
