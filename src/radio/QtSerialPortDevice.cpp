// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/QtSerialPortDevice.h"

#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <poll.h>
#endif

QtSerialPortDevice::QtSerialPortDevice(QObject *parent)
    : Line(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, [this] {
        if (!lineHungUp()) {
            emit dataArrived();
        }
    });
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        switch (error) {
        case QSerialPort::NoError:
        case QSerialPort::TimeoutError: // the zero-timeout poll in input() found nothing
            return;
        case QSerialPort::ResourceError:
        case QSerialPort::PermissionError:
        case QSerialPort::ReadError:
            // The line went away under us (USB adapter pulled out, the tty
            // hung up): the port is closed until the device is back.
            fail();
            break;
        default:
            break;
        }
    });
}

bool QtSerialPortDevice::portOpen() const
{
    return m_port.isOpen() && !m_failed;
}

bool QtSerialPortDevice::openLine()
{
    m_port.close();
    m_failed = false;
    m_port.setPortName(settings().device);
    if (!m_port.open(QIODevice::ReadWrite)) {
        return false;
    }
    const bool configuredLine = m_port.setBaudRate(settings().baudRate()) && m_port.setDataBits(QSerialPort::Data8)
                                && m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop)
                                && m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!configuredLine) {
        m_port.close();
        return false;
    }
    // A terminal that is already hung up opens, but carries nothing.
    if (terminalHungUp()) {
        m_port.close();
        return false;
    }
    return true;
}

void QtSerialPortDevice::reopen()
{
#ifdef Q_OS_UNIX
    // Until the device is there again, trying costs no more than a look.
    if (!QFileInfo::exists(settings().device)) {
        QMetaObject::invokeMethod(
            this, [this] { emit reopened(false); }, Qt::QueuedConnection);
        return;
    }
#endif
    Line::reopen();
}

void QtSerialPortDevice::close()
{
    m_port.close();
    m_failed = false;
}

bool QtSerialPortDevice::terminalHungUp() const
{
#ifdef Q_OS_UNIX
    // A hung-up terminal raises no error in QSerialPort until something is
    // read, and sometimes not then; the descriptor itself tells at once.
    pollfd descriptor{int(m_port.handle()), 0, 0};
    return m_port.isOpen() && ::poll(&descriptor, 1, 0) > 0 && (descriptor.revents & (POLLHUP | POLLERR | POLLNVAL));
#else
    return false;
#endif
}

bool QtSerialPortDevice::lineHungUp()
{
    if (!m_failed && terminalHungUp()) {
        fail();
    }
    return m_failed;
}

void QtSerialPortDevice::fail()
{
    if (m_failed) {
        return;
    }
    m_failed = true;
    emit failed(QStringLiteral("the serial line hung up"));
    // A hung-up tty stays readable forever (every read gives nothing), so
    // the port must really be closed or its notifier spins. Not from inside
    // the port's own signal: once it has returned.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_failed) {
                m_port.close();
            }
        },
        Qt::QueuedConnection);
}

bool QtSerialPortDevice::output(const QByteArray &data)
{
    if (!portOpen() || lineHungUp() || m_port.write(data) != data.size()) {
        return accountFor(data, false);
    }
    // Hand the command to the line now rather than at the next event loop
    // pass, so pauses the caller makes after sending come after the bytes.
    m_port.flush();
    return accountFor(data, !m_failed);
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
