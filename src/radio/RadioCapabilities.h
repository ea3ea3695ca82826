// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <chrono>

// What a radio offers the window and what it needs of the line: one table
// per radio model. The panels take every count, range and pause from here.
struct RadioCapabilities {
    struct Mode {
        QString name; // as the window shows it, in half-width letters
        char code;    // the radio's own number for it
    };

    QString model;
    // In the order the window shows them.
    QList<Mode> modes;
    // Message memories and text memories of the contest keyer, each.
    int keyerMemories = 0;
    int voiceChannels = 0;
    // The longest take a voice channel holds.
    std::chrono::seconds longestVoiceTake{0};
    int minimumKeySpeed = 0; // WPM
    int maximumKeySpeed = 0;
    // The radio needs a moment to answer before the wait for its reply
    // begins, and a moment after a key-speed change before the next command.
    std::chrono::milliseconds queryPause{0};
    std::chrono::milliseconds keySpeedSettle{0};
};

// The Yaesu FT2000. The window's order is LSB, USB, FM, AM, CW; the radio
// numbers them 1, 2, 4, 5, 3.
inline const RadioCapabilities Ft2000Capabilities = {
    QStringLiteral("FT2000"),
    {{QStringLiteral("LSB"), '1'},
     {QStringLiteral("USB"), '2'},
     {QStringLiteral("FM"), '4'},
     {QStringLiteral("AM"), '5'},
     {QStringLiteral("CW"), '3'}},
    5,
    5,
    std::chrono::seconds(20),
    4,
    60,
    std::chrono::milliseconds(8),
    std::chrono::milliseconds(30),
};
