// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayList>
#include <QHash>

// What start-up asks the radio, in order.
inline const QByteArrayList StartupQueries = {"KM1;", "KM2;", "KM3;", "KM4;", "KM5;", "BI;", "MD0;", "KS;"};

// A radio's answers to the start-up queries, for RadioRig::script: text
// memories CQ TEST}, empty, ABC}, X} and ABC}, break-in off, USB, 25 WPM.
// A test changes the one answer it is about.
inline QHash<QByteArray, QByteArray> normalReplies()
{
    return {{"KM1;", "KM1CQ TEST};"}, {"KM2;", "KM2};"}, {"KM3;", "KM3ABC};"}, {"KM4;", "KM4X};"},
            {"KM5;", "KM5ABC};"},     {"BI;", "BI0;"},   {"MD0;", "MD02;"},    {"KS;", "KS025;"}};
}
