// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/Ft2000Cat.h"

namespace Ft2000Cat {

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

QString modeSet(int index)
{
    return QStringLiteral("MD0%1;").arg(QLatin1Char(ModeCode[index]));
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

QString mid(const QString &text, int start, int length)
{
    if (start - 1 >= text.size()) {
        return QString();
    }
    return text.mid(start - 1, length);
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
    if (reply == QLatin1String("?;") || mid(reply, 4, 2) == QLatin1String("};")) {
        return QString();
    }
    if (reply.size() < 4) {
        return std::nullopt;
    }
    return reply.mid(3, reply.size() - 4);
}

bool breakInOn(const QString &reply)
{
    return mid(reply, 3, 1) != QLatin1String("0");
}

int modeIndexOfCode(QChar code)
{
    for (int i = 0; i < Modes; ++i) {
        if (code == QLatin1Char(ModeCode[i])) {
            return i;
        }
    }
    return -1;
}

std::optional<int> modeIndex(const QString &reply)
{
    if (mid(reply, 3, 1) != QLatin1String("0")) {
        return std::nullopt;
    }
    const QString code = mid(reply, 4, 1);
    return code.isEmpty() ? -1 : modeIndexOfCode(code.at(0));
}

KeySpeed keySpeed(const QString &reply)
{
    KeySpeed speed;
    speed.caption = mid(reply, 3, 3) + QStringLiteral("WPM");
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
