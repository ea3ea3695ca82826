// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "PacedLine.h"
#include "Report.h"

class Form1;

// What the program costs when nothing happens: the real rigdeck after
// start-up (every thread, and its memory), the window built in the probe
// (main thread), and the same window while a voice memory records.

struct RealIdle {
    ProcessStats usage;
    double seconds = 0;
    long long peakKilobytes = -1;
    long long residentKilobytes = -1;
};

struct WindowIdle {
    // The focused widget, and how often Qt blinks its text cursor meanwhile.
    QString focus;
    int blinkTicks = 0;
    ProcessStats usage;
    double seconds = 0;
};

struct RecordingIdle {
    WindowIdle idle;
    // Timer2's ticks while it was measured.
    int ticks = 0;
};

RealIdle measureRealIdle(const BenchOptions &options, PacedLine &line, const QString &folder);
WindowIdle measureWindowIdle(const BenchOptions &options);
// Clicks Command8_0, measures, clicks Command10.
RecordingIdle measureRecording(const BenchOptions &options, Form1 &window);

// The wake-ups idle may cost: the cursor's blinks and the measuring loop's own end.
long long idleAllowance(const WindowIdle &idle);
void addIdleRows(Table &table, const BenchOptions &options, const RealIdle &real, const WindowIdle &window,
                 const RecordingIdle &recording);
