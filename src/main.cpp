// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Form1.h"
#include "radio/RadioPort.h"
#include "radio/SimulatedSerialPort.h"
#include "radio/TraceLog.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    // A trace reader that goes away (--trace /dev/stdout | head) must not end
    // the program: the write fails instead, and the trace stops.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rigdeck"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/rigdeck.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs an FT2000 transceiver over its CAT serial line."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(
        QStringLiteral("demo"), QStringLiteral("Run against the built-in simulated FT2000 instead of a serial port."));
    const QCommandLineOption ini(QStringLiteral("ini"), QStringLiteral("Use this settings file."),
                                 QStringLiteral("file"));
    const QCommandLineOption trace(
        QStringLiteral("trace"),
        QStringLiteral("Append every command sent and reply received, with a timestamp, to this file."),
        QStringLiteral("file"));
    parser.addOption(demo);
    parser.addOption(ini);
    parser.addOption(trace);
    parser.process(app);

    std::unique_ptr<SerialPort> port;
    if (parser.isSet(demo)) {
        port = std::make_unique<SimulatedSerialPort>();
    } else {
        port = std::make_unique<RadioPort>();
    }

    Form1 window(*port);
    if (parser.isSet(ini)) {
        // Relative to the current folder, as the trace file is.
        window.setSettingsFile(QFileInfo(parser.value(ini)).absoluteFilePath());
    }
    std::unique_ptr<TraceLog> traceLog;
    if (parser.isSet(trace)) {
        traceLog = std::make_unique<TraceLog>(window.link(), parser.value(trace));
        if (!traceLog->isOpen()) {
            qWarning("rigdeck: cannot append to the trace file %s (%s); going on without the trace",
                     qPrintable(parser.value(trace)), qPrintable(traceLog->errorString()));
        }
    }
    window.Form_Load();
    window.show();
    return app.exec();
}
