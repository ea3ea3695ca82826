// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for start-up: the radio's replies to the eight queries are the
// fuzzer's bytes, and whatever they hold, start-up must end in one of its
// ways (done, the open failure, a time-out) with a window that makes sense.
//
// Input: byte 0 modulo 8 is how many bytes each read takes (0: a whole reply
// at once); the rest, split at line feeds, are the replies in order. The
// settings file is missing, so the program uses its default port.
#include "radio/RadioCapabilities.h"
#include "support/ScriptedSerialPort.h"

#include "ui/ClickLabel.h"
#include "app/Form1.h"
#include "ui/OleColor.h"
#include "keyer/KeySpeedPanel.h"
#include "mode/ModePanel.h"
#include "radio/RadioLink.h"
#include "support/MessageRecorder.h"

#include <QApplication>
#include <QSlider>
#include <QTemporaryDir>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Short, so that a silent radio costs milliseconds, not the program's five
// seconds.
constexpr std::chrono::milliseconds FuzzResponseTime{5};
constexpr int MaxChunk = 8;

const QByteArray Queries = "KM1;KM2;KM3;KM4;KM5;BI;MD0;KS;";
// When the radio reports a mode the window does not offer, it is put into LSB.
const QByteArray QueriesWithLsb = "KM1;KM2;KM3;KM4;KM5;BI;MD0;MD01;KS;";

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz_startup: %s %s\n", what, qPrintable(detail));
    std::abort();
}

QString missingSettingsFile()
{
    static QTemporaryDir dir;
    if (!dir.isValid()) {
        fail("no temporary folder");
    }
    return dir.filePath(QStringLiteral("RIGDECK.INI"));
}

void checkWindow(Form1 &window, const ScriptedSerialPort &port, const QStringList &messages)
{
    const QByteArray &written = port.written();
    if (!Queries.startsWith(written) && !QueriesWithLsb.startsWith(written)) {
        fail("start-up wrote something else than its queries:", QString::fromLatin1(written));
    }

    const bool done = messages.isEmpty();
    const bool openFailed = messages == QStringList{OpenFailedMessage};
    const bool timedOut = messages == QStringList{NoResponseMessage, CheckConnectionMessage};
    // A reply whose last byte is read in the pass in which the response timer
    // fired comes back whole, without the no-response message, but still
    // counts as late.
    const bool completedLate = messages == QStringList{CheckConnectionMessage};
    if (!done && !openFailed && !timedOut && !completedLate) {
        fail("start-up ended with unexpected messages:", messages.join(QLatin1Char('|')));
    }
    if (done && written != Queries && written != QueriesWithLsb) {
        fail("start-up ended without a message before asking everything:", QString::fromLatin1(written));
    }

    const int speed = window.keySpeed().Slider1()->value();
    if (speed < Ft2000Capabilities.minimumKeySpeed || speed > Ft2000Capabilities.maximumKeySpeed) {
        fail("the key speed slider left its range:", QString::number(speed));
    }

    int red = 0;
    for (int i = 0; i < int(Ft2000Capabilities.modes.size()); ++i) {
        red += window.mode().Label2(i)->backColor() == OleColor::Red ? 1 : 0;
    }
    if (red > 1) {
        fail("more than one mode is lit:", QString::number(red));
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // The application outlives every input and is never destroyed: the
    // fuzzer ends the process at any point, and Qt's own global caches are
    // gone by the time a static application would be torn down. It gets
    // arguments of its own so that it cannot take any of the fuzzer's.
    static int argc = 1;
    static char name[] = "fuzz_startup";
    static char *argv[] = {name, nullptr};
    static QApplication *app = new QApplication(argc, argv);
    Q_UNUSED(app);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const int chunk = input.isEmpty() ? 0 : static_cast<unsigned char>(input[0]) % MaxChunk;
    const QByteArrayList replies = input.isEmpty() ? QByteArrayList() : input.sliced(1).split('\n');

    MessageRecorder messages;
    ScriptedSerialPort port(replies, chunk);
    {
        Form1 window(port);
        window.setSettingsFile(missingSettingsFile());
        window.link().setResponseTime(FuzzResponseTime);
        window.Form_Load();
        checkWindow(window, port, messages.messages());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
