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
