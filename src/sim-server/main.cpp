// SPDX-License-Identifier: GPL-3.0-or-later
// rigdeck-sim: an FT2000 on a pseudo-terminal, for running RIGDECK and its
// tests without a radio. Prints the port to give RIGDECK, then serves until
// it is interrupted or terminated.

#include "sim/Ft2000Model.h"
#include "PtyRadio.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <optional>

#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitNoLine = 1;

// A signal handler may only write to a descriptor; the event loop reads the
// other end. Nothing else can reach it, hence file scope.
int signalPipe[2] = {-1, -1};

void onQuitSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
}

bool installQuitSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) {
        return false;
    }
    struct sigaction action {};
    action.sa_handler = onQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        if (::sigaction(signal, &action, nullptr) != 0) {
            return false;
        }
    }
    // A reader of the log that went away must not kill the radio.
    std::signal(SIGPIPE, SIG_IGN);
    return true;
}

struct Options {
    bool silent = false;
    bool echo = false;
    int delayMs = 0;
    int splitBytes = 0;
    QString logPath;
    QString linkPath;
    int tcpPort = -1;
    QString listenAddress = QStringLiteral("127.0.0.1");
};

void complain(const QString &message)
{
    std::fprintf(stderr, "rigdeck-sim: %s\n", qPrintable(message));
}

std::optional<int> integerIn(const QString &text, int lowest, int highest)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        return std::nullopt;
    }
    return value;
}

bool setMemory(Ft2000Model &model, const QString &assignment)
{
    const qsizetype equals = assignment.indexOf(u'=');
    const std::optional<int> number = integerIn(assignment.left(equals), 1, Ft2000Model::MemoryCount);
    if (equals < 0 || !number) {
        complain(QStringLiteral("--memory wants N=TEXT with N from 1 to %1, not \"%2\"")
                     .arg(Ft2000Model::MemoryCount)
                     .arg(assignment));
        return false;
    }
    const QByteArray text = assignment.mid(equals + 1).toLocal8Bit();
    // The ";" would end the reply in the middle of the memory.
    if (text.contains(';')) {
        complain(QStringLiteral("a memory text cannot hold \";\""));
        return false;
    }
    model.textMemory[*number - 1] = text;
    return true;
}

// Reads the command line into the radio's state and the line's behaviour;
// nullopt when something is wrong, after saying what.
std::optional<Options> parseArguments(const QCoreApplication &app, Ft2000Model &model)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated FT2000 on a pseudo-terminal: prints the port for RIGDECK, then answers CAT commands."));
    parser.addHelpOption();
    const QCommandLineOption silentOption(QStringLiteral("silent"),
                                          QStringLiteral("Receive commands but never answer."));
    const QCommandLineOption echoOption(QStringLiteral("echo"),
                                        QStringLiteral("Send back every byte received, as a line with echo does."));
    const QCommandLineOption delayOption(
        QStringLiteral("delay"), QStringLiteral("Answer each command after MS milliseconds."), QStringLiteral("MS"));
    const QCommandLineOption splitOption(
        QStringLiteral("split"), QStringLiteral("Send replies in pieces of BYTES bytes."), QStringLiteral("BYTES"));
    const QCommandLineOption logOption(
        QStringLiteral("log"), QStringLiteral("Append each command received to FILE, one per line (- for stderr)."),
        QStringLiteral("FILE"));
    const QCommandLineOption memoryOption(
        QStringLiteral("memory"), QStringLiteral("Set keyer text memory N (1-5) to TEXT; N= empties it. Repeatable."),
        QStringLiteral("N=TEXT"));
    const QCommandLineOption modeOption(QStringLiteral("mode"),
                                        QStringLiteral("Mode code: 1 LSB, 2 USB, 3 CW, 4 FM, 5 AM, ..."),
                                        QStringLiteral("CODE"));
    const QCommandLineOption speedOption(QStringLiteral("speed"), QStringLiteral("Key speed in WPM (4-60)."),
                                         QStringLiteral("WPM"));
    const QCommandLineOption breakInOption(QStringLiteral("break-in"), QStringLiteral("Break-in on or off."),
                                           QStringLiteral("on|off"));
    const QCommandLineOption linkOption(QStringLiteral("link"),
                                        QStringLiteral("Also make PATH a symbolic link to the port while running."),
                                        QStringLiteral("PATH"));
    const QCommandLineOption tcpOption(
        QStringLiteral("tcp"),
        QStringLiteral("Serve the radio on TCP port PORT (raw, as ser2net does) instead of a "
                       "pseudo-terminal; 0 picks a free port."),
        QStringLiteral("PORT"));
    const QCommandLineOption listenOption(
        QStringLiteral("listen"), QStringLiteral("Address to serve --tcp on (default 127.0.0.1, this machine only)."),
        QStringLiteral("ADDRESS"));
    parser.addOptions({silentOption, echoOption, delayOption, splitOption, logOption, memoryOption, modeOption,
                       speedOption, breakInOption, linkOption, tcpOption, listenOption});
    parser.process(app);

    if (!parser.positionalArguments().isEmpty()) {
        complain(QStringLiteral("unexpected argument \"%1\"").arg(parser.positionalArguments().constFirst()));
        return std::nullopt;
    }

    Options options;
    options.silent = parser.isSet(silentOption);
    options.echo = parser.isSet(echoOption);
    if (parser.isSet(delayOption)) {
        const std::optional<int> delay = integerIn(parser.value(delayOption), 0, 600000);
        if (!delay) {
            complain(QStringLiteral("--delay wants milliseconds from 0 to 600000"));
            return std::nullopt;
        }
        options.delayMs = *delay;
    }
    if (parser.isSet(splitOption)) {
        const std::optional<int> split = integerIn(parser.value(splitOption), 1, 65536);
        if (!split) {
            complain(QStringLiteral("--split wants a number of bytes from 1 to 65536"));
            return std::nullopt;
        }
        options.splitBytes = *split;
    }
    options.logPath = parser.value(logOption);
    options.linkPath = parser.value(linkOption);
    if (parser.isSet(tcpOption)) {
        const std::optional<int> port = integerIn(parser.value(tcpOption), 0, 65535);
        if (!port) {
            complain(QStringLiteral("--tcp wants a port number from 0 to 65535"));
            return std::nullopt;
        }
        options.tcpPort = *port;
    }
    if (parser.isSet(listenOption)) {
        options.listenAddress = parser.value(listenOption);
    }

    for (const QString &assignment : parser.values(memoryOption)) {
        if (!setMemory(model, assignment)) {
            return std::nullopt;
        }
    }
    if (parser.isSet(modeOption)) {
        const QByteArray code = parser.value(modeOption).toLatin1();
        if (code.size() != 1 || !Ft2000Model::isModeCode(code[0])) {
            complain(QStringLiteral("--mode wants one mode code such as 1 (LSB) or 3 (CW), not \"%1\"")
                         .arg(parser.value(modeOption)));
            return std::nullopt;
        }
        model.mode = code[0];
    }
    if (parser.isSet(speedOption)) {
        const std::optional<int> speed =
            integerIn(parser.value(speedOption), Ft2000Model::MinKeySpeed, Ft2000Model::MaxKeySpeed);
        if (!speed) {
            complain(QStringLiteral("--speed wants WPM from %1 to %2")
                         .arg(Ft2000Model::MinKeySpeed)
                         .arg(Ft2000Model::MaxKeySpeed));
            return std::nullopt;
        }
        model.keySpeed = *speed;
    }
    if (parser.isSet(breakInOption)) {
        const QString value = parser.value(breakInOption);
        if (value != QLatin1String("on") && value != QLatin1String("off")) {
            complain(QStringLiteral("--break-in wants on or off"));
            return std::nullopt;
        }
        model.breakIn = value == QLatin1String("on");
    }
    return options;
}

// Commands are logged one per line, so bytes that would break the line or
// the terminal are written as \xHH.
QByteArray loggable(const QByteArray &command)
{
    QByteArray line;
    for (const char c : command) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7f && c != '\\') {
            line += c;
        } else {
            line += "\\x" + QByteArray::number(byte, 16).rightJustified(2, '0');
        }
    }
    return line + '\n';
}

// A symbolic link left by an earlier run is replaced; anything else at the
// path is somebody's file and stays.
bool makeLink(const QString &linkPath, const QString &target)
{
    const QFileInfo existing(linkPath);
    if (existing.isSymLink()) {
        QFile::remove(linkPath);
    } else if (existing.exists()) {
        complain(QStringLiteral("%1 exists and is not a symbolic link").arg(linkPath));
        return false;
    }
    if (!QFile::link(target, linkPath)) {
        complain(QStringLiteral("cannot create the link %1").arg(linkPath));
        return false;
    }
    return true;
}

void removeLink(const QString &linkPath, const QString &target)
{
    // Another run may have taken the path over meanwhile.
    if (QFileInfo(linkPath).isSymLink() && QFile::symLinkTarget(linkPath) == target) {
        QFile::remove(linkPath);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rigdeck-sim"));

    Ft2000Model model;
    const std::optional<Options> options = parseArguments(app, model);
    if (!options) {
        return ExitUsage;
    }

    QFile log;
    if (!options->logPath.isEmpty()) {
        bool opened = false;
        if (options->logPath == QLatin1String("-")) {
            opened = log.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
        } else {
            log.setFileName(options->logPath);
            opened = log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered);
        }
        if (!opened) {
            complain(QStringLiteral("cannot open the log %1: %2").arg(options->logPath, log.errorString()));
            return ExitUsage;
        }
    }

    if (!installQuitSignals()) {
        complain(QStringLiteral("cannot install the signal handlers"));
        return ExitNoLine;
    }
    QSocketNotifier quitNotifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);

    PtyRadio radio(model);
    radio.setSilent(options->silent);
    radio.setEcho(options->echo);
    radio.setReplyDelay(options->delayMs);
    radio.setSplit(options->splitBytes);
    const bool lineUp =
        options->tcpPort >= 0 ? radio.listenTcp(quint16(options->tcpPort), options->listenAddress) : radio.open();
    if (!lineUp) {
        complain(radio.errorString());
        return ExitNoLine;
    }
    if (log.isOpen()) {
        QObject::connect(&radio, &PtyRadio::commandReceived, &log, [&log](const QByteArray &command) {
            log.write(loggable(command));
            log.flush();
        });
    }
    if (!options->linkPath.isEmpty() && !makeLink(options->linkPath, radio.devicePath())) {
        return ExitNoLine;
    }

    // Whoever started us waits for this line to learn the port.
    std::fprintf(stdout, "%s\n", qPrintable(radio.devicePath()));
    std::fflush(stdout);

    const int result = app.exec();
    if (!options->linkPath.isEmpty()) {
        removeLink(options->linkPath, radio.devicePath());
    }
    return result;
}
