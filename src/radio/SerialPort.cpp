// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/SerialPort.h"

#include "settings/Settings.h"

QString SerialPort::deviceName() const
{
    return m_deviceName.isEmpty() ? serialDeviceName(m_commPort) : m_deviceName;
}

void SerialPort::reopen()
{
    const bool ok = open();
    // Told once the caller has returned, as a line that connects later does.
    QMetaObject::invokeMethod(
        this, [this, ok] { emit reopened(ok); }, Qt::QueuedConnection);
}

bool SerialPort::accountFor(const QByteArray &data, bool written)
{
    if (written) {
        emit commandSent(data);
    } else {
        emit commandDropped(data, DropReason::LineDown);
    }
    return written;
}

QString defaultDeviceName(int port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
#endif
}

QString serialDeviceName(int port)
{
    const QByteArray override = qgetenv(QStringLiteral("RIGDECK_COM%1").arg(port).toLatin1().constData());
    if (!override.isEmpty()) {
        return QString::fromLocal8Bit(override);
    }
    return defaultDeviceName(port);
}

QString deviceForPort(int port, const QString &settingsFile)
{
    if (port < 1 || port > 9) {
        return QString();
    }
    if (!qEnvironmentVariableIsEmpty(QStringLiteral("RIGDECK_COM%1").arg(port).toLatin1().constData())) {
        return serialDeviceName(port);
    }
    const QString stored = ReadSetting(Key::device(port), Section::Device, settingsFile).trimmed();
    return stored.isEmpty() || stored == SettingMissing ? defaultDeviceName(port) : stored;
}
