// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/SerialPort.h"

#include <memory>

// The port the program opens: the line behind port number n is a serial
// device, a TCP connection when its name is "tcp:HOST:PORT", or a radio
// shared through rigctld ("rigctld:HOST[:PORT]") or flrig
// ("flrig:HOST[:PORT]"). Which one is decided each time the port is opened.
class RadioPort : public SerialPort
{
    Q_OBJECT
public:
    explicit RadioPort(QObject *parent = nullptr);
    ~RadioPort() override;

    bool portOpen() const override;
    bool open() override;
    void close() override;
    bool output(const QByteArray &data) override;
    bool outputQuery(const QByteArray &data) override;
    bool input(QByteArray &data) override;

private:
    std::unique_ptr<SerialPort> m_line;
};
