// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/ServerLinePort.h"

// The radio behind Hamlib's rigctld, named "rigctld:HOST[:PORT]" (port 4532
// unless given). Each command goes through rigctld's raw pass-through in the
// extended response form, so that every answer ends in a "RPRT n" line:
// "+W KM1; ;" for a start-up query (rigctld reads the radio's reply up to
// its ";" and prints it after "Reply: "), "+W KY1; 0" for any other command
// (sent, the radio not waited for). A command holding a blank or anything
// but printable ASCII goes in rigctld's hex form, "\0x4B\0x59...", since the
// pass-through takes one word.
class RigctldLinePort : public ServerLinePort
{
    Q_OBJECT
public:
    static constexpr quint16 DefaultPort = 4532;
    static inline const QString Scheme = QStringLiteral("rigctld");

    explicit RigctldLinePort(QObject *parent = nullptr);

    // The request line for one command.
    static QByteArray requestFor(const QByteArray &command, bool query);

protected:
    QByteArray request(const Request &request) const override;
    void answerStarts() override { m_reply.clear(); }
    Answer parseAnswer(QByteArray &buffer, const Request &request, QByteArray &reply) override;

private:
    QByteArray m_reply;
};
