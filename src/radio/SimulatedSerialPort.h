// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Line.h"
#include "sim/Ft2000Model.h"

// The built-in simulated FT2000 behind the serial port interface, for running
// the program without a radio (--demo). Replies are ready at once.
class SimulatedSerialPort : public Line
{
    Q_OBJECT
public:
    explicit SimulatedSerialPort(QObject *parent = nullptr);

    bool portOpen() const override { return m_open; }
    void close() override { m_open = false; }
    bool output(const QByteArray &data) override;
    bool input(QByteArray &data) override;
    QString shownName() const override;

    Ft2000Model &model() { return m_model; }

protected:
    bool openLine() override;

private:
    Ft2000Model m_model;
    QByteArray m_pending;
    bool m_open = false;
};
