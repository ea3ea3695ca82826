// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PacedLine.h"
#include "Report.h"

#include <vector>

// The real rigdeck started offscreen on a line paced like an 8N1 wire, at
// 4800 and at 38400 baud, with the marks library preloaded: process start to
// the main window painted after the eight answers, split into its parts and
// set against what the line itself takes.

struct Exchange {
    qsizetype queryBytes;
    qsizetype replyBytes;
};

struct StartRun {
    double total = 0;
    double toApplication = 0;
    double toBuilding = 0;
    double toFirstQuery = 0;
    double onTheLine = 0;
    double toShown = 0;
    double toExposed = 0;
    double toPainted = 0;
    std::vector<Exchange> exchanges;
};

struct LineFloor {
    qsizetype queryBytes = 0;
    qsizetype replyBytes = 0;
    // Every pause, then every byte: nothing overlaps.
    double serial = 0;
    // Each pause runs while its query and reply cross the wire.
    double overlapped = 0;
    // From the first query to the last reply on the line: the last pause
    // ends after it, on the program's side.
    double span = 0;
};

struct StartResults {
    int baud = 0;
    std::vector<StartRun> runs;
    LineFloor floor;
};

// A start to warm the file cache, then options.runs starts at each speed.
std::vector<StartResults> measureStartups(const BenchOptions &options, PacedLine &line, const QString &folder);
void addStartupRows(Table &table, const std::vector<StartResults> &starts);

// How many answers the line has handed over so far.
qsizetype answeredQueries(const PacedLine &line);
