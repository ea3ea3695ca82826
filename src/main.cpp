// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"
#include "app/Form1.h"
#include "app/Language.h"
#include "radio/RadioPort.h"
#include "radio/SimulatedSerialPort.h"
#include "radio/TraceLog.h"

#include <QApplication>
#include <QFileInfo>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

namespace {
void nameTheProgram()
{
    QCoreApplication::setApplicationName(QStringLiteral("rigdeck"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.00"));
}
} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_UNIX
    // A trace reader that goes away (--trace /dev/stdout | head) must not end
    // the program: the write fails instead, and the trace stops.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // --help and --version are answered before anything of the window system
    // starts: on a console with no display (over SSH) there is none to start.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    CommandLine firstLook;
    firstLook.parse(arguments);
    const Language::Choice language = Language::choose(firstLook.language());
    if (firstLook.answersAlone()) {
        QCoreApplication console(argc, argv);
        nameTheProgram();
        Language::install(language);
        CommandLine line;
        line.parse(QCoreApplication::arguments());
        return line.answer();
    }
#ifndef Q_OS_WIN
    // The window system's options are listed from its application object,
    // which needs no display when drawing nothing.
    if (firstLook.helpAll() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
#endif

    QApplication app(argc, argv);
    nameTheProgram();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/rigdeck.svg")));
    Language::install(language);

    CommandLine line;
    line.process(app);

    std::unique_ptr<Line> port;
    if (line.demo()) {
        port = std::make_unique<SimulatedSerialPort>();
    } else {
        port = std::make_unique<RadioPort>();
    }

    Form1 window(*port);
    if (!line.ini().isEmpty()) {
        // Relative to the current folder, as the trace file is.
        window.setSettingsFile(QFileInfo(line.ini()).absoluteFilePath());
    }
    std::unique_ptr<TraceLog> traceLog;
    if (!line.trace().isEmpty()) {
        traceLog = std::make_unique<TraceLog>(window.link(), line.trace());
        if (!traceLog->isOpen()) {
            qWarning("rigdeck: cannot append to the trace file %s (%s); going on without the trace",
                     qPrintable(line.trace()), qPrintable(traceLog->errorString()));
        }
    }
    window.Form_Load();
    window.show();
    return app.exec();
}
