// SPDX-License-Identifier: GPL-3.0-or-later
// rigdeck-bench-probe: measures RIGDECK against the simulated FT2000 on a
// pseudo-terminal and prints one Markdown table. bench/run.sh builds it and
// runs it; progress goes to stderr, the table to stdout.
//
// Start-up, idle cost and memory are measured on the real rigdeck process;
// the click and reply paths on a main window built inside this process, where
// the exact moments can be taken on both sides of the line.

#include "LineFaultBench.h"
#include "PacedLine.h"
#include "SharedRadioBench.h"
#include "ProcessStats.h"

#include "ui/ColorButton.h"
#include "app/Form1.h"
#include "ui/MessageBox.h"
#include "radio/QtSerialPortDevice.h"
#include "radio/RadioLink.h"
#include "voice/VoiceMemoryPanel.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHash>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The pause start-up makes after each query before it waits for the reply:
// the program's own constant, so the floors follow it.
constexpr auto ProgramQueryPause = RadioLink::QueryPause;
constexpr int StartupQueries = 8;
constexpr int BitsPerByte = 10;
constexpr auto StartupTimeout = 30s;
// Whatever start-up still does after the last reply is long over by then.
constexpr auto SettleTime = 1s;
constexpr double KilobytesPerMebibyte = 1024.0;
// Long enough for the reply wait's polling to show its cost.
constexpr auto LongReplyDelay = 200ms;

constexpr double StartupOverheadTarget = 100.0; // ms
constexpr double ClickToWireTarget = 1.0;       // ms
constexpr double ReplyToReturnTarget = 2.0;     // ms
constexpr double PeakMemoryTarget = 40.0;       // MiB

struct Options {
    QString rigdeck;
    QString marksLibrary;
    int runs = 9;
    int samples = 31;
    int idleSeconds = 10;
    int floodMebibytes = 100;
};

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

void progress(const QString &text)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(text));
}

// Thrown rather than exiting on the spot, so that unwinding stops any rigdeck
// still running and removes the temporary folder.
struct BenchFailure {
    QString why;
};

[[noreturn]] void giveUp(const QString &why)
{
    throw BenchFailure{why};
}

struct Summary {
    double median = 0;
    double low = 0;
    double high = 0;
    double p90 = 0;
    size_t count = 0;
};

Summary summarize(std::vector<double> values)
{
    Summary summary;
    if (values.empty()) {
        return summary;
    }
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    summary.count = n;
    summary.median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    summary.low = values.front();
    summary.high = values.back();
    summary.p90 = values[std::min(n - 1, static_cast<size_t>(std::ceil(0.9 * double(n))) - 1)];
    return summary;
}

QString number(double value, int decimals = 1)
{
    return QString::number(value, 'f', decimals);
}

QString describe(const Summary &summary, int decimals = 1, const QString &unit = QStringLiteral("ms"))
{
    return QStringLiteral("%1 %4 (%2–%3)")
        .arg(number(summary.median, decimals), number(summary.low, decimals), number(summary.high, decimals), unit);
}

// The table, one row at a time.
class Table
{
public:
    void row(const QString &what, const QString &measured, const QString &target = QStringLiteral("—"),
             const QString &verdict = QStringLiteral("—"))
    {
        m_rows << QStringLiteral("| %1 | %2 | %3 | %4 |").arg(what, measured, target, verdict);
    }
    void print() const
    {
        std::printf("| Measurement | Median (min–max) | Target | Verdict |\n|---|---|---|---|\n");
        for (const QString &line : m_rows) {
            std::printf("%s\n", qPrintable(line));
        }
    }

private:
    QStringList m_rows;
};

QString verdict(bool met)
{
    return met ? QStringLiteral("pass") : QStringLiteral("**missed**");
}

// Runs this thread's event loop for a while, sleeping in it as the program's
// own loop does when nothing happens.
void runEventLoop(std::chrono::milliseconds duration)
{
    QEventLoop loop;
    // A coarse timer may end the loop up to 5 % early.
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size()) {
        giveUp(QStringLiteral("cannot write %1").arg(path));
    }
}

QByteArray settingsFor(int baud)
{
    return QByteArrayLiteral("[COM]\nPORT=1,") + QByteArray::number(baud) + '\n';
}

// The real program

class RigdeckProcess
{
public:
    explicit RigdeckProcess(const QString &executable)
        : m_executable(executable)
    {
    }
    ~RigdeckProcess() { stop(); }
    RigdeckProcess(const RigdeckProcess &) = delete;
    RigdeckProcess &operator=(const RigdeckProcess &) = delete;

    // Starts it with these variables added to our environment; its output goes to outputFile.
    bool start(const QHash<QString, QString> &variables, const QString &outputFile)
    {
        std::vector<std::string> entries;
        for (char **entry = environ; *entry != nullptr; ++entry) {
            const QString text = QString::fromLocal8Bit(*entry);
            if (!variables.contains(text.section(u'=', 0, 0))) {
                entries.emplace_back(*entry);
            }
        }
        for (auto it = variables.cbegin(); it != variables.cend(); ++it) {
            entries.push_back((it.key() + u'=' + it.value()).toStdString());
        }
        std::vector<char *> environment;
        for (std::string &entry : entries) {
            environment.push_back(entry.data());
        }
        environment.push_back(nullptr);

        const std::string program = m_executable.toStdString();
        const std::string output = outputFile.toStdString();
        std::vector<char *> arguments = {const_cast<char *>(program.c_str()), nullptr};

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
        m_started = Clock::now();
        const int failed =
            ::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, arguments.data(), environment.data());
        posix_spawn_file_actions_destroy(&actions);
        if (failed != 0) {
            m_pid = -1;
            return false;
        }
        return true;
    }

    pid_t pid() const { return m_pid; }
    Clock::time_point started() const { return m_started; }

    bool running()
    {
        if (m_pid <= 0) {
            return false;
        }
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return false;
        }
        return true;
    }

    void stop()
    {
        if (!running()) {
            return;
        }
        ::kill(m_pid, SIGTERM);
        int status = 0;
        ::waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    QString m_executable;
    pid_t m_pid = -1;
    Clock::time_point m_started;
};

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

struct Exchange {
    qsizetype queryBytes;
    qsizetype replyBytes;
};

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

std::optional<StartRun> startOnce(const Options &options, PacedLine &line, const QString &folder, int baud)
{
    const QString ini = folder + QStringLiteral("/RIGDECK.INI");
    const QString marksFile = folder + QStringLiteral("/marks");
    writeFile(ini, settingsFor(baud));
    QFile::remove(marksFile);
    line.clear();
    line.setBaud(baud);

    RigdeckProcess rigdeck(options.rigdeck);
    const QHash<QString, QString> variables = {
        {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
        {QStringLiteral("RIGDECK_INI"), ini},
        {QStringLiteral("RIGDECK_COM1"), line.devicePath()},
        {QStringLiteral("RIGDECK_BENCH_MARKS"), marksFile},
        {QStringLiteral("LD_PRELOAD"), options.marksLibrary},
    };
    if (!rigdeck.start(variables, folder + QStringLiteral("/rigdeck.out"))) {
        giveUp(QStringLiteral("cannot start %1").arg(options.rigdeck));
    }
    const Clock::time_point deadline = Clock::now() + StartupTimeout;
    Marks marks;
    while (!marks.contains("painted")) {
        if (Clock::now() > deadline || !rigdeck.running()) {
            progress(QStringLiteral("rigdeck did not come up at %1 baud; its output is in %2/rigdeck.out")
                         .arg(baud)
                         .arg(folder));
            return std::nullopt;
        }
        std::this_thread::sleep_for(5ms);
        marks = readMarks(marksFile);
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

struct StartResults {
    int baud = 0;
    std::vector<StartRun> runs;
    LineFloor floor;
};

StartResults measureStartup(const Options &options, PacedLine &line, const QString &folder, int baud)
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

struct IdleResults {
    ProcessStats usage;
    double seconds = 0;
    long long peakKilobytes = -1;
    long long residentKilobytes = -1;
};

IdleResults measureRealIdle(const Options &options, PacedLine &line, const QString &folder)
{
    const QString ini = folder + QStringLiteral("/RIGDECK.INI");
    writeFile(ini, settingsFor(38400));
    line.clear();
    line.setBaud(0);
    // Without the marks library: the process as it ships.
    RigdeckProcess rigdeck(options.rigdeck);
    const QHash<QString, QString> variables = {
        {QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen")},
        {QStringLiteral("RIGDECK_INI"), ini},
        {QStringLiteral("RIGDECK_COM1"), line.devicePath()},
    };
    if (!rigdeck.start(variables, folder + QStringLiteral("/rigdeck.out"))) {
        giveUp(QStringLiteral("cannot start %1").arg(options.rigdeck));
    }
    const Clock::time_point deadline = Clock::now() + StartupTimeout;
    while (exchangesOf(line.events()).size() < StartupQueries) {
        if (Clock::now() > deadline || !rigdeck.running()) {
            giveUp(QStringLiteral("rigdeck did not finish start-up; see %1/rigdeck.out").arg(folder));
        }
        std::this_thread::sleep_for(5ms);
    }
    std::this_thread::sleep_for(SettleTime);

    IdleResults results;
    results.peakKilobytes = statusKilobytes(rigdeck.pid(), QStringLiteral("VmHWM"));
    const std::optional<ProcessStats> before = ProcessStats::ofProcess(rigdeck.pid());
    const Clock::time_point from = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(options.idleSeconds));
    const std::optional<ProcessStats> after = ProcessStats::ofProcess(rigdeck.pid());
    results.seconds = std::chrono::duration<double>(Clock::now() - from).count();
    results.residentKilobytes = statusKilobytes(rigdeck.pid(), QStringLiteral("VmRSS"));
    if (!before || !after || !rigdeck.running()) {
        giveUp(QStringLiteral("rigdeck ended while idle; see %1/rigdeck.out").arg(folder));
    }
    results.usage = *after - *before;
    return results;
}

// The window in this process

struct InProcessResults {
    QString focus;
    int blinkTicks = 0;
    QString recordingFocus;
    int recordingBlinkTicks = 0;
    Summary releaseToWire;
    Summary clickToWire;
    Summary replyToReturn;
    Summary pollSleep;
    ProcessStats longWait;
    double longWaitMs = 0;
    ProcessStats idle;
    ProcessStats recording;
    double idleSeconds = 0;
    double recordingSeconds = 0;
    int ticks = 0;
    QStringList messages;
};

QString focusName()
{
    const QWidget *focus = QApplication::focusWidget();
    return focus == nullptr ? QStringLiteral("nothing") : focus->objectName();
}

// Qt blinks the text cursor of a focused text box on a timer of its own:
// how often it toggles in this many seconds, 0 when no text box has the focus.
int cursorBlinks(int seconds)
{
    if (qobject_cast<QLineEdit *>(QApplication::focusWidget()) == nullptr) {
        return 0;
    }
    return 2000 / std::max(1, QGuiApplication::styleHints()->cursorFlashTime()) * seconds;
}

ProcessStats mainThreadUsage(std::chrono::milliseconds duration, double &seconds)
{
    const pid_t self = ::getpid();
    const std::optional<ProcessStats> before = ProcessStats::ofThread(self, self);
    const Clock::time_point from = Clock::now();
    runEventLoop(duration);
    const std::optional<ProcessStats> after = ProcessStats::ofThread(self, self);
    seconds = std::chrono::duration<double>(Clock::now() - from).count();
    if (!before || !after) {
        giveUp(QStringLiteral("cannot read this process's own counters"));
    }
    return *after - *before;
}

// Times from just before the action to the command readable at the radio's end.
template <typename Action>
Summary commandLatency(const Options &options, PacedLine &line, const QByteArray &command, Action action)
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

InProcessResults measureInProcess(const Options &options, PacedLine &line, const QString &folder)
{
    InProcessResults results;
    const QString ini = folder + QStringLiteral("/RIGDECK-inprocess.INI");
    writeFile(ini, settingsFor(38400));
    line.clear();
    line.setBaud(0);
    qputenv("RIGDECK_COM1", line.devicePath().toLocal8Bit());
    // A message box would wait for a click nobody makes.
    setMessageHandler([&results](const QString &text) { results.messages << text; });

    QtSerialPortDevice port;
    Form1 window(port);
    window.setSettingsFile(ini);
    window.Form_Load();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window) || !results.messages.isEmpty()) {
        giveUp(QStringLiteral("the in-process window did not start: %1").arg(results.messages.join(u' ')));
    }
    runEventLoop(200ms);

    // The window as the program leaves it after start-up.
    results.focus = focusName();
    results.blinkTicks = cursorBlinks(options.idleSeconds);
    progress(QStringLiteral("idle in-process, %1 s").arg(options.idleSeconds));
    results.idle = mainThreadUsage(std::chrono::seconds(options.idleSeconds), results.idleSeconds);

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
    // Replies land at every phase of the reply wait's polling pass.
    std::mt19937 random(20240607);
    std::uniform_int_distribution<int> delayUs(2000, 6000);
    std::vector<double> returns;
    RadioLink &link = window.link();
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
    results.replyToReturn = summarize(returns);

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

    progress(QStringLiteral("recording in-process, %1 s").arg(options.idleSeconds));
    QTest::mouseClick(window.voice().Command8(0), Qt::LeftButton);
    // The repaints the click asked for are not the counter's cost.
    runEventLoop(100ms);
    results.recordingFocus = focusName();
    results.recordingBlinkTicks = cursorBlinks(options.idleSeconds);
    const int secondsBefore = window.voice().RecordSeconds();
    results.recording = mainThreadUsage(std::chrono::seconds(options.idleSeconds), results.recordingSeconds);
    results.ticks = window.voice().RecordSeconds() - secondsBefore;
    QTest::mouseClick(window.voice().Command10(), Qt::LeftButton);

    setMessageHandler({});
    window.hide();
    return results;
}

// The window's own start-up, split where the real process cannot be: in a
// fresh probe process each time, so that fonts and styles are as cold as
// they are for the program.
struct ColdStart {
    double fonts = 0;
    double construction = 0;
    double toFirstQuery = 0;
};

constexpr char ColdStartOption[] = "cold-start";

// Runs in the child: builds the window once and prints the three times.
int coldStartChild()
{
    QTemporaryDir folder;
    PacedLine line;
    if (!folder.isValid() || !line.open()) {
        return 1;
    }
    const QString ini = folder.filePath(QStringLiteral("RIGDECK.INI"));
    writeFile(ini, settingsFor(38400));
    qputenv("RIGDECK_COM1", line.devicePath().toLocal8Bit());
    QStringList messages;
    setMessageHandler([&messages](const QString &text) { messages << text; });

    // Every widget program pays for the font database on its first text;
    // taken apart here so the window's own construction shows on its own.
    const Clock::time_point fontsFrom = Clock::now();
    QFontMetrics(QApplication::font()).height();
    const Clock::time_point fontsDone = Clock::now();
    QtSerialPortDevice port;
    const Clock::time_point constructing = Clock::now();
    Form1 window(port);
    const Clock::time_point constructed = Clock::now();
    window.setSettingsFile(ini);
    window.Form_Load();
    const std::vector<PacedLine::Event> events = line.events();
    if (events.empty() || !messages.isEmpty()) {
        return 1;
    }
    std::printf("%f %f %f\n", milliseconds(fontsDone - fontsFrom), milliseconds(constructed - constructing),
                milliseconds(events.front().at - constructed));
    return 0;
}

std::vector<ColdStart> measureColdStarts(const Options &options)
{
    std::vector<ColdStart> starts;
    for (int i = 0; i < options.runs; ++i) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--%1").arg(ColdStartOption)});
        if (!child.waitForFinished(int(std::chrono::milliseconds(StartupTimeout).count())) || child.exitCode() != 0) {
            continue;
        }
        const QList<QByteArray> fields = child.readAllStandardOutput().simplified().split(' ');
        if (fields.size() == 3) {
            starts.push_back({fields[0].toDouble(), fields[1].toDouble(), fields[2].toDouble()});
        }
    }
    if (starts.empty()) {
        giveUp(QStringLiteral("no in-process start-up succeeded"));
    }
    return starts;
}

qint64 strippedSize(const QString &executable, const QString &folder)
{
    const QString stripped = folder + QStringLiteral("/rigdeck.stripped");
    if (QProcess::execute(QStringLiteral("strip"), {QStringLiteral("-o"), stripped, executable}) != 0) {
        return -1;
    }
    return QFileInfo(stripped).size();
}

QString mebibytes(double bytes)
{
    return number(bytes / (1024.0 * 1024.0), 2) + QStringLiteral(" MiB");
}

QString usageText(const ProcessStats &usage, double seconds, int decimals = 1)
{
    return QStringLiteral("%1 ms CPU, %2 wake-ups (+%3 preempted) in %4 s")
        .arg(number(milliseconds(usage.cpu), 2))
        .arg(usage.voluntarySwitches)
        .arg(usage.involuntarySwitches)
        .arg(number(seconds, decimals));
}

void addStartupRows(Table &table, const StartResults &results)
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

void measureAndPrint(const Options &options)
{
    QTemporaryDir folder;
    PacedLine line;
    if (!folder.isValid() || !line.open()) {
        giveUp(QStringLiteral("cannot set up: %1").arg(line.errorString()));
    }

    progress(QStringLiteral("start-up, warming the file cache"));
    startOnce(options, line, folder.path(), 38400);
    std::vector<StartResults> starts;
    for (const int baud : {4800, 38400}) {
        progress(QStringLiteral("start-up at %1 baud, %2 runs").arg(baud).arg(options.runs));
        starts.push_back(measureStartup(options, line, folder.path(), baud));
    }
    progress(QStringLiteral("idle real process, %1 s").arg(options.idleSeconds));
    const IdleResults idle = measureRealIdle(options, line, folder.path());
    progress(QStringLiteral("window start-up in a fresh probe, %1 runs").arg(options.runs));
    const std::vector<ColdStart> coldStarts = measureColdStarts(options);
    const InProcessResults inProcess = measureInProcess(options, line, folder.path());

    std::vector<StartRun> allRuns;
    for (const StartResults &results : starts) {
        allRuns.insert(allRuns.end(), results.runs.begin(), results.runs.end());
    }

    Table table;
    for (const StartResults &results : starts) {
        addStartupRows(table, results);
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

    auto coldPart = [&](const QString &what, double (*field)(const ColdStart &)) {
        std::vector<double> values;
        for (const ColdStart &start : coldStarts) {
            values.push_back(field(start));
        }
        table.row(QStringLiteral("  window start-up in a fresh probe process (n=%1): %2").arg(values.size()).arg(what),
                  describe(summarize(values)));
    };
    coldPart(QStringLiteral("font database populated (the process's first text)"),
             [](const ColdStart &start) { return start.fonts; });
    coldPart(QStringLiteral("Form1 constructed"), [](const ColdStart &start) { return start.construction; });
    coldPart(QStringLiteral("constructed → first query heard (settings read, port opened)"),
             [](const ColdStart &start) { return start.toFirstQuery; });

    table.row(QStringLiteral("**Click to wire**: mouse release on Command2_0 (pressed just before) → \"KY1;\" "
                             "readable at the radio's end (in-process, n=%1)")
                  .arg(inProcess.releaseToWire.count),
              describe(inProcess.releaseToWire, 3), QStringLiteral("< %1 ms").arg(ClickToWireTarget),
              verdict(inProcess.releaseToWire.median < ClickToWireTarget));
    table.row(QStringLiteral("  the same through QAbstractButton::click() (n=%1)").arg(inProcess.clickToWire.count),
              describe(inProcess.clickToWire, 3), QStringLiteral("< %1 ms").arg(ClickToWireTarget),
              verdict(inProcess.clickToWire.median < ClickToWireTarget));
    table.row(QStringLiteral("**Reply to return**: reply's \";\" handed to the line at the radio's end → "
                             "ReadResponse returns (in-process, n=%1; 90th percentile %2 ms)")
                  .arg(inProcess.replyToReturn.count)
                  .arg(number(inProcess.replyToReturn.p90, 3)),
              describe(inProcess.replyToReturn, 3), QStringLiteral("< %1 ms").arg(ReplyToReturnTarget),
              verdict(inProcess.replyToReturn.median < ReplyToReturnTarget));
    table.row(QStringLiteral("  the reply wait's 1 ms pause as the system gives it (QThread::msleep(1), n=%1)")
                  .arg(inProcess.pollSleep.count),
              describe(inProcess.pollSleep, 3));

    table.row(QStringLiteral("  main thread while ReadResponse waits for a reply %1 ms away")
                  .arg(std::chrono::milliseconds(LongReplyDelay).count()),
              usageText(inProcess.longWait, inProcess.longWaitMs / 1000.0, 2));

    // No timer of the program runs while idle and no byte arrives. The one
    // timer left is Qt's text cursor, when a text box has the focus; beyond
    // its ticks a couple of wake-ups are allowed (the measuring loop's own end).
    auto blinkText = [](const QString &focus, int ticks) {
        return ticks > 0 ? QStringLiteral("focus in text box %1: %2 cursor blinks").arg(focus).arg(ticks)
                         : QStringLiteral("focus on %1: no cursor blinks").arg(focus);
    };
    const QString blink = blinkText(inProcess.focus, inProcess.blinkTicks);
    const long long idleAllowance = inProcess.blinkTicks + 2;
    table.row(QStringLiteral("**Idle**, real `rigdeck` after start-up, every thread (%1), nothing happening")
                  .arg(idle.usage.threads),
              usageText(idle.usage, idle.seconds), QStringLiteral("only timer ticks (%1)").arg(blink),
              verdict(idle.usage.voluntarySwitches <= idleAllowance));
    table.row(QStringLiteral("**Idle**, in-process window after start-up, main thread, nothing happening"),
              usageText(inProcess.idle, inProcess.idleSeconds), QStringLiteral("the same"),
              verdict(inProcess.idle.voluntarySwitches <= idleAllowance));
    table.row(QStringLiteral("**Recording counting** (Command8_0 clicked in-process, Timer2 at 1 s: %1 ticks), "
                             "main thread")
                  .arg(inProcess.ticks),
              usageText(inProcess.recording, inProcess.recordingSeconds),
              QStringLiteral("one wake-up per tick (%1)")
                  .arg(blinkText(inProcess.recordingFocus, inProcess.recordingBlinkTicks)),
              verdict(inProcess.recording.voluntarySwitches <= inProcess.ticks + inProcess.recordingBlinkTicks + 2));

    const double peakMiB = double(idle.peakKilobytes) / KilobytesPerMebibyte;
    table.row(QStringLiteral("**Peak resident memory** (VmHWM), real `rigdeck`, offscreen, after start-up"),
              number(peakMiB, 1)
                  + QStringLiteral(" MiB (resident %1 MiB after %2 s idle)")
                        .arg(number(double(idle.residentKilobytes) / KilobytesPerMebibyte, 1))
                        .arg(options.idleSeconds),
              QStringLiteral("< %1 MiB").arg(PeakMemoryTarget), verdict(peakMiB < PeakMemoryTarget));
    progress(QStringLiteral("line faults: hang-up, floods, dial reports"));
    for (const LineFaultRow &row : measureLineFaults(options.rigdeck, folder.path(), options.idleSeconds,
                                                     qint64(options.floodMebibytes) * 1024 * 1024)) {
        table.row(row.what, row.measured, row.target, verdict(row.met));
    }
    progress(QStringLiteral("beside a logger: through rigctld"));
    for (const SharedRadioRow &row :
         measureSharedRadio(QFileInfo(options.rigdeck).absoluteDir().filePath(QStringLiteral("sim-server/rigdeck-sim")),
                            options.samples, options.runs)) {
        table.row(row.what, row.measured, row.target, verdict(row.met));
    }
    const qint64 unstripped = QFileInfo(options.rigdeck).size();
    const qint64 stripped = strippedSize(options.rigdeck, folder.path());
    table.row(
        QStringLiteral("**Executable** `rigdeck` (RelWithDebInfo; Qt linked dynamically)"),
        QStringLiteral("%1 unstripped, %2 stripped")
            .arg(mebibytes(double(unstripped)), stripped < 0 ? QStringLiteral("?") : mebibytes(double(stripped))));

    table.print();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Measures RIGDECK against the simulated FT2000."));
    parser.addHelpOption();
    const QCommandLineOption rigdeckOption(QStringLiteral("rigdeck"), QStringLiteral("The rigdeck executable."),
                                           QStringLiteral("path"));
    const QCommandLineOption marksOption(QStringLiteral("marks"), QStringLiteral("The marks library to preload."),
                                         QStringLiteral("path"));
    const QCommandLineOption runsOption(QStringLiteral("runs"), QStringLiteral("Starts per line speed."),
                                        QStringLiteral("n"), QStringLiteral("9"));
    const QCommandLineOption samplesOption(QStringLiteral("samples"),
                                           QStringLiteral("Clicks and replies measured in-process."),
                                           QStringLiteral("n"), QStringLiteral("31"));
    const QCommandLineOption idleOption(QStringLiteral("idle-seconds"),
                                        QStringLiteral("Length of each idle measurement."), QStringLiteral("s"),
                                        QStringLiteral("10"));
    const QCommandLineOption coldStartOption(QString::fromLatin1(ColdStartOption),
                                             QStringLiteral("Build one window, print its start-up times, end."));
    const QCommandLineOption floodOption(QStringLiteral("flood-mebibytes"),
                                         QStringLiteral("Unsolicited bytes sent after start-up, per line kind."),
                                         QStringLiteral("MiB"), QStringLiteral("100"));
    parser.addOptions(
        {rigdeckOption, marksOption, runsOption, samplesOption, idleOption, floodOption, coldStartOption});
    parser.process(app);
    if (parser.isSet(coldStartOption)) {
        try {
            return coldStartChild();
        } catch (const BenchFailure &) {
            return 1;
        }
    }

    Options options;
    options.rigdeck = QFileInfo(parser.value(rigdeckOption)).absoluteFilePath();
    options.marksLibrary = QFileInfo(parser.value(marksOption)).absoluteFilePath();
    options.runs = std::max(1, parser.value(runsOption).toInt());
    options.samples = std::max(1, parser.value(samplesOption).toInt());
    options.idleSeconds = std::max(1, parser.value(idleOption).toInt());
    options.floodMebibytes = std::max(1, parser.value(floodOption).toInt());
    if (!QFileInfo(options.rigdeck).isExecutable() || !QFileInfo::exists(options.marksLibrary)) {
        progress(QStringLiteral("--rigdeck and --marks must name the built program and library"));
        return 2;
    }

    try {
        measureAndPrint(options);
    } catch (const BenchFailure &failure) {
        progress(failure.why);
        return 1;
    }
    return 0;
}
