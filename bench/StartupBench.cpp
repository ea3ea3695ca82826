// SPDX-License-Identifier: GPL-3.0-or-later
#include "StartupBench.h"

#include "radio/RadioCapabilities.h"
#include "support/ProgramLauncher.h"

#include <QFile>
#include <QHash>

#include <algorithm>
#include <optional>

namespace {

using namespace std::chrono_literals;

// The pause start-up makes after each query before it waits for the reply:
// the program's own constant, so the floors follow it.
const auto ProgramQueryPause = Ft2000Capabilities.queryPause;
constexpr int StartupQueries = 8;
constexpr int BitsPerByte = 10;
constexpr auto StartupTimeout = 30s;
constexpr double StartupOverheadTarget = 100.0; // ms

using Marks = QHash<QByteArray, Clock::time_point>;

Marks readMarks(const QString &path)
{
    Marks marks;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return marks;
    }
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QList<QByteArray> parts = line.split(' ');
        if (parts.size() == 2) {
            marks.insert(parts[0], Clock::time_point(std::chrono::nanoseconds(parts[1].toLongLong())));
        }
    }
    return marks;
}

// Each reply with the command it answers, in order.
std::vector<Exchange> exchangesOf(const std::vector<PacedLine::Event> &events)
{
    std::vector<Exchange> exchanges;
    qsizetype lastQuery = 0;
    for (const PacedLine::Event &event : events) {
        if (event.kind == PacedLine::Event::Kind::Heard) {
            lastQuery = event.bytes.size();
        } else {
            exchanges.push_back({lastQuery, event.bytes.size()});
        }
    }
    return exchanges;
}

LineFloor lineFloor(const std::vector<Exchange> &exchanges, int baud)
{
    LineFloor floor;
    const double byteMs = 1000.0 * BitsPerByte / baud;
    const double pauseMs = milliseconds(ProgramQueryPause);
    for (const Exchange &exchange : exchanges) {
        floor.queryBytes += exchange.queryBytes;
        floor.replyBytes += exchange.replyBytes;
        const double wire = double(exchange.queryBytes + exchange.replyBytes) * byteMs;
        floor.serial += pauseMs + wire;
        floor.overlapped += std::max(pauseMs, wire);
        floor.span += &exchange == &exchanges.back() ? wire : std::max(pauseMs, wire);
    }
    return floor;
}

std::optional<StartRun> startOnce(const BenchOptions &options, PacedLine &line, const QString &folder, int baud)
{
    const QString ini = folder + QStringLiteral("/RIGDECK.INI");
    const QString marksFile = folder + QStringLiteral("/marks");
    writeFile(ini, settingsFor(baud));
    QFile::remove(marksFile);
    line.clear();
    line.setBaud(baud);

    ProgramLauncher rigdeck(options.rigdeck);
    rigdeck.setOutputFile(folder + QStringLiteral("/rigdeck.out"));
    const QHash<QString, QString> variables = {
        {QStringLiteral("RIGDECK_INI"), ini},
        {QStringLiteral("RIGDECK_COM1"), line.devicePath()},
        {QStringLiteral("RIGDECK_BENCH_MARKS"), marksFile},
        {QStringLiteral("LD_PRELOAD"), options.marksLibrary},
    };
    if (!rigdeck.start({}, variables)) {
        giveUp(QStringLiteral("cannot start %1").arg(options.rigdeck));
    }
    Marks marks;
    if (!rigdeck.waitUntil([&] { return (marks = readMarks(marksFile)).contains("painted"); }, StartupTimeout)) {
        progress(QStringLiteral("rigdeck did not come up at %1 baud; its output is in %2/rigdeck.out")
                     .arg(baud)
                     .arg(folder));
        return std::nullopt;
    }
    rigdeck.stop();

    const std::vector<PacedLine::Event> events = line.events();
    const auto firstHeard = std::find_if(events.cbegin(), events.cend(), [](const PacedLine::Event &event) {
        return event.kind == PacedLine::Event::Kind::Heard;
    });
    const auto lastAnswered = std::find_if(events.crbegin(), events.crend(), [](const PacedLine::Event &event) {
        return event.kind == PacedLine::Event::Kind::Answered;
    });
    StartRun run;
    run.exchanges = exchangesOf(events);
    if (firstHeard == events.cend() || lastAnswered == events.crend() || run.exchanges.size() != StartupQueries
        || !marks.contains("application") || !marks.contains("building") || !marks.contains("shown")
        || !marks.contains("exposed")) {
        progress(QStringLiteral("start-up at %1 baud did not go as expected (%2 exchanges)")
                     .arg(baud)
                     .arg(run.exchanges.size()));
        return std::nullopt;
    }
    run.total = milliseconds(marks["painted"] - rigdeck.started());
    run.toApplication = milliseconds(marks["application"] - rigdeck.started());
    run.toBuilding = milliseconds(marks["building"] - marks["application"]);
    run.toFirstQuery = milliseconds(firstHeard->at - marks["building"]);
    run.onTheLine = milliseconds(lastAnswered->at - firstHeard->at);
    run.toShown = milliseconds(marks["shown"] - lastAnswered->at);
    run.toExposed = milliseconds(marks["exposed"] - marks["shown"]);
    run.toPainted = milliseconds(marks["painted"] - marks["exposed"]);
    progress(QStringLiteral("  %1 baud: %2 ms (start %3, build %4, line %5, show %6, paint %7)")
                 .arg(baud)
                 .arg(number(run.total), number(run.toApplication + run.toBuilding), number(run.toFirstQuery),
                      number(run.onTheLine), number(run.toShown + run.toExposed), number(run.toPainted)));
    return run;
}

StartResults measureAt(const BenchOptions &options, PacedLine &line, const QString &folder, int baud)
{
    StartResults results;
    results.baud = baud;
    for (int i = 0; i < options.runs; ++i) {
        if (std::optional<StartRun> run = startOnce(options, line, folder, baud)) {
            results.runs.push_back(std::move(*run));
        }
    }
    if (results.runs.empty()) {
        giveUp(QStringLiteral("no start-up at %1 baud succeeded").arg(baud));
    }
    results.floor = lineFloor(results.runs.back().exchanges, baud);
    return results;
}

template <typename Field>
Summary summarizeRuns(const std::vector<StartRun> &runs, Field field)
{
    std::vector<double> values;
    for (const StartRun &run : runs) {
        values.push_back(field(run));
    }
    return summarize(values);
}

void addSpeedRows(Table &table, const StartResults &results)
{
    const Summary total = summarizeRuns(results.runs, [](const StartRun &run) { return run.total; });
    const Summary overSerial =
        summarizeRuns(results.runs, [&](const StartRun &run) { return run.total - results.floor.serial; });
    const Summary overOverlapped =
        summarizeRuns(results.runs, [&](const StartRun &run) { return run.total - results.floor.overlapped; });
    const Summary onLine = summarizeRuns(results.runs, [](const StartRun &run) { return run.onTheLine; });
    const QString baud = QString::number(results.baud);

    table.row(QStringLiteral("**Start-up to ready, %1 baud**: process start → main window painted after the eight "
                             "answers (real `rigdeck`, n=%2)")
                  .arg(baud)
                  .arg(total.count),
              describe(total));
    table.row(QStringLiteral("  line floor, serial: %1 × %5 ms pauses + (%2 query + %3 reply bytes) × 10 bits / %4 "
                             "baud")
                  .arg(StartupQueries)
                  .arg(results.floor.queryBytes)
                  .arg(results.floor.replyBytes)
                  .arg(baud)
                  .arg(ProgramQueryPause.count()),
              number(results.floor.serial) + QStringLiteral(" ms"));
    table.row(QStringLiteral("  overhead beyond the serial floor"), describe(overSerial),
              QStringLiteral("< %1 ms").arg(StartupOverheadTarget), verdict(overSerial.median < StartupOverheadTarget));
    table.row(QStringLiteral("  line floor, overlapped: Σ max(%1 ms pause, query + reply on the wire)")
                  .arg(ProgramQueryPause.count()),
              number(results.floor.overlapped) + QStringLiteral(" ms"));
    table.row(QStringLiteral("  overhead beyond the overlapped floor"), describe(overOverlapped),
              QStringLiteral("< %1 ms").arg(StartupOverheadTarget),
              verdict(overOverlapped.median < StartupOverheadTarget));
    table.row(QStringLiteral("  of which on the line: first query heard → last reply handed over (its floor %1 ms)")
                  .arg(number(results.floor.span)),
              describe(onLine));
}

} // namespace

qsizetype answeredQueries(const PacedLine &line)
{
    return qsizetype(exchangesOf(line.events()).size());
}

std::vector<StartResults> measureStartups(const BenchOptions &options, PacedLine &line, const QString &folder)
{
    progress(QStringLiteral("start-up, warming the file cache"));
    startOnce(options, line, folder, 38400);
    std::vector<StartResults> starts;
    for (const int baud : {4800, 38400}) {
        progress(QStringLiteral("start-up at %1 baud, %2 runs").arg(baud).arg(options.runs));
        starts.push_back(measureAt(options, line, folder, baud));
    }
    return starts;
}

void addStartupRows(Table &table, const std::vector<StartResults> &starts)
{
    std::vector<StartRun> allRuns;
    for (const StartResults &results : starts) {
        addSpeedRows(table, results);
        allRuns.insert(allRuns.end(), results.runs.begin(), results.runs.end());
    }
    auto part = [&](const QString &what, double (*field)(const StartRun &)) {
        table.row(QStringLiteral("  start-up part (both speeds, n=%1): %2").arg(allRuns.size()).arg(what),
                  describe(summarizeRuns(allRuns, field)));
    };
    part(QStringLiteral("process start → application object"), [](const StartRun &run) { return run.toApplication; });
    part(QStringLiteral("application object → main window construction begins"),
         [](const StartRun &run) { return run.toBuilding; });
    part(QStringLiteral("construction begins → first query heard by the radio"),
         [](const StartRun &run) { return run.toFirstQuery; });
    part(QStringLiteral("last reply handed to the line → window shown (rest of the last %1 ms pause, reply "
                        "noticed, show(): style, layout)")
             .arg(ProgramQueryPause.count()),
         [](const StartRun &run) { return run.toShown; });
    part(QStringLiteral("shown → exposed by the platform plugin"), [](const StartRun &run) { return run.toExposed; });
    part(QStringLiteral("exposed → painted, event loop free"), [](const StartRun &run) { return run.toPainted; });
}
