// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IdleBench.h"
#include "Report.h"

#include <vector>

// A server that goes away and comes back (rigctld stopped and started again
// on the same port, tests/support's RigctldStation): how soon the line is up
// again by itself and when a button is pressed, and what the real rigdeck
// costs while its line is down and being tried again, beside its idle cost
// with the line up.
std::vector<Row> measureServerOutage(const BenchOptions &options, const QString &folder, const RealIdle &idle,
                                     long long idleAllowance);
