#include "radio/TraceLog.h"

#include "radio/RadioLink.h"

#include <QDateTime>

TraceLog::TraceLog(RadioLink &link, const QString &path, QObject *parent)
    : QObject(parent)
    , m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
        return;
    }
    connect(&link, &RadioLink::commandSent, this, [this](const QByteArray &command, bool written) {
        write("->", command, written ? nullptr : "(write failed)");
    });
    connect(&link, &RadioLink::replyReceived, this, [this](const QByteArray &reply) { write("<-", reply); });
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

void TraceLog::write(const char *direction, const QByteArray &bytes, const char *note)
{
    QByteArray line = QDateTime::currentDateTime().toString(Qt::ISODateWithMs).toUtf8();
    line += ' ';
    line += direction;
    line += ' ';
    line += printable(bytes);
    if (note) {
        line += ' ';
        line += note;
    }
    line += '\n';
    m_file.write(line);
    m_file.flush();
}
