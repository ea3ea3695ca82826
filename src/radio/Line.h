// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/LineSettings.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

// A line to the radio, reduced to the operations the program uses: open with
// its settings, write one command, take whatever has arrived, close. A serial
// port, a TCP connection, a server that shares the radio, the simulated radio.
//
// Every command handed to output() is accounted for exactly once: it leaves
// on the line (commandSent) or it is dropped, with the reason
// (commandDropped). A server may refuse a command that left (commandRefused).
class Line : public QObject
{
    Q_OBJECT
public:
    // Open: commands leave as they come. Reconnecting: the line failed and is
    // being brought back; commands wait for it within their deadline. Closed:
    // never opened, or closed; commands are dropped.
    enum class State { Closed, Open, Reconnecting };
    Q_ENUM(State)
    enum class DropReason {
        LineDown,  // the line is not open
        TooLate,   // it could not leave within its deadline
        QueueFull, // too many commands are waiting already
    };
    Q_ENUM(DropReason)

    using QObject::QObject;

    // The port number, speed and device of the line; kept for bringing a
    // failed line back.
    const LineSettings &settings() const { return m_settings; }
    // What the window calls the line: its device or address.
    virtual QString shownName() const { return m_settings.device; }

    virtual bool portOpen() const = 0;
    // Opens the line these settings name, with their speed, no parity, 8 data
    // bits, 1 stop bit and no handshake. False when the port does not exist,
    // is in use, or the settings name no port or no speed.
    bool open(const LineSettings &settings);
    virtual void close() = 0;
    // Tries to bring a failed line back without holding up the window; the
    // result comes as reopened(). A line that can open at once does so.
    virtual void reopen();
    virtual State state() const { return portOpen() ? State::Open : State::Closed; }

    // Hands the whole text to the line in one write. False when the line did
    // not take it (closed, or it failed the write; commandDropped says so).
    virtual bool output(const QByteArray &data) = 0;
    // The same for a query whose reply the caller reads next: a line that
    // passes commands through a server has to ask for the reply.
    virtual bool outputQuery(const QByteArray &data) { return output(data); }
    // Everything received and not yet taken, possibly nothing; never waits.
    // False when the line failed.
    virtual bool input(QByteArray &data) = 0;
    // Whether output() would send at once; a line that passes one request at
    // a time to a server is busy until the server has answered.
    virtual bool readyToSend() const { return portOpen(); }
    // A command that has to wait (behind a request in flight, or for a
    // connection) goes no later than this.
    void setSendBy(QDeadlineTimer sendBy) { m_sendBy = sendBy; }

signals:
    // Something arrived.
    void dataArrived();
    void commandSent(const QByteArray &command);
    void commandDropped(const QByteArray &command, Line::DropReason reason);
    // The server the line runs through refused a command that reached it.
    void commandRefused(const QByteArray &command, const QByteArray &answer);
    // An open line went down (the adapter pulled, the server gone); why, in
    // a few words for the trace.
    void failed(const QString &reason);
    // The outcome of reopen().
    void reopened(bool ok);
    // A busy line can take the next command.
    void ready();
    void stateChanged(Line::State state, const QString &reason);

protected:
    // Opens the line of settings(), which name a port and a speed.
    virtual bool openLine() = 0;
    QDeadlineTimer sendBy() const { return m_sendBy; }
    // Says what became of a command written at once; returns written.
    bool accountFor(const QByteArray &data, bool written);

private:
    LineSettings m_settings;
    QDeadlineTimer m_sendBy{QDeadlineTimer::Forever};
};
