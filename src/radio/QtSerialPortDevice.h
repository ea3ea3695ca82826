// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Line.h"

#include <QSerialPort>

// The real line: a QSerialPort on the device that the port number names.
class QtSerialPortDevice : public Line
{
    Q_OBJECT
public:
    explicit QtSerialPortDevice(QObject *parent = nullptr);

    bool portOpen() const override;
    void close() override;
    void reopen() override;
    bool output(const QByteArray &data) override;
    bool input(QByteArray &data) override;

protected:
    bool openLine() override;

private:
    bool terminalHungUp() const;
    bool lineHungUp();
    void fail();

    QSerialPort m_port;
    bool m_failed = false;
};
