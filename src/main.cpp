#include "app/Form1.h"
#include "radio/QtSerialPortDevice.h"
#include "radio/SimulatedSerialPort.h"

#include <QApplication>
#include <QCommandLineParser>

#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rigdeck"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Runs an FT2000 transceiver over its CAT serial line."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Run against the built-in simulated FT2000 instead of a serial port."));
    const QCommandLineOption ini(QStringLiteral("ini"), QStringLiteral("Use this settings file."),
                                 QStringLiteral("file"));
    parser.addOption(demo);
    parser.addOption(ini);
    parser.process(app);

    std::unique_ptr<SerialPort> port;
    if (parser.isSet(demo)) {
        port = std::make_unique<SimulatedSerialPort>();
    } else {
        port = std::make_unique<QtSerialPortDevice>();
    }

    Form1 window(*port);
    if (parser.isSet(ini)) {
        window.setSettingsFile(parser.value(ini));
    }
    window.Form_Load();
    window.show();
    return app.exec();
}
