// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTest>

// The two rows of a test whose cases differ in one flag, in this order.
inline void addFlagRows(const char *column, const char *first, bool firstValue, const char *second)
{
    QTest::addColumn<bool>(column);
    QTest::newRow(first) << firstValue;
    QTest::newRow(second) << !firstValue;
}

// Stored ports that start-up cannot open, in a column "settings"; port 8 is
// a device that does not exist in every RadioRig.
inline void addUnusablePortRows()
{
    QTest::addColumn<QByteArray>("settings");
    QTest::newRow("port 0") << QByteArray("[COM]\nPORT=0,19200\n");
    QTest::newRow("port that is no digit") << QByteArray("[COM]\nPORT=x,19200\n");
    QTest::newRow("speed that is no number") << QByteArray("[COM]\nPORT=1,abc\n");
    QTest::newRow("empty value") << QByteArray("[COM]\nPORT=\n");
    QTest::newRow("port part missing") << QByteArray("[COM]\nPORT=,9600\n");
    QTest::newRow("device that does not exist") << QByteArray("[COM]\nPORT=8,19200\n");
}
