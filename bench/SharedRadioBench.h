// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Report.h"

#include <vector>

// RIGDECK beside a logger: the simulated FT2000 on a pseudo-terminal with a
// real Hamlib rigctld in front of it (tests/support's RigctldStation). Click
// to command at the radio through rigctld, with rigctld free and while
// another client holds it with a slow request, and start-up through rigctld
// beside start-up on the direct line.
// One row says so when rigctld or rigdeck-sim is missing.
std::vector<Row> measureSharedRadio(const BenchOptions &options);

// The row that stands for measurements the rigctld station could not be
// started for: no failure when rigctld or rigdeck-sim is missing, one when
// they do not come up.
Row stationNotStartedRow(const QString &what, const QString &why, const BenchOptions &options);
