// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/Ft2000Cat.h"

namespace Ft2000Cat {

namespace {

// Part of a reply, its characters counted from 1 as the formats are given; a
// start beyond the end gives nothing.
QString part(const QString &reply, int start, int length)
{
    if (start - 1 >= reply.size()) {
        return QString();
    }
    return reply.mid(start - 1, length);
}

} // namespace

QString textMemoryPlay(int index)
{
    return QStringLiteral("KY%1;").arg(QLatin1Char(TextMemorySelector[index]));
}

QString messageMemoryPlay(int index)
{
    return QStringLiteral("KY%1;").arg(index + 1);
}

QString keySpeedSet(int wpm)
{
    return QStringLiteral("KS%1;").arg(wpm, 3, 10, QLatin1Char('0'));
}

QString breakInSet(bool on)
{
    return on ? QStringLiteral("BI1;") : QStringLiteral("BI0;");
}

QString modeSet(int index, const RadioCapabilities &capabilities)
{
    return QStringLiteral("MD0%1;").arg(QLatin1Char(capabilities.modes[index].code));
}

QString voiceRecord(int channel)
{
    return QStringLiteral("LM0%1;").arg(channel + 1);
}

QString voicePlay(int channel)
{
    return QStringLiteral("PB0%1;").arg(channel + 1);
}

QString keyerMemoryQuery(int number)
{
    return QStringLiteral("KM%1;").arg(number);
}

int leadingNumber(const QString &text)
{
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            break;
        }
        value = qMin(value * 10 + (c.unicode() - '0'), 1000000);
    }
    return value;
}

std::optional<QString> textMemory(const QString &reply)
{
    if (reply == QLatin1String("?;") || part(reply, 4, 2) == QLatin1String("};")) {
        return QString();
    }
    if (reply.size() < 4) {
        return std::nullopt;
    }
    // From the 4th character to the one before the last.
    return part(reply, 4, int(reply.size()) - 4);
}

bool breakInOn(const QString &reply)
{
    return part(reply, 3, 1) != QLatin1String("0");
}

std::optional<int> modeIndex(const QString &reply, const RadioCapabilities &capabilities)
{
    if (part(reply, 3, 1) != QLatin1String("0")) {
        return std::nullopt;
    }
    const QString code = part(reply, 4, 1);
    for (qsizetype i = 0; i < capabilities.modes.size(); ++i) {
        if (code == QLatin1Char(capabilities.modes[i].code)) {
            return int(i);
        }
    }
    return -1;
}

KeySpeed keySpeed(const QString &reply)
{
    KeySpeed speed;
    speed.caption = part(reply, 3, 3) + QStringLiteral("WPM");
    speed.wpm = leadingNumber(speed.caption);
    return speed;
}

bool isNotTheAnswer(const QByteArray &message, const QByteArray &query)
{
    if (message == query) {
        return true;
    }
    auto capital = [](char c) { return c >= 'A' && c <= 'Z'; };
    if (message.size() < 3 || !message.endsWith(';') || !capital(message[0]) || !capital(message[1])) {
        return false;
    }
    return !query.startsWith(message.left(2));
}

} // namespace Ft2000Cat
