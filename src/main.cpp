#include "app/Form1.h"
#include "radio/RadioPort.h"
#include "radio/SimulatedSerialPort.h"
#include "radio/TraceLog.h"

#include <QApplication>
#include <QCommandLineParser>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rigdeck"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/rigdeck.svg")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs an FT2000 transceiver over its CAT serial line."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run against the built-in simulated FT2000 instead of a serial port."));
    const QCommandLineOption ini(QStringLiteral("ini"), QStringLiteral("Use this settings file."),
                                 QStringLiteral("file"));
    const QCommandLineOption trace(QStringLiteral("trace"),
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
        window.setSettingsFile(parser.value(ini));
    }
    std::unique_ptr<TraceLog> traceLog;
    if (parser.isSet(trace)) {
        traceLog = std::make_unique<TraceLog>(window.link(), parser.value(trace));
        if (!traceLog->isOpen()) {
            qWarning("rigdeck: cannot append to the trace file %s", qPrintable(parser.value(trace)));
        }
    }
    window.Form_Load();
    window.show();
    return app.exec();
}
