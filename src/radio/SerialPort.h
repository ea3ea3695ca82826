// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QObject>
#include <QString>

// The serial line to the radio, reduced to the operations the program uses:
// configure while closed, open, write one command, take whatever has
// arrived, close. Implemented on QSerialPort, on TCP connections and by the
// simulated radio.
//
// Every command handed to output() is accounted for exactly once: it leaves
// on the line (commandSent) or it is dropped, with the reason
// (commandDropped). A server may refuse a command that left (commandRefused).
class SerialPort : public QObject
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

    // Port number 1-9 as stored in the settings; 0 and others name no port.
    void setCommPort(int port) { m_commPort = port; }
    int commPort() const { return m_commPort; }
    // The line's speed in baud, always with no parity, 8 data bits, 1 stop
    // bit and no handshake. 0 (no speed) and below: the port refuses to open.
    void setBaudRate(qint32 baud) { m_baudRate = baud; }
    qint32 baudRate() const { return m_baudRate; }
    // The device to open instead of the one the port number names.
    void setDeviceName(const QString &device) { m_deviceName = device; }
    // The device set for this port, else the one its number names.
    virtual QString deviceName() const;

    virtual bool portOpen() const = 0;
    // False when the port does not exist, is in use or is not configured.
    virtual bool open() = 0;
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
    // Raised when data arrives or the line changes state; the program does
    // not act on it.
    void onComm(int event);
    void commandSent(const QByteArray &command);
    void commandDropped(const QByteArray &command, SerialPort::DropReason reason);
    // The server the line runs through refused a command that reached it.
    void commandRefused(const QByteArray &command, const QByteArray &answer);
    // An open line went down (the adapter pulled, the server gone); why, in
    // a few words for the trace.
    void failed(const QString &reason);
    // The outcome of reopen().
    void reopened(bool ok);
    // A busy line can take the next command.
    void ready();
    void stateChanged(SerialPort::State state, const QString &reason);

protected:
    bool configured() const { return m_commPort >= 1 && m_baudRate > 0; }
    QDeadlineTimer sendBy() const { return m_sendBy; }
    // Says what became of a command written at once; returns written.
    bool accountFor(const QByteArray &data, bool written);

private:
    int m_commPort = 0;
    qint32 m_baudRate = 0;
    QString m_deviceName;
    QDeadlineTimer m_sendBy{QDeadlineTimer::Forever};
};

// Device behind port number n without a settings file: the name in the
// environment variable RIGDECK_COMn if set, otherwise COMn on Windows and
// /dev/ttyUSB<n-1> elsewhere.
QString serialDeviceName(int port);
// The default alone: COMn on Windows, /dev/ttyUSB<n-1> elsewhere.
QString defaultDeviceName(int port);
// Device behind port number n: RIGDECK_COMn if set, else the entry COMn of
// section DEVICE in the settings file, else the default. A device is a
// serial port, or a radio across the network: "tcp:HOST:PORT",
// "rigctld:HOST[:PORT]", "flrig:HOST[:PORT]".
QString deviceForPort(int port, const QString &settingsFile);
