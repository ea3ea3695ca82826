#include "radio/QtSerialPortDevice.h"

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

QtSerialPortDevice::QtSerialPortDevice(QObject *parent)
    : SerialPort(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, [this] { emit onComm(2); });
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        switch (error) {
        case QSerialPort::NoError:
        case QSerialPort::TimeoutError: // the zero-timeout poll in input() found nothing
            return;
        case QSerialPort::ResourceError:
        case QSerialPort::PermissionError:
            // The line went away under us (USB adapter pulled out): from now
            // on the port counts as closed and commands are dropped.
            m_failed = true;
            break;
        default:
            break;
        }
        emit onComm(1000 + int(error));
    });
}

bool QtSerialPortDevice::portOpen() const
{
    return m_port.isOpen() && !m_failed;
}

bool QtSerialPortDevice::open()
{
    if (!configured()) {
        return false;
    }
    m_failed = false;
    m_port.setPortName(serialDeviceName(commPort()));
    if (!m_port.open(QIODevice::ReadWrite)) {
        return false;
    }
    const bool configuredLine = m_port.setBaudRate(baudRate()) && m_port.setDataBits(QSerialPort::Data8)
                                && m_port.setParity(QSerialPort::NoParity)
                                && m_port.setStopBits(QSerialPort::OneStop)
                                && m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configuredLine) {
        m_port.close();
        return false;
    }
    return true;
}

void QtSerialPortDevice::close()
{
    m_port.close();
    m_failed = false;
}

bool QtSerialPortDevice::lineHungUp()
{
#ifdef Q_OS_UNIX
    // A hung-up terminal raises no error in QSerialPort until something is
    // read, and sometimes not then; the descriptor itself tells at once.
    pollfd descriptor{int(m_port.handle()), 0, 0};
    if (::poll(&descriptor, 1, 0) > 0 && (descriptor.revents & (POLLHUP | POLLERR | POLLNVAL))) {
        m_failed = true;
    }
#endif
    return m_failed;
}

bool QtSerialPortDevice::output(const QByteArray &data)
{
    if (!portOpen() || lineHungUp()) {
        return false;
    }
    if (m_port.write(data) != data.size()) {
        return false;
    }
    // Hand the command to the line now rather than at the next event loop
    // pass, so pauses the caller makes after sending come after the bytes.
    m_port.flush();
    return !m_failed;
}

bool QtSerialPortDevice::input(QByteArray &data)
{
    data.clear();
    if (!portOpen()) {
        return false;
    }
#ifdef Q_OS_WIN
    // Here the bytes reach the port's buffer only through the event loop,
    // which the reply wait runs on every pass. Qt Serial Port's Windows back
    // end (6.4) loses count of completed operations when a synchronous wait
    // (waitForReadyRead) is mixed with its event-loop notifications, and a
    // later wait then reads a result that is not there and crashes.
#else
    // A zero timeout only polls: it moves bytes that the system already holds
    // into the port's buffer without waiting, so a reply that is waiting is
    // taken by the first read.
    m_port.waitForReadyRead(0);
#endif
    data = m_port.readAll();
    return data.isEmpty() ? !lineHungUp() : true;
}
