// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Report.h"

#include <vector>

// The window's own start-up, split where the real process cannot be: in a
// fresh probe process each time, so that fonts and styles are as cold as
// they are for the program.
struct ColdStart {
    double fonts = 0;
    double construction = 0;
    double toFirstQuery = 0;
};

// The probe's option that makes it the child: build one window, print its
// three times, end.
inline constexpr char ColdStartOption[] = "cold-start";
int coldStartChild();

std::vector<ColdStart> measureColdStarts(const BenchOptions &options);
void addColdStartRows(Table &table, const std::vector<ColdStart> &starts);
