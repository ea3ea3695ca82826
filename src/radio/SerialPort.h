// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

// The serial line to the radio, reduced to the operations the program uses:
// configure while closed, open, write one command, take whatever has
// arrived, close. Implemented on QSerialPort and by the simulated radio.
class SerialPort : public QObject
{
    Q_OBJECT
public:
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

    virtual bool portOpen() const = 0;
    // False when the port does not exist, is in use or is not configured.
    virtual bool open() = 0;
    virtual void close() = 0;

    // Hands the whole text to the line in one write. False when the line
    // failed (for instance the adapter was pulled out).
    virtual bool output(const QByteArray &data) = 0;
    // The same for a query whose reply the caller reads next: a line that
    // passes commands through a server has to ask for the reply.
    virtual bool outputQuery(const QByteArray &data) { return output(data); }
    // Everything received and not yet taken, possibly nothing; never waits.
    // False when the line failed.
    virtual bool input(QByteArray &data) = 0;

signals:
    // Raised when data arrives or the line changes state; the program does
    // not act on it.
    void onComm(int event);

protected:
    bool configured() const { return m_commPort >= 1 && m_baudRate > 0; }
    // The device set for this port, else the one its number names.
    QString deviceName() const;

private:
    int m_commPort = 0;
    qint32 m_baudRate = 0;
    QString m_deviceName;
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
