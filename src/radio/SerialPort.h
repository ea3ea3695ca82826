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
    virtual void setCommPort(int port) { m_commPort = port; }
    int commPort() const { return m_commPort; }

    // Line settings in the form "19200,n,8,1". False when they cannot be
    // understood; the port then refuses to open.
    bool setSettings(const QString &settings);
    QString settings() const { return m_settings; }
    qint32 baudRate() const { return m_baudRate; }

    virtual bool portOpen() const = 0;
    // False when the port does not exist, is in use or is not configured.
    virtual bool open() = 0;
    virtual void close() = 0;

    // Hands the whole text to the line in one write. False when the line
    // failed (for instance the adapter was pulled out).
    virtual bool output(const QByteArray &data) = 0;
    // Everything received and not yet taken, possibly nothing; never waits.
    // False when the line failed.
    virtual bool input(QByteArray &data) = 0;

signals:
    // Raised when data arrives or the line changes state; the program does
    // not act on it.
    void onComm(int event);

protected:
    bool configured() const { return m_commPort >= 1 && m_baudRate > 0; }

private:
    int m_commPort = 0;
    QString m_settings;
    qint32 m_baudRate = 0;
};

// Device behind port number n: COMn on Windows; elsewhere the path in the
// environment variable RIGDECK_COMn if set, otherwise /dev/ttyUSB<n-1>.
QString serialDeviceName(int port);
