// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

// The real rigdeck against a line that misbehaves after start-up: a tty the
// kernel hung up, a flood of bytes nobody asked for (serial and TCP), and a
// radio that reports its dial before every answer.
struct LineFaultRow {
    QString what;
    QString measured;
    QString target;
    bool met = false;
};

std::vector<LineFaultRow> measureLineFaults(const QString &rigdeck, const QString &folder, int idleSeconds,
                                            qint64 floodBytes);
