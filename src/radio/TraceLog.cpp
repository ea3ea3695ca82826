// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/TraceLog.h"

#include "radio/RadioLink.h"

#include <QDateTime>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace {

// Opened for appending without waiting: a FIFO nobody reads fails at once
// instead of holding up start-up, and later writes fail rather than wait for
// a reader that does not read.
bool openForAppending(QFile &file, const QString &path, QString &error)
{
#ifdef Q_OS_UNIX
    // The descriptor appends by itself; a FIFO or pipe cannot be told to seek to its end.
    constexpr QIODevice::OpenMode mode = QIODevice::WriteOnly | QIODevice::Unbuffered;
    int fd = -1;
    do {
        fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!file.open(fd, mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        error = file.errorString();
        return false;
    }
    return true;
#else
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered)) {
        error = file.errorString();
        return false;
    }
    return true;
#endif
}

} // namespace

TraceLog::TraceLog(RadioLink &link, const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
    if (!openForAppending(m_file, path, m_openError)) {
        return;
    }
    connect(&link, &RadioLink::commandSent, this, [this](const QByteArray &command) { write("->", command); });
    connect(&link, &RadioLink::replyReceived, this, [this](const QByteArray &reply) { write("<-", reply); });
    connect(&link, &RadioLink::messageSkipped, this,
            [this](const QByteArray &message) { write("<-", message, "(not the answer, skipped)"); });
    connect(&link, &RadioLink::commandDropped, this, [this](const QByteArray &command, Line::DropReason reason) {
        write("--", command, "not sent: " + dropReason(reason));
    });
    connect(&link, &RadioLink::commandRefused, this, [this](const QByteArray &command, const QByteArray &answer) {
        write("!!", command, "refused by the server: " + printable(answer));
    });
    connect(&link, &RadioLink::queryFailed, this,
            [this](const QByteArray &query, const QString &why) { write("!!", query, "failed: " + why.toUtf8()); });
    connect(&link, &RadioLink::lineStateChanged, this, [this](Line::State state, const QString &reason) {
        switch (state) {
        case Line::State::Open:
            write("==", "line open");
            break;
        case Line::State::Reconnecting:
            write("==", "line down: " + reason.toUtf8(), "(reconnecting)");
            break;
        case Line::State::Closed:
            write("==", "line closed");
            break;
        }
    });
}

QByteArray TraceLog::dropReason(Line::DropReason reason)
{
    switch (reason) {
    case Line::DropReason::LineDown:
        return "the line is down";
    case Line::DropReason::TooLate:
        return "it could not leave in time";
    case Line::DropReason::QueueFull:
        return "too many commands were waiting";
    }
    return QByteArray();
}

QByteArray TraceLog::printable(const QByteArray &bytes)
{
    QByteArray text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
            text += c;
        } else {
            text += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        }
    }
    return text;
}

void TraceLog::write(const char *direction, const QByteArray &bytes, const QByteArray &note)
{
    if (!m_file.isOpen()) {
        return; // stopped after a failed write
    }
    QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8();
    line += ' ';
    line += direction;
    line += ' ';
    line += printable(bytes);
    if (!note.isEmpty()) {
        line += ' ';
        line += note;
    }
    line += '\n';
    if (m_file.write(line) != line.size()) {
        qWarning("rigdeck: cannot write to the trace file %s (%s); going on without the trace", qPrintable(m_path),
                 qPrintable(m_file.errorString()));
        m_file.close();
    }
}
