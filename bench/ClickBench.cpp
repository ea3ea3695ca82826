// SPDX-License-Identifier: GPL-3.0-or-later
#include "ClickBench.h"

#include "app/Form1.h"
#include "radio/RadioLink.h"

#include <QPushButton>
#include <QTest>
#include <QThread>

#include <optional>
#include <random>

#include <unistd.h>

namespace {

using namespace std::chrono_literals;

// Long enough for the reply wait's polling to show its cost.
constexpr auto LongReplyDelay = 200ms;
constexpr double ClickToWireTarget = 1.0;   // ms
constexpr double ReplyToReturnTarget = 2.0; // ms

// Times from just before the action to the command readable at the radio's end.
template <typename Action>
Summary commandLatency(const BenchOptions &options, PacedLine &line, const QByteArray &command, Action action)
{
    std::vector<double> latencies;
    line.setSpinning(true);
    for (int i = 0; i < options.samples; ++i) {
        line.clear();
        runEventLoop(20ms);
        const Clock::time_point from = action();
        const std::optional<PacedLine::Event> heard = line.waitFor(PacedLine::Event::Kind::Heard, command, from + 1s);
        if (heard) {
            latencies.push_back(milliseconds(heard->at - from));
        }
    }
    line.setSpinning(false);
    return summarize(latencies);
}

Summary replyToReturn(const BenchOptions &options, PacedLine &line, RadioLink &link)
{
    // Replies land at every phase of the reply wait's polling pass.
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> delayUs(2000, 6000);
    std::vector<double> returns;
    for (int i = 0; i < options.samples; ++i) {
        line.clear();
        runEventLoop(20ms);
        line.setReplyDelay(std::chrono::microseconds(delayUs(random)));
        QString reply;
        link.SendCommand(QStringLiteral("BI;"));
        link.ReadResponse(reply);
        const Clock::time_point returned = Clock::now();
        const std::optional<PacedLine::Event> answered =
            line.waitFor(PacedLine::Event::Kind::Answered, reply.toLatin1(), returned + 1s);
        if (answered && link.ResponseTimedOut() == 0) {
            returns.push_back(milliseconds(returned - answered->at));
        }
    }
    return summarize(returns);
}

} // namespace

ClickResults measureClicks(const BenchOptions &options, PacedLine &line, Form1 &window)
{
    ClickResults results;
    progress(QStringLiteral("click to wire"));
    auto *button = window.findChild<QPushButton *>(QStringLiteral("Command2_0"));
    if (button == nullptr) {
        giveUp(QStringLiteral("no button Command2_0"));
    }
    // The button sends on release; its press only repaints it.
    results.releaseToWire = commandLatency(options, line, QByteArrayLiteral("KY1;"), [button] {
        QTest::mousePress(button, Qt::LeftButton);
        const Clock::time_point released = Clock::now();
        QTest::mouseRelease(button, Qt::LeftButton);
        return released;
    });
    results.clickToWire = commandLatency(options, line, QByteArrayLiteral("KY1;"), [button] {
        const Clock::time_point clicked = Clock::now();
        button->click();
        return clicked;
    });

    progress(QStringLiteral("reply to return"));
    RadioLink &link = window.link();
    results.replyToReturn = replyToReturn(options, line, link);

    // What the polling costs while a slow reply is awaited.
    {
        line.clear();
        runEventLoop(20ms);
        line.setReplyDelay(LongReplyDelay);
        const pid_t self = ::getpid();
        const std::optional<ProcessStats> before = ProcessStats::ofThread(self, self);
        const Clock::time_point from = Clock::now();
        QString reply;
        link.SendCommand(QStringLiteral("BI;"));
        link.ReadResponse(reply);
        results.longWaitMs = milliseconds(Clock::now() - from);
        const std::optional<ProcessStats> after = ProcessStats::ofThread(self, self);
        if (before && after) {
            results.longWait = *after - *before;
        }
    }
    line.setReplyDelay(0us);

    // The wait's pause asks for 1 ms; what the system gives decides the polling pass.
    std::vector<double> sleeps;
    for (int i = 0; i < 200; ++i) {
        const Clock::time_point from = Clock::now();
        QThread::msleep(RadioLink::PollPause.count());
        sleeps.push_back(milliseconds(Clock::now() - from));
    }
    results.pollSleep = summarize(sleeps);
    return results;
}

void addClickRows(Table &table, const ClickResults &results)
{
    table.row(QStringLiteral("**Click to wire**: mouse release on Command2_0 (pressed just before) → \"KY1;\" "
                             "readable at the radio's end (in-process, n=%1)")
                  .arg(results.releaseToWire.count),
              describe(results.releaseToWire, 3), QStringLiteral("< %1 ms").arg(ClickToWireTarget),
              verdict(results.releaseToWire.median < ClickToWireTarget));
    table.row(QStringLiteral("  the same through QAbstractButton::click() (n=%1)").arg(results.clickToWire.count),
              describe(results.clickToWire, 3), QStringLiteral("< %1 ms").arg(ClickToWireTarget),
              verdict(results.clickToWire.median < ClickToWireTarget));
    table.row(QStringLiteral("**Reply to return**: reply's \";\" handed to the line at the radio's end → "
                             "ReadResponse returns (in-process, n=%1; 90th percentile %2 ms)")
                  .arg(results.replyToReturn.count)
                  .arg(number(results.replyToReturn.p90, 3)),
              describe(results.replyToReturn, 3), QStringLiteral("< %1 ms").arg(ReplyToReturnTarget),
              verdict(results.replyToReturn.median < ReplyToReturnTarget));
    table.row(QStringLiteral("  the reply wait's 1 ms pause as the system gives it (QThread::msleep(1), n=%1)")
                  .arg(results.pollSleep.count),
              describe(results.pollSleep, 3));
    table.row(QStringLiteral("  main thread while ReadResponse waits for a reply %1 ms away")
                  .arg(std::chrono::milliseconds(LongReplyDelay).count()),
              usageText(results.longWait, results.longWaitMs / 1000.0, 2));
}
