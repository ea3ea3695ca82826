// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RadioPort.h"

#include "radio/FlrigLinePort.h"
#include "radio/QtSerialPortDevice.h"
#include "radio/RigctldLinePort.h"
#include "radio/TcpLinePort.h"

RadioPort::RadioPort(QObject *parent)
    : SerialPort(parent)
{
}

RadioPort::~RadioPort() = default;

bool RadioPort::portOpen() const
{
    return m_line && m_line->portOpen();
}

bool RadioPort::open()
{
    if (!configured()) {
        return false;
    }
    const QString device = deviceName();
    if (device.startsWith(QLatin1String("tcp:"), Qt::CaseInsensitive)) {
        m_line = std::make_unique<TcpLinePort>(device);
    } else if (device.startsWith(RigctldLinePort::Scheme + QLatin1Char(':'), Qt::CaseInsensitive)) {
        m_line = std::make_unique<RigctldLinePort>(device);
    } else if (device.startsWith(FlrigLinePort::Scheme + QLatin1Char(':'), Qt::CaseInsensitive)) {
        m_line = std::make_unique<FlrigLinePort>(device);
    } else {
        m_line = std::make_unique<QtSerialPortDevice>();
    }
    connect(m_line.get(), &SerialPort::onComm, this, &SerialPort::onComm);
    m_line->setCommPort(commPort());
    m_line->setBaudRate(baudRate());
    m_line->setDeviceName(device);
    return m_line->open();
}

void RadioPort::close()
{
    if (m_line) {
        m_line->close();
    }
}

bool RadioPort::output(const QByteArray &data)
{
    return m_line && m_line->output(data);
}

bool RadioPort::outputQuery(const QByteArray &data)
{
    return m_line && m_line->outputQuery(data);
}

bool RadioPort::input(QByteArray &data)
{
    data.clear();
    return m_line && m_line->input(data);
}
