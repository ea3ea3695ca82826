// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/FlrigLinePort.h"

#include <QRegularExpression>

namespace {

bool needsHex(const QByteArray &command)
{
    return std::any_of(command.cbegin(), command.cend(), [](char c) { return c == 'x' || c < ' ' || c >= 0x7f; });
}

QByteArray xmlEscaped(const QByteArray &text)
{
    QByteArray escaped;
    for (const char c : text) {
        if (c == '<') {
            escaped += "&lt;";
        } else if (c == '&') {
            escaped += "&amp;";
        } else if (c == '>') {
            escaped += "&gt;";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

QByteArray xmlUnescaped(QByteArray text)
{
    static const QRegularExpression entity(QStringLiteral("&(#x[0-9a-fA-F]+|#[0-9]+|lt|gt|amp|quot|apos);"));
    QByteArray plain;
    const QString source = QString::fromLatin1(text);
    qsizetype at = 0;
    for (QRegularExpressionMatchIterator it = entity.globalMatch(source); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        plain += text.mid(at, match.capturedStart() - at);
        const QString name = match.captured(1);
        if (name == QLatin1String("lt")) {
            plain += '<';
        } else if (name == QLatin1String("gt")) {
            plain += '>';
        } else if (name == QLatin1String("amp")) {
            plain += '&';
        } else if (name == QLatin1String("quot")) {
            plain += '"';
        } else if (name == QLatin1String("apos")) {
            plain += '\'';
        } else {
            const uint code =
                name.startsWith(QLatin1String("#x")) ? name.mid(2).toUInt(nullptr, 16) : name.mid(1).toUInt();
            plain += char(code);
        }
        at = match.capturedEnd();
    }
    plain += text.mid(at);
    return plain;
}

// flrig's hex form, "x4B x4D", back into bytes.
QByteArray fromHexForm(const QByteArray &text)
{
    QByteArray bytes;
    for (qsizetype at = text.indexOf('x'); at >= 0; at = text.indexOf('x', at + 1)) {
        bool ok = false;
        const uint value = text.mid(at + 1, 2).toUInt(&ok, 16);
        if (ok) {
            bytes += char(value);
        }
    }
    return bytes;
}

} // namespace

FlrigLinePort::FlrigLinePort(QObject *parent)
    : ServerLinePort(Scheme, DefaultPort, parent)
{
}

bool FlrigLinePort::openLine()
{
    QString host;
    quint16 port = 0;
    if (parseAddress(settings().device, Scheme, DefaultPort, host, port)) {
        const QString bracketed = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
        m_hostHeader = (bracketed + QLatin1Char(':') + QString::number(port)).toLatin1();
    }
    return ServerLinePort::openLine();
}

QByteArray FlrigLinePort::catString(const QByteArray &command)
{
    if (!needsHex(command)) {
        return command;
    }
    QByteArray hex;
    for (const char c : command) {
        if (!hex.isEmpty()) {
            hex += ' ';
        }
        hex += 'x' + QByteArray::number(uchar(c), 16).toUpper().rightJustified(2, '0');
    }
    return hex;
}

QByteArray FlrigLinePort::methodCall(const QByteArray &command, bool query)
{
    return QByteArrayLiteral("<?xml version=\"1.0\"?><methodCall><methodName>")
           + (query ? "rig.cat_string" : "rig.cat_priority") + "</methodName><params><param><value><string>"
           + xmlEscaped(catString(command)) + "</string></value></param></params></methodCall>";
}

QByteArray FlrigLinePort::request(const Request &request) const
{
    const QByteArray body = methodCall(request.command, request.query);
    return "POST /RPC2 HTTP/1.1\r\nHost: " + m_hostHeader
           + "\r\nUser-Agent: RIGDECK\r\n"
             "Content-Type: text/xml\r\nContent-Length: "
           + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

ServerLinePort::Answer FlrigLinePort::parseAnswer(QByteArray &buffer, const Request &request, QByteArray &reply)
{
    const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
    if (headerEnd < 0) {
        return Answer::Incomplete;
    }
    const QByteArray header = buffer.left(headerEnd);
    static const QRegularExpression lengthField(QStringLiteral("(?:^|\\r\\n)content-length:\\s*(\\d+)"),
                                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch length = lengthField.match(QString::fromLatin1(header));
    if (!length.hasMatch() || length.captured(1).size() > 9 || length.captured(1).toLongLong() > MaxAnswerBytes) {
        return Answer::Garbled;
    }
    const qsizetype bodyLength = length.captured(1).toLongLong();
    if (buffer.size() < headerEnd + 4 + bodyLength) {
        return Answer::Incomplete;
    }
    const QByteArray body = buffer.mid(headerEnd + 4, bodyLength);
    buffer.remove(0, headerEnd + 4 + bodyLength);
    const QByteArray status = header.left(header.indexOf('\r'));
    if (!status.contains(" 200")) {
        reply = status;
        return Answer::Refused;
    }
    if (body.contains("<fault>")) {
        static const QRegularExpression faultString(
            QStringLiteral("<name>faultString</name>\\s*<value>\\s*(?:<string>)?([^<]*)"));
        reply = "fault: " + faultString.match(QString::fromLatin1(body)).captured(1).toLatin1();
        return Answer::Refused;
    }
    static const QRegularExpression value(QStringLiteral("<value>\\s*(?:<string>([^<]*)</string>|<(i4|int)>"
                                                         "\\s*(-?\\d+)\\s*</\\2>|([^<]*))\\s*</value>"));
    const QRegularExpressionMatch match = value.match(QString::fromLatin1(body));
    if (!match.hasMatch()) {
        return Answer::Garbled;
    }
    if (!request.query || !match.captured(2).isEmpty()) {
        return Answer::Done; // rig.cat_priority's "OK", or no answer (the integer 0)
    }
    const QString text = match.capturedStart(1) >= 0 ? match.captured(1) : match.captured(4);
    QByteArray result = xmlUnescaped(text.toLatin1());
    if (result.startsWith("No response")) {
        return Answer::Done;
    }
    if (needsHex(request.command)) {
        result = fromHexForm(result);
    }
    reply = result;
    return Answer::Done;
}
