// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Report.h"

#include <vector>

// The real rigdeck against a line that misbehaves after start-up: a tty the
// kernel hung up, a flood of bytes nobody asked for (serial and TCP), and a
// radio that reports its dial before every answer.
std::vector<Row> measureLineFaults(const BenchOptions &options, const QString &folder);
