// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/LineSettings.h"

#include "settings/Settings.h"

namespace {

constexpr int Ports = 9;

QByteArray environmentName(int port)
{
    return QByteArrayLiteral("RIGDECK_COM") + QByteArray::number(port);
}

// What port n names, given its entry in section DEVICE as read.
QString deviceOf(int port, const QString &stored)
{
    if (port < 1 || port > Ports) {
        return QString();
    }
    const QByteArray variable = qgetenv(environmentName(port).constData());
    if (!variable.isEmpty()) {
        return QString::fromLocal8Bit(variable);
    }
    const QString device = stored.trimmed();
    return device.isEmpty() || device == SettingMissing ? defaultDeviceName(port) : device;
}

} // namespace

LineSettings LineSettings::read(const QString &settingsFile)
{
    QList<std::pair<QString, QString>> keys = {{Key::Port, Section::Com}};
    for (int port = 1; port <= Ports; ++port) {
        keys.append({Key::device(port), Section::Device});
    }
    const QStringList stored = ReadSettings(keys, settingsFile);
    LineSettings line;
    line.port = PortSetting(stored[0] == SettingMissing ? PortSetting::Default : stored[0]);
    const int port = line.portNumber();
    line.device = deviceOf(port, port >= 1 ? stored[port] : QString());
    return line;
}

QString deviceForPort(int port, const QString &settingsFile)
{
    if (port < 1 || port > Ports) {
        return QString();
    }
    return deviceOf(port, ReadSetting(Key::device(port), Section::Device, settingsFile));
}

QString defaultDeviceName(int port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
#endif
}
