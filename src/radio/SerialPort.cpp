#include "radio/SerialPort.h"


QString SerialPort::deviceName() const
{
    return m_deviceName.isEmpty() ? serialDeviceName(m_commPort) : m_deviceName;
}

QString serialDeviceName(int port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    const QByteArray override = qgetenv(QStringLiteral("RIGDECK_COM%1").arg(port).toLatin1().constData());
    if (!override.isEmpty()) {
        return QString::fromLocal8Bit(override);
    }
    return QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
#endif
}
