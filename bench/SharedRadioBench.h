// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <vector>

// RIGDECK beside a logger: the simulated FT2000 on a pseudo-terminal with a
// real Hamlib rigctld in front of it. Click to command at the radio through
// rigctld, and start-up through rigctld beside start-up on the direct line.
struct SharedRadioRow {
    QString what;
    QString measured;
    QString target;
    bool met = false;
};

// Empty when rigctld or rigdeck-sim is missing (one row says so).
std::vector<SharedRadioRow> measureSharedRadio(const QString &rigdeckSim, int samples, int runs);
