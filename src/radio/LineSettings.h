// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/PortSetting.h"

#include <QString>

// The line to the radio as one value: the port and speed as stored
// ("1,19200") and the device that port number names. Read from the settings
// file once at start-up, returned whole by the port dialog, handed whole to
// the line that is opened.
struct LineSettings {
    PortSetting port;
    // A serial device, or a radio across the network: "tcp:HOST:PORT",
    // "rigctld:HOST[:PORT]", "flrig:HOST[:PORT]".
    QString device;

    int portNumber() const { return port.portNumber(); }
    qint32 baudRate() const { return port.baudRate(); }
    // A port number and a speed: only then does a line open.
    bool usable() const { return portNumber() >= 1 && baudRate() > 0; }

    // PORT of section COM (the default when none is stored) and the device
    // its number names, from one reading of the settings file.
    static LineSettings read(const QString &settingsFile);

    bool operator==(const LineSettings &) const = default;
};

// Device behind port number n: the environment variable RIGDECK_COMn if set,
// else the entry COMn of section DEVICE in the settings file, else the
// default. Empty for a number that names no port (only 1 to 9 do).
QString deviceForPort(int port, const QString &settingsFile);
// The default alone: COMn on Windows, /dev/ttyUSB<n-1> elsewhere.
QString defaultDeviceName(int port);
