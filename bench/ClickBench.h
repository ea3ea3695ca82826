// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PacedLine.h"
#include "Report.h"

class Form1;

// The command path on a main window built in the probe, where the exact
// moments can be taken on both sides of the unpaced line: a click to its
// command at the radio, a reply to ReadResponse's return, and what the
// reply wait's polling costs.
struct ClickResults {
    Summary releaseToWire;
    Summary clickToWire;
    Summary replyToReturn;
    Summary pollSleep;
    ProcessStats longWait;
    double longWaitMs = 0;
};

ClickResults measureClicks(const BenchOptions &options, PacedLine &line, Form1 &window);
void addClickRows(Table &table, const ClickResults &results);
