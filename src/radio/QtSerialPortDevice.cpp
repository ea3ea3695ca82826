#include "radio/QtSerialPortDevice.h"

QtSerialPortDevice::QtSerialPortDevice(QObject *parent)
    : SerialPort(parent)
{
    connect(&m_port, &QSerialPort::readyRead, this, [this] { emit onComm(2); });
    connect(&m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // A resource error is the line going away under us (USB adapter pulled
        // out, pseudo-terminal hung up): from then on the port counts as closed.
        if (error == QSerialPort::ResourceError || error == QSerialPort::PermissionError) {
            m_failed = true;
        }
        if (error != QSerialPort::NoError) {
            emit onComm(1000 + int(error));
        }
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

bool QtSerialPortDevice::output(const QByteArray &data)
{
    if (!portOpen()) {
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
    // A zero timeout only polls: it moves bytes that the system already holds
    // into the port's buffer without waiting, so a reply that is waiting is
    // taken by the first read.
    m_port.waitForReadyRead(0);
    data = m_port.readAll();
    return !m_failed;
}
