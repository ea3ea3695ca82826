// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/Ft2000Model.h"
#include "sim-server/PtyRadio.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSignalSpy>
#include <QSocketNotifier>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <memory>

#include <fcntl.h>
#include <unistd.h>

namespace {

const QByteArray Memory1Reply = QByteArrayLiteral("KM1CQ TEST DE JA1ZZZ};");

// RIGDECK's side of the line, as plain as it gets: a descriptor on the slave,
// read whenever the event loop reports something waiting, every read kept.
class LineEnd
{
public:
    explicit LineEnd(const QString &path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC))
    {
        if (m_fd >= 0) {
            m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
            QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                             [this] { readAvailable(); });
        }
    }
    ~LineEnd()
    {
        m_notifier.reset();
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    // Opens the radio's pseudo-terminal first.
    explicit LineEnd(PtyRadio &radio)
        : LineEnd(opened(radio).devicePath())
    {
    }
    LineEnd(const LineEnd &) = delete;
    LineEnd &operator=(const LineEnd &) = delete;

    bool isOpen() const { return m_fd >= 0; }
    int fd() const { return m_fd; }
    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    QList<QByteArray> reads() const { return m_reads; }
    QByteArray data() const
    {
        QByteArray all;
        for (const QByteArray &read : m_reads) {
            all += read;
        }
        return all;
    }
    // End of file or an error on read: the line went down under us.
    bool hungUp() const { return m_hungUp; }

private:
    static PtyRadio &opened(PtyRadio &radio)
    {
        if (!radio.open()) {
            qFatal("cannot open the simulated radio: %s", qPrintable(radio.errorString()));
        }
        return radio;
    }
    void readAvailable()
    {
        char buffer[65536];
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        if (count > 0) {
            m_reads.append(QByteArray(buffer, count));
            return;
        }
        if (count < 0 && (errno == EAGAIN || errno == EINTR)) {
            return;
        }
        m_hungUp = true;
        m_notifier->setEnabled(false);
    }

    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QList<QByteArray> m_reads;
    bool m_hungUp = false;
};

// Everything a command can change, in one comparable text.
QByteArray stateOf(const Ft2000Model &model)
{
    QByteArray state;
    for (const QByteArray &text : model.textMemory) {
        state += text + '|';
    }
    state += QByteArray::number(model.breakIn) + '|' + model.mode + '|' + QByteArray::number(model.keySpeed) + '|'
             + QByteArray::number(int(model.keyerPlaying)) + '|' + QByteArray::number(model.voiceRecording) + '|'
             + QByteArray::number(model.voicePlaying) + '|' + QByteArray::number(model.audioRecording) + '|'
             + QByteArray::number(model.audioPlaying) + '|' + QByteArray::number(model.frequencyA) + '|'
             + QByteArray::number(model.frequencyB) + '|' + model.receiveVfo + model.transmitVfo + model.autoInformation
             + model.catTimeOut + '|' + QByteArray::number(model.filterWidth) + '|' + QByteArray::number(model.narrow)
             + QByteArray::number(model.powerOn);
    return state;
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return file.readAll();
}

QString simPath()
{
    return qEnvironmentVariable("RIGDECK_SIM");
}

// Starts the command-line radio and waits for the port it prints first.
void startSim(QProcess &sim, const QStringList &arguments, QString &devicePath)
{
    sim.start(simPath(), arguments);
    QVERIFY2(sim.waitForStarted(), qPrintable(sim.errorString()));
    QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine() || sim.state() == QProcess::NotRunning, 10000);
    QVERIFY2(sim.canReadLine(), sim.readAllStandardError().constData());
    devicePath = QString::fromLocal8Bit(sim.readLine().trimmed());
}

// Runs the command-line radio until it ends by itself.
void runSimToItsEnd(QProcess &sim, const QStringList &arguments)
{
    sim.start(simPath(), arguments);
    QVERIFY2(sim.waitForStarted(), qPrintable(sim.errorString()));
    QTRY_COMPARE_WITH_TIMEOUT(sim.state(), QProcess::NotRunning, 10000);
}

// Ends the command-line radio with a signal: it exits cleanly and takes its link away.
void endSimCleanly(QProcess &sim, int signal, const QString &linkPath)
{
    QCOMPARE(::kill(pid_t(sim.processId()), signal), 0);
    QTRY_COMPARE(sim.state(), QProcess::NotRunning);
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sim.exitCode(), 0);
    QVERIFY(!QFileInfo(linkPath).isSymLink());
}

} // namespace

class TestSimRadio : public QObject
{
    Q_OBJECT

private slots:
    // The command-line radio's tests need it built.
    void init();
    void modelAnswersQueries_data();
    void modelAnswersQueries();
    void modelSetCommandsChangeWhatQueriesReport_data();
    void modelSetCommandsChangeWhatQueriesReport();
    void modelKeyerAndVoiceCommandsChangeState_data();
    void modelKeyerAndVoiceCommandsChangeState();
    void modelRefusesWhatItCannotCarryOut_data();
    void modelRefusesWhatItCannotCarryOut();
    void modelReportsChangedMemoriesVerbatim();
    void modelJoinsCommandsCutAnywhere();
    void modelAnswersSeveralCommandsInOneChunkInOrder();
    void modelRecordsOnlyCompleteCommands();
    void modelDropsOverlongNoise_data();
    void modelDropsOverlongNoise();

    void ptyAnswersACommand();
    void ptyCollectsCommandsAcrossWritesAndClears();
    void ptySilentRadioNeverAnswers();
    void ptySplitRepliesArriveInPiecesThatJoin();
    void ptyDelayedReplyComesAfterLaterTraffic();
    void ptyDelayedRepliesKeepTheirOrder();
    void ptySendRawReachesTheLine();
    void ptyLargeOutputSurvivesAFullLine();
    void ptyLineStaysUpBetweenRuns();
    void ptyHangUpEndsTheLineAndOpenStartsAnew();

    void simServesWhatTheCommandLineSets();
    void simExitsCleanlyOnSignal_data();
    void simExitsCleanlyOnSignal();
    void simRejectsBadOptions_data();
    void simRejectsBadOptions();
    void simLeavesAFileInTheWayOfTheLink();
};

void TestSimRadio::modelAnswersQueries_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("keyer memory 1 answers its text closed by a brace") << QByteArray("KM1;") << Memory1Reply;
    QTest::newRow("keyer memory 2") << QByteArray("KM2;") << QByteArray("KM2TU 5NN 13};");
    QTest::newRow("empty keyer memory has the brace right after its number")
        << QByteArray("KM3;") << QByteArray("KM3};");
    QTest::newRow("keyer memory 4") << QByteArray("KM4;") << QByteArray("KM4QRZ?};");
    QTest::newRow("keyer memory 5") << QByteArray("KM5;") << QByteArray("KM5JA1ZZZ};");
    QTest::newRow("break-in starts off") << QByteArray("BI;") << QByteArray("BI0;");
    QTest::newRow("mode starts at USB") << QByteArray("MD0;") << QByteArray("MD02;");
    QTest::newRow("key speed comes as three digits") << QByteArray("KS;") << QByteArray("KS025;");
    // What rigctld asks when it opens an FT-2000 and while it polls.
    QTest::newRow("identity of an FT-2000") << QByteArray("ID;") << QByteArray("ID0251;");
    QTest::newRow("auto information starts off") << QByteArray("AI;") << QByteArray("AI0;");
    QTest::newRow("menu 029, the CAT time-out") << QByteArray("EX029;") << QByteArray("EX0290;");
    QTest::newRow("receive VFO A") << QByteArray("VS;") << QByteArray("VS0;");
    QTest::newRow("transmit on main") << QByteArray("FT;") << QByteArray("FT0;");
    QTest::newRow("VFO A frequency in eight digits") << QByteArray("FA;") << QByteArray("FA14025000;");
    QTest::newRow("VFO B below 10 MHz keeps its zero") << QByteArray("FB;") << QByteArray("FB07010000;");
    QTest::newRow("information: 27 bytes, frequency and mode in place")
        << QByteArray("IF;") << QByteArray("IF00114025000+000000200000;");
    QTest::newRow("filter width of the main receiver") << QByteArray("SH0;") << QByteArray("SH016;");
    QTest::newRow("narrow off") << QByteArray("NA0;") << QByteArray("NA00;");
    QTest::newRow("power on") << QByteArray("PS;") << QByteArray("PS1;");
}

void TestSimRadio::modelAnswersQueries()
{
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);

    Ft2000Model model;
    const QByteArray before = stateOf(model);
    QCOMPARE(model.receive(query), reply);
    QCOMPARE(stateOf(model), before);
}

void TestSimRadio::modelSetCommandsChangeWhatQueriesReport_data()
{
    QTest::addColumn<QByteArray>("setting");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("break-in on") << QByteArray("BI1;") << QByteArray("BI;") << QByteArray("BI1;");
    QTest::newRow("break-in back off") << QByteArray("BI1;BI0;") << QByteArray("BI;") << QByteArray("BI0;");
    QTest::newRow("mode LSB") << QByteArray("MD01;") << QByteArray("MD0;") << QByteArray("MD01;");
    QTest::newRow("mode CW") << QByteArray("MD03;") << QByteArray("MD0;") << QByteArray("MD03;");
    QTest::newRow("mode AM") << QByteArray("MD05;") << QByteArray("MD0;") << QByteArray("MD05;");
    QTest::newRow("mode RIGDECK has no button for") << QByteArray("MD06;") << QByteArray("MD0;") << QByteArray("MD06;");
    QTest::newRow("slowest key speed") << QByteArray("KS004;") << QByteArray("KS;") << QByteArray("KS004;");
    QTest::newRow("fastest key speed") << QByteArray("KS060;") << QByteArray("KS;") << QByteArray("KS060;");
    QTest::newRow("key speed below ten keeps its zeros")
        << QByteArray("KS009;") << QByteArray("KS;") << QByteArray("KS009;");
    QTest::newRow("menu 029 set as rigctld does")
        << QByteArray("EX0291;") << QByteArray("EX029;") << QByteArray("EX0291;");
    QTest::newRow("auto information on") << QByteArray("AI1;") << QByteArray("AI;") << QByteArray("AI1;");
    QTest::newRow("VFO A tuned") << QByteArray("FA07074000;") << QByteArray("FA;") << QByteArray("FA07074000;");
    QTest::newRow("tuning shows in the information")
        << QByteArray("FA21030000;MD03;") << QByteArray("IF;") << QByteArray("IF00121030000+000000300000;");
    QTest::newRow("receive on VFO B") << QByteArray("VS1;") << QByteArray("VS;") << QByteArray("VS1;");
    QTest::newRow("narrow on") << QByteArray("NA01;") << QByteArray("NA0;") << QByteArray("NA01;");
}

void TestSimRadio::modelSetCommandsChangeWhatQueriesReport()
{
    QFETCH(QByteArray, setting);
    QFETCH(QByteArray, query);
    QFETCH(QByteArray, reply);

    Ft2000Model model;
    QCOMPARE(model.receive(setting), QByteArray());
    QCOMPARE(model.receive(query), reply);
}

void TestSimRadio::modelKeyerAndVoiceCommandsChangeState_data()
{
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<int>("keyerPlaying");
    QTest::addColumn<int>("voiceRecording");
    QTest::addColumn<int>("voicePlaying");
    QTest::addColumn<bool>("audioRecording");
    QTest::addColumn<bool>("audioPlaying");

    QTest::newRow("keyer memory 1 plays") << QByteArray("KY1;") << int('1') << 0 << 0 << false << false;
    QTest::newRow("keyer memory 9 plays") << QByteArray("KY9;") << int('9') << 0 << 0 << false << false;
    QTest::newRow("keyer selector A plays") << QByteArray("KYA;") << int('A') << 0 << 0 << false << false;
    QTest::newRow("the last keyer memory played counts")
        << QByteArray("KY2;KY7;") << int('7') << 0 << 0 << false << false;
    QTest::newRow("voice channel 1 records") << QByteArray("LM01;") << 0 << 1 << 0 << false << false;
    QTest::newRow("voice channel 5 records") << QByteArray("LM05;") << 0 << 5 << 0 << false << false;
    QTest::newRow("voice recording stops") << QByteArray("LM03;LM00;") << 0 << 0 << 0 << false << false;
    QTest::newRow("voice channel 2 plays") << QByteArray("PB02;") << 0 << 0 << 2 << false << false;
    QTest::newRow("voice playback stops") << QByteArray("PB04;PB00;") << 0 << 0 << 0 << false << false;
    QTest::newRow("recording and playback are apart") << QByteArray("LM02;PB03;") << 0 << 2 << 3 << false << false;
    QTest::newRow("audio recorder on") << QByteArray("LM11;") << 0 << 0 << 0 << true << false;
    QTest::newRow("audio recorder off again") << QByteArray("LM11;LM10;") << 0 << 0 << 0 << false << false;
    QTest::newRow("audio player on") << QByteArray("PB11;") << 0 << 0 << 0 << false << true;
    QTest::newRow("audio player off again") << QByteArray("PB11;PB10;") << 0 << 0 << 0 << false << false;
}

void TestSimRadio::modelKeyerAndVoiceCommandsChangeState()
{
    QFETCH(QByteArray, commands);
    QFETCH(int, keyerPlaying);
    QFETCH(int, voiceRecording);
    QFETCH(int, voicePlaying);
    QFETCH(bool, audioRecording);
    QFETCH(bool, audioPlaying);

    Ft2000Model model;
    QCOMPARE(model.receive(commands), QByteArray());
    QCOMPARE(int(model.keyerPlaying), keyerPlaying);
    QCOMPARE(model.voiceRecording, voiceRecording);
    QCOMPARE(model.voicePlaying, voicePlaying);
    QCOMPARE(model.audioRecording, audioRecording);
    QCOMPARE(model.audioPlaying, audioPlaying);
}

void TestSimRadio::modelRefusesWhatItCannotCarryOut_data()
{
    QTest::addColumn<QByteArray>("command");

    QTest::newRow("unknown command") << QByteArray("ZZ;");
    QTest::newRow("lower-case letters") << QByteArray("km1;");
    QTest::newRow("a lone semicolon") << QByteArray(";");
    QTest::newRow("one letter") << QByteArray("K;");
    QTest::newRow("keyer memory without number") << QByteArray("KM;");
    QTest::newRow("keyer memory 0") << QByteArray("KM0;");
    QTest::newRow("keyer memory 6") << QByteArray("KM6;");
    QTest::newRow("keyer memory with two digits") << QByteArray("KM11;");
    QTest::newRow("break-in 2") << QByteArray("BI2;");
    QTest::newRow("mode without receiver") << QByteArray("MD;");
    QTest::newRow("mode of the sub receiver") << QByteArray("MD13;");
    QTest::newRow("mode code unknown") << QByteArray("MD0Z;");
    QTest::newRow("key speed below range") << QByteArray("KS003;");
    QTest::newRow("key speed above range") << QByteArray("KS061;");
    QTest::newRow("key speed with two digits") << QByteArray("KS25;");
    QTest::newRow("key speed with four digits") << QByteArray("KS0025;");
    QTest::newRow("key speed not digits") << QByteArray("KS0A5;");
    QTest::newRow("keyer selector 0") << QByteArray("KY0;");
    QTest::newRow("keyer selector B") << QByteArray("KYB;");
    QTest::newRow("keyer without selector") << QByteArray("KY;");
    QTest::newRow("voice recording channel 6") << QByteArray("LM06;");
    QTest::newRow("voice recording with one digit") << QByteArray("LM0;");
    QTest::newRow("audio recorder 2") << QByteArray("LM12;");
    QTest::newRow("voice playback channel 6") << QByteArray("PB06;");
    QTest::newRow("audio player 2") << QByteArray("PB12;");
    QTest::newRow("carriage return before a command") << QByteArray("\rKM1;");
    QTest::newRow("frequency with seven digits") << QByteArray("FA1402500;");
    QTest::newRow("a menu the radio model does not keep") << QByteArray("EX030;");
    QTest::newRow("CAT time-out beyond its four choices") << QByteArray("EX0294;");
    QTest::newRow("VFO 2") << QByteArray("VS2;");
    QTest::newRow("identity cannot be set") << QByteArray("ID0251;");
}

void TestSimRadio::modelRefusesWhatItCannotCarryOut()
{
    QFETCH(QByteArray, command);

    Ft2000Model model;
    const QByteArray before = stateOf(model);
    QCOMPARE(model.receive(command), QByteArray("?;"));
    QCOMPARE(stateOf(model), before);
    QCOMPARE(model.commands(), QList<QByteArray>{command});
}

void TestSimRadio::modelReportsChangedMemoriesVerbatim()
{
    Ft2000Model model;
    model.textMemory[0].clear();
    model.textMemory[1] = "ABC}";
    model.textMemory[2] = "5NN";
    QCOMPARE(model.receive("KM1;KM2;KM3;"), QByteArray("KM1};KM2ABC}};KM35NN};"));
}

void TestSimRadio::modelJoinsCommandsCutAnywhere()
{
    const QByteArray stream = "KM1;BI1;MD0;KS;KM3;ZZ;BI;";
    const QByteArray replies = Memory1Reply + "MD02;KS025;KM3};?;BI1;";

    for (qsizetype cut = 0; cut <= stream.size(); ++cut) {
        Ft2000Model model;
        QByteArray answered = model.receive(stream.left(cut));
        answered += model.receive(stream.mid(cut));
        QVERIFY2(answered == replies,
                 qPrintable(QStringLiteral("cut at %1: %2").arg(cut).arg(QString::fromLatin1(answered))));
    }

    Ft2000Model model;
    QByteArray answered;
    for (const char byte : stream) {
        answered += model.receive(QByteArray(1, byte));
    }
    QCOMPARE(answered, replies);
    QCOMPARE(model.commands().size(), 7);
}

void TestSimRadio::modelAnswersSeveralCommandsInOneChunkInOrder()
{
    Ft2000Model model;
    QCOMPARE(model.receive("KM1;BI1;BI;KS012;KS;ZZ;KM3;"), Memory1Reply + "BI1;KS012;?;KM3};");
    QCOMPARE(model.commands(), (QList<QByteArray>{"KM1;", "BI1;", "BI;", "KS012;", "KS;", "ZZ;", "KM3;"}));
}

void TestSimRadio::modelRecordsOnlyCompleteCommands()
{
    Ft2000Model model;
    QCOMPARE(model.receive("KM3;ZZ;KS0"), QByteArray("KM3};?;"));
    QCOMPARE(model.commands(), (QList<QByteArray>{"KM3;", "ZZ;"}));
    QCOMPARE(model.receive("30;"), QByteArray());
    QCOMPARE(model.commands(), (QList<QByteArray>{"KM3;", "ZZ;", "KS030;"}));
    QCOMPARE(model.keySpeed, 30);
}

void TestSimRadio::modelDropsOverlongNoise_data()
{
    QTest::addColumn<QByteArray>("noise");
    QTest::addColumn<QByteArray>("noiseReply");
    QTest::addColumn<int>("commandsFromNoise");
    QTest::addColumn<QByteArray>("followingReply");

    const qsizetype full = Ft2000Model::MaxPendingBytes;
    QTest::newRow("short noise stays in front of the next command")
        << QByteArray("XX") << QByteArray() << 0 << QByteArray("?;");
    QTest::newRow("a command filling the buffer is still a command")
        << QByteArray(full, 'X') + ';' << QByteArray("?;") << 1 << QByteArray("KM3};");
    QTest::newRow("one byte more is dropped and refused")
        << QByteArray(full + 1, 'X') << QByteArray("?;") << 0 << QByteArray("KM3};");
    QTest::newRow("a flood is refused once per buffer dropped")
        << QByteArray(3 * (full + 1), 'X') << QByteArray("?;?;?;") << 0 << QByteArray("KM3};");
}

void TestSimRadio::modelDropsOverlongNoise()
{
    QFETCH(QByteArray, noise);
    QFETCH(QByteArray, noiseReply);
    QFETCH(int, commandsFromNoise);
    QFETCH(QByteArray, followingReply);

    Ft2000Model model;
    QCOMPARE(model.receive(noise), noiseReply);
    QCOMPARE(model.commands().size(), commandsFromNoise);
    QCOMPARE(model.receive("KM3;"), followingReply);
}

void TestSimRadio::ptyAnswersACommand()
{
    Ft2000Model model;
    PtyRadio radio(model);
    QVERIFY2(radio.open(), qPrintable(radio.errorString()));
    QVERIFY(radio.devicePath().startsWith(QLatin1String("/dev/")));
    LineEnd line(radio.devicePath());
    QVERIFY(line.isOpen());

    QVERIFY(line.write("KM1;"));
    QTRY_COMPARE(line.data(), Memory1Reply);
    QCOMPARE(radio.received(), QByteArray("KM1;"));
    QCOMPARE(radio.commands(), QList<QByteArray>{"KM1;"});
    QCOMPARE(model.commands(), QList<QByteArray>{"KM1;"});
}

void TestSimRadio::ptyCollectsCommandsAcrossWritesAndClears()
{
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);
    QSignalSpy commandSpy(&radio, &PtyRadio::commandReceived);

    QVERIFY(line.write("KS0"));
    QTRY_COMPARE(radio.received(), QByteArray("KS0"));
    QCOMPARE(commandSpy.count(), 0);

    QVERIFY(line.write("30;BI;"));
    QTRY_COMPARE(line.data(), QByteArray("BI0;"));
    QCOMPARE(radio.received(), QByteArray("KS030;BI;"));
    QCOMPARE(radio.commands(), (QList<QByteArray>{"KS030;", "BI;"}));
    QCOMPARE(commandSpy.count(), 2);
    QCOMPARE(commandSpy.at(0).at(0).toByteArray(), QByteArray("KS030;"));
    QCOMPARE(commandSpy.at(1).at(0).toByteArray(), QByteArray("BI;"));
    QCOMPARE(model.keySpeed, 30);

    radio.clear();
    QVERIFY(radio.received().isEmpty());
    QVERIFY(radio.commands().isEmpty());

    QVERIFY(line.write("KS;"));
    QTRY_COMPARE(line.data(), QByteArray("BI0;KS030;"));
    QCOMPARE(radio.received(), QByteArray("KS;"));
    QCOMPARE(radio.commands(), QList<QByteArray>{"KS;"});
}

void TestSimRadio::ptySilentRadioNeverAnswers()
{
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);

    radio.setSilent(true);
    QVERIFY(line.write("KM1;KS;"));
    QTRY_COMPARE(radio.commands().size(), 2);

    // Anything answered while silent would come before this reply.
    radio.setSilent(false);
    QVERIFY(line.write("BI;"));
    QTRY_COMPARE(line.data(), QByteArray("BI0;"));
    QCOMPARE(radio.commands(), (QList<QByteArray>{"KM1;", "KS;", "BI;"}));
}

void TestSimRadio::ptySplitRepliesArriveInPiecesThatJoin()
{
    constexpr int PieceBytes = 4;
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);

    radio.setSplit(PieceBytes);
    radio.setSplitGap(50);
    QVERIFY(line.write("KM1;"));
    QTRY_COMPARE(line.data(), Memory1Reply);

    const QList<QByteArray> reads = line.reads();
    QVERIFY2(reads.size() >= 2, "the reply came in one read");
    // Reads may join pieces but never cut one.
    for (qsizetype i = 0; i + 1 < reads.size(); ++i) {
        QCOMPARE(reads.at(i).size() % PieceBytes, 0);
    }
}

void TestSimRadio::ptyDelayedReplyComesAfterLaterTraffic()
{
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);

    radio.setReplyDelay(100);
    // Written while the command is being taken in: a reply sent at once would precede it.
    connect(&radio, &PtyRadio::commandReceived, &radio, [&radio] { radio.sendRaw("X;"); });
    QVERIFY(line.write("KM3;"));
    QTRY_COMPARE(line.data(), QByteArray("X;KM3};"));
}

void TestSimRadio::ptyDelayedRepliesKeepTheirOrder()
{
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);
    QSignalSpy commandSpy(&radio, &PtyRadio::commandReceived);

    radio.setReplyDelay(200);
    QVERIFY(line.write("KM1;BI;"));
    QTRY_COMPARE(commandSpy.count(), 2);

    // A shorter delay must not let a later reply overtake.
    radio.setReplyDelay(10);
    QVERIFY(line.write("KS;"));
    QTRY_COMPARE(line.data(), Memory1Reply + "BI0;KS025;");
}

void TestSimRadio::ptySendRawReachesTheLine()
{
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);

    radio.sendRaw("KM1OLD};");
    QTRY_COMPARE(line.data(), QByteArray("KM1OLD};"));
    QVERIFY(radio.received().isEmpty());
    QVERIFY(radio.commands().isEmpty());
}

void TestSimRadio::ptyLargeOutputSurvivesAFullLine()
{
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);

    // Far more than the terminal buffers, so the radio has to wait for room.
    QByteArray pattern;
    for (int i = 0; i < 256 * 1024; ++i) {
        pattern += char(i % 251);
    }
    radio.sendRaw(pattern);
    QTRY_COMPARE_WITH_TIMEOUT(line.data().size(), pattern.size(), 30000);
    QVERIFY(line.data() == pattern);
}

void TestSimRadio::ptyLineStaysUpBetweenRuns()
{
    Ft2000Model model;
    PtyRadio radio(model);
    QVERIFY2(radio.open(), qPrintable(radio.errorString()));
    {
        LineEnd first(radio.devicePath());
        QVERIFY(first.write("KM1;"));
        QTRY_COMPARE(first.data(), Memory1Reply);
    }
    LineEnd second(radio.devicePath());
    QVERIFY(second.isOpen());
    QVERIFY(second.write("BI;"));
    QTRY_COMPARE(second.data(), QByteArray("BI0;"));
    QCOMPARE(radio.commands(), (QList<QByteArray>{"KM1;", "BI;"}));
}

void TestSimRadio::ptyHangUpEndsTheLineAndOpenStartsAnew()
{
    Ft2000Model model;
    PtyRadio radio(model);
    LineEnd line(radio);
    QVERIFY(line.write("KM1;"));
    QTRY_COMPARE(line.data(), Memory1Reply);

    radio.hangUp();
    QTRY_VERIFY(line.hungUp());
    errno = 0;
    QCOMPARE(::write(line.fd(), "BI;", 3), ssize_t(-1));
    QCOMPARE(errno, EIO);
    radio.sendRaw("X;");
    QCOMPARE(radio.received(), QByteArray("KM1;"));
    QCOMPARE(radio.commands(), QList<QByteArray>{"KM1;"});

    QVERIFY2(radio.open(), qPrintable(radio.errorString()));
    LineEnd again(radio.devicePath());
    QVERIFY(again.write("KM3;"));
    QTRY_COMPARE(again.data(), QByteArray("KM3};"));
}

void TestSimRadio::init()
{
    if (QByteArray(QTest::currentTestFunction()).startsWith("sim") && simPath().isEmpty()) {
        QSKIP("RIGDECK_SIM does not name the rigdeck-sim executable");
    }
}

void TestSimRadio::simServesWhatTheCommandLineSets()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString logPath = dir.filePath(QStringLiteral("commands.log"));
    const QString linkPath = dir.filePath(QStringLiteral("ft2000"));
    {
        QFile earlier(logPath);
        QVERIFY(earlier.open(QIODevice::WriteOnly));
        earlier.write("from an earlier run\n");
    }

    QProcess sim;
    QString devicePath;
    startSim(sim,
             {"--memory", "1=HELLO WORLD", "--memory", "4=", "--mode", "3", "--speed", "18", "--break-in", "on",
              "--log", logPath, "--link", linkPath},
             devicePath);
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY(devicePath.startsWith(QLatin1String("/dev/")));
    QCOMPARE(QFileInfo(linkPath).symLinkTarget(), devicePath);

    LineEnd line(linkPath);
    QVERIFY(line.isOpen());
    QVERIFY(line.write("KM1;KM4;KM2;MD0;KS;BI;K\nM;"));
    QTRY_COMPARE(line.data(), QByteArray("KM1HELLO WORLD};KM4};KM2TU 5NN 13};MD03;KS018;BI1;?;"));
    QTRY_COMPARE(contentsOf(logPath), QByteArray("from an earlier run\nKM1;\nKM4;\nKM2;\nMD0;\nKS;\nBI;\nK\\x0aM;\n"));

    endSimCleanly(sim, SIGTERM, linkPath);
}

void TestSimRadio::simExitsCleanlyOnSignal_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("interrupted") << int(SIGINT);
    QTest::newRow("terminated") << int(SIGTERM);
}

void TestSimRadio::simExitsCleanlyOnSignal()
{
    QFETCH(int, signal);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString linkPath = dir.filePath(QStringLiteral("ft2000"));

    QProcess sim;
    QString devicePath;
    startSim(sim, {"--link", linkPath}, devicePath);
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY(QFileInfo(linkPath).isSymLink());

    endSimCleanly(sim, signal, linkPath);
}

void TestSimRadio::simRejectsBadOptions_data()
{
    QTest::addColumn<QStringList>("arguments");

    QTest::newRow("memory number out of range") << QStringList{"--memory", "6=X"};
    QTest::newRow("memory without equals sign") << QStringList{"--memory", "1"};
    QTest::newRow("memory text with a semicolon") << QStringList{"--memory", "1=A;B"};
    QTest::newRow("key speed too fast") << QStringList{"--speed", "61"};
    QTest::newRow("key speed not a number") << QStringList{"--speed", "fast"};
    QTest::newRow("unknown mode code") << QStringList{"--mode", "Z"};
    QTest::newRow("mode of two characters") << QStringList{"--mode", "12"};
    QTest::newRow("break-in neither on nor off") << QStringList{"--break-in", "yes"};
    QTest::newRow("negative delay") << QStringList{"--delay", "-1"};
    QTest::newRow("pieces of no bytes") << QStringList{"--split", "0"};
    QTest::newRow("unknown option") << QStringList{"--frobnicate"};
    QTest::newRow("stray argument") << QStringList{"extra"};
}

void TestSimRadio::simRejectsBadOptions()
{
    QFETCH(QStringList, arguments);
    QProcess sim;
    runSimToItsEnd(sim, arguments);
    if (QTest::currentTestFailed()) {
        return;
    }
    QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
    QVERIFY(sim.exitCode() != 0);
    // No port line: whoever waits for one must not take an error for it.
    QCOMPARE(sim.readAllStandardOutput(), QByteArray());
    QVERIFY(!sim.readAllStandardError().isEmpty());
}

void TestSimRadio::simLeavesAFileInTheWayOfTheLink()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString linkPath = dir.filePath(QStringLiteral("notes.txt"));
    {
        QFile notes(linkPath);
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("keep me");
    }

    QProcess sim;
    runSimToItsEnd(sim, {"--link", linkPath});
    if (QTest::currentTestFailed()) {
        return;
    }
    QVERIFY(sim.exitCode() != 0);
    QVERIFY(!QFileInfo(linkPath).isSymLink());
    QCOMPARE(contentsOf(linkPath), QByteArray("keep me"));
}

QTEST_GUILESS_MAIN(TestSimRadio)
#include "tst_simradio.moc"
