// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SimulatedSerialPort.h"

SimulatedSerialPort::SimulatedSerialPort(QObject *parent)
    : Line(parent)
{
}

bool SimulatedSerialPort::openLine()
{
    m_open = true;
    return true;
}

bool SimulatedSerialPort::output(const QByteArray &data)
{
    if (m_open) {
        m_pending += m_model.receive(data);
    }
    return accountFor(data, m_open);
}

QString SimulatedSerialPort::shownName() const
{
    // Shown to the operator where a real line shows its device.
    return tr("模擬 FT2000");
}

bool SimulatedSerialPort::input(QByteArray &data)
{
    data.clear();
    if (!m_open) {
        return false;
    }
    data.swap(m_pending);
    return true;
}
