#include "radio/SerialPort.h"

#include <QStringList>

bool SerialPort::setSettings(const QString &settings)
{
    m_settings = settings;
    m_baudRate = 0;
    const QStringList parts = settings.split(QLatin1Char(','));
    if (parts.size() != 4) {
        return false;
    }
    bool isNumber = false;
    const qint32 baud = parts[0].trimmed().toInt(&isNumber);
    if (!isNumber || baud <= 0) {
        return false;
    }
    // The program only ever asks for no parity, 8 data bits, 1 stop bit.
    if (parts[1].trimmed().compare(QLatin1String("n"), Qt::CaseInsensitive) != 0
        || parts[2].trimmed() != QLatin1String("8") || parts[3].trimmed() != QLatin1String("1")) {
        return false;
    }
    m_baudRate = baud;
    return true;
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
