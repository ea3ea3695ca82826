// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/ServerLinePort.h"

// The radio behind flrig, named "flrig:HOST[:PORT]" (port 12345 unless
// given), through its XML-RPC interface: HTTP POST to /RPC2, one call at a
// time. A start-up query is rig.cat_string, whose string result is the
// radio's reply ("No response..." or the integer 0 when there was none);
// every other command is rig.cat_priority, which flrig sends without waiting
// for the radio. flrig takes a string holding a lowercase "x" as hex bytes
// ("x4B x59 x31 x3B"), so such a command, or one with bytes outside
// printable ASCII, is sent in that form.
class FlrigLinePort : public ServerLinePort
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 12345;
    static inline const QString Scheme = QStringLiteral("flrig");

    explicit FlrigLinePort(QObject *parent = nullptr);

    // The string flrig is handed for the command: the command itself, or its
    // hex form.
    static QByteArray catString(const QByteArray &command);
    // The XML-RPC call for one command.
    static QByteArray methodCall(const QByteArray &command, bool query);

protected:
    QByteArray request(const Request &request) const override;
    Answer parseAnswer(QByteArray &buffer, const Request &request, QByteArray &reply) override;
    bool mayCloseAfterAnswer() const override { return true; }
    bool openLine() override;

private:
    QByteArray m_hostHeader;
};
