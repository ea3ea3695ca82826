// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// The stored port and speed, "1,19200": the port number as one character, a
// comma, the speed in baud as typed. Read once at start-up, returned by the
// communication settings dialog, handed to the port when it is opened.
class PortSetting
{
public:
    static inline const QString Default = QStringLiteral("1,19200");

    PortSetting() = default;
    explicit PortSetting(QString stored)
        : m_text(std::move(stored))
    {
    }
    // The dialog's choice: the fourth character of "COMn", a comma, the speed
    // as typed ("COM12" gives port 1; a text too short gives no port at all).
    static PortSetting fromChoice(const QString &portText, const QString &speedText)
    {
        return PortSetting(portText.mid(3, 1) + QLatin1Char(',') + speedText);
    }

    // As stored.
    const QString &text() const { return m_text; }
    // The speed part: the text from its third character on.
    QString BaudText() const { return m_text.mid(2); }
    // The port number its first character names, 0 for none (not a digit).
    int portNumber() const
    {
        const QChar c = m_text.isEmpty() ? QChar() : m_text.at(0);
        return c >= QLatin1Char('0') && c <= QLatin1Char('9') ? c.unicode() - '0' : 0;
    }
    // The speed in baud, 0 when the speed part is no positive number.
    qint32 baudRate() const
    {
        bool isNumber = false;
        const qint32 baud = BaudText().trimmed().toInt(&isNumber);
        return isNumber && baud > 0 ? baud : 0;
    }

    bool operator==(const PortSetting &) const = default;

private:
    QString m_text = Default;
};
