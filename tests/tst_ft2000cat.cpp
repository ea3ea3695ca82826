// SPDX-License-Identifier: GPL-3.0-or-later
// The radio's language on its own: the command texts the program sends and
// how it reads the replies to its start-up queries, without a line or a window.
#include "radio/Ft2000Cat.h"

#include <QTest>

namespace {

// modeIndex()'s "not a main-band mode report" in a data column.
constexpr int NoModeReport = -100;

} // namespace

class TestFt2000Cat : public QObject
{
    Q_OBJECT

private slots:
    void commandTexts_data();
    void commandTexts();
    void textMemory_data();
    void textMemory();
    void breakIn_data();
    void breakIn();
    void mode_data();
    void mode();
    void keySpeed_data();
    void keySpeed();
    void leadingNumber_data();
    void leadingNumber();
    void otherCommandsMessage_data();
    void otherCommandsMessage();
};

void TestFt2000Cat::commandTexts_data()
{
    using namespace Ft2000Cat;
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");

    QTest::newRow("message memory 1 plays with KY1;") << messageMemoryPlay(0) << "KY1;";
    QTest::newRow("message memory 5 plays with KY5;") << messageMemoryPlay(4) << "KY5;";
    QTest::newRow("text memory 1 plays with KY6;") << textMemoryPlay(0) << "KY6;";
    QTest::newRow("text memory 4 plays with KY9;") << textMemoryPlay(3) << "KY9;";
    QTest::newRow("text memory 5 plays with KYA;") << textMemoryPlay(4) << "KYA;";
    QTest::newRow("KS004; is the slowest speed, three digits") << keySpeedSet(4) << "KS004;";
    QTest::newRow("KS060; is the fastest speed") << keySpeedSet(60) << "KS060;";
    QTest::newRow("BI1; turns break-in on") << breakInSet(true) << "BI1;";
    QTest::newRow("BI0; turns break-in off") << breakInSet(false) << "BI0;";
    QTest::newRow("LSB, the first label, is MD01;") << modeSet(0) << "MD01;";
    QTest::newRow("USB, the second label, is MD02;") << modeSet(1) << "MD02;";
    QTest::newRow("FM, the third label, is MD04;") << modeSet(2) << "MD04;";
    QTest::newRow("AM, the fourth label, is MD05;") << modeSet(3) << "MD05;";
    QTest::newRow("CW, the fifth label, is MD03;") << modeSet(4) << "MD03;";
    QTest::newRow("voice channel 1 records with LM01;") << voiceRecord(0) << "LM01;";
    QTest::newRow("voice channel 5 plays with PB05;") << voicePlay(4) << "PB05;";
    QTest::newRow("LM00; stops recording a voice memory") << VoiceRecordStop << "LM00;";
    QTest::newRow("PB00; stops playing a voice memory") << VoicePlayStop << "PB00;";
    QTest::newRow("LM11; starts the received-audio recorder") << AudioRecordStart << "LM11;";
    QTest::newRow("LM10; stops it") << AudioRecordStop << "LM10;";
    QTest::newRow("PB11; plays the received audio") << AudioPlayStart << "PB11;";
    QTest::newRow("PB10; stops playing it") << AudioPlayStop << "PB10;";
    QTest::newRow("KM1; asks for the first text memory") << keyerMemoryQuery(1) << "KM1;";
    QTest::newRow("KM5; asks for the last") << keyerMemoryQuery(5) << "KM5;";
    QTest::newRow("BI; asks for break-in") << BreakInQuery << "BI;";
    QTest::newRow("MD0; asks for the main band's mode") << ModeQuery << "MD0;";
    QTest::newRow("KS; asks for the key speed") << KeySpeedQuery << "KS;";
}

void TestFt2000Cat::commandTexts()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    QCOMPARE(command, expected);
}

void TestFt2000Cat::textMemory_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("holdsMemory");
    QTest::addColumn<QString>("shown");

    QTest::newRow("KM1CQ TEST}; shows its text, the closing } kept") << "KM1CQ TEST};" << true << "CQ TEST}";
    QTest::newRow("KM3ABC; shows ABC") << "KM3ABC;" << true << "ABC";
    QTest::newRow("positions count from 1: KM1ABC; shows from the 4th") << "KM1ABC;" << true << "ABC";
    QTest::newRow("KM2}; is an empty memory") << "KM2};" << true << "";
    QTest::newRow("?; is an empty memory") << "?;" << true << "";
    QTest::newRow("KM4; holds an empty text") << "KM4;" << true << "";
    QTest::newRow("Japanese text comes back as it is") << "KM5ＣＱ};" << true << "ＣＱ}";
    QTest::newRow("KM; is too short to hold a memory") << "KM;" << false << "";
    QTest::newRow("nothing at all holds no memory") << "" << false << "";
}

void TestFt2000Cat::textMemory()
{
    QFETCH(QString, reply);
    QFETCH(bool, holdsMemory);
    QFETCH(QString, shown);
    const std::optional<QString> memory = Ft2000Cat::textMemory(reply);
    QCOMPARE(memory.has_value(), holdsMemory);
    if (holdsMemory) {
        QCOMPARE(*memory, shown);
    }
}

void TestFt2000Cat::breakIn_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<bool>("on");

    QTest::newRow("BI1; is on") << "BI1;" << true;
    QTest::newRow("BI0; is off") << "BI0;" << false;
    QTest::newRow("?; counts as break-in on: a start past the end is empty") << "?;" << true;
    QTest::newRow("BI; without a value counts as on") << "BI;" << true;
    QTest::newRow("any other value counts as on") << "BI7;" << true;
}

void TestFt2000Cat::breakIn()
{
    QFETCH(QString, reply);
    QFETCH(bool, on);
    QCOMPARE(Ft2000Cat::breakInOn(reply), on);
}

void TestFt2000Cat::mode_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<int>("label");

    QTest::newRow("MD01; is LSB, the first label") << "MD01;" << 0;
    QTest::newRow("MD02; is USB") << "MD02;" << 1;
    QTest::newRow("MD04; is FM, the third label") << "MD04;" << 2;
    QTest::newRow("MD05; is AM") << "MD05;" << 3;
    QTest::newRow("MD03; is CW, the last label") << "MD03;" << 4;
    QTest::newRow("MD06; is a mode not offered") << "MD06;" << -1;
    QTest::newRow("MD0C; is a mode not offered") << "MD0C;" << -1;
    QTest::newRow("MD0; names no mode") << "MD0;" << -1;
    QTest::newRow("MD12; is the sub band's, no main-band report") << "MD12;" << NoModeReport;
    QTest::newRow("?; is no mode report") << "?;" << NoModeReport;
}

void TestFt2000Cat::mode()
{
    QFETCH(QString, reply);
    QFETCH(int, label);
    const std::optional<int> index = Ft2000Cat::modeIndex(reply);
    QCOMPARE(index.value_or(NoModeReport), label);
}

void TestFt2000Cat::keySpeed_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("wpm");

    QTest::newRow("KS099;") << "KS099;"
                            << "099WPM" << 99;
    QTest::newRow("KS025; keeps its leading zero in the caption") << "KS025;"
                                                                  << "025WPM" << 25;
    QTest::newRow("KS004;") << "KS004;"
                            << "004WPM" << 4;
    QTest::newRow("a fourth digit is not read") << "KS1234;"
                                                << "123WPM" << 123;
    QTest::newRow("KS4; reads as far as the digits go") << "KS4;"
                                                        << "4;WPM" << 4;
    QTest::newRow("?; has no speed") << "?;"
                                     << "WPM" << 0;
    QTest::newRow("letters give no speed") << "KSABC;"
                                           << "ABCWPM" << 0;
    QTest::newRow("digits after a letter do not count") << "KS12a3;"
                                                        << "12aWPM" << 12;
    QTest::newRow("the 3rd to 5th characters, counted from 1") << "KS025;"
                                                               << "025WPM" << 25;
}

void TestFt2000Cat::keySpeed()
{
    QFETCH(QString, reply);
    QFETCH(QString, caption);
    QFETCH(int, wpm);
    const Ft2000Cat::KeySpeed speed = Ft2000Cat::keySpeed(reply);
    QCOMPARE(speed.caption, caption);
    QCOMPARE(speed.wpm, wpm);
}

void TestFt2000Cat::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");

    QTest::newRow("no digits, no number") << "ABC" << 0;
    QTest::newRow("the leading digits make the number") << "025WPM" << 25;
    QTest::newRow("digits after a letter do not count") << "12a3" << 12;
    QTest::newRow("a very long number stops growing") << "99999999999999" << 1000000;
}

void TestFt2000Cat::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(int, number);
    QCOMPARE(Ft2000Cat::leadingNumber(text), number);
}

void TestFt2000Cat::otherCommandsMessage_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<bool>("other");

    QTest::newRow("a dial report while waiting for the mode is another command's")
        << QByteArray("FA07030000;") << QByteArray("MD0;") << true;
    QTest::newRow("BI1; while waiting for the speed is another command's")
        << QByteArray("BI1;") << QByteArray("KS;") << true;
    QTest::newRow("the mode report is the mode query's answer") << QByteArray("MD02;") << QByteArray("MD0;") << false;
    QTest::newRow("KM2}; shares the letters of KM1;") << QByteArray("KM2};") << QByteArray("KM1;") << false;
    QTest::newRow("?; may be the answer to anything") << QByteArray("?;") << QByteArray("MD0;") << false;
    QTest::newRow("a message not yet ended is no message") << QByteArray("FA0703") << QByteArray("MD0;") << false;
    QTest::newRow("small letters are no command") << QByteArray("fa1;") << QByteArray("MD0;") << false;
    QTest::newRow("a digit among the letters is no command") << QByteArray("F1;") << QByteArray("MD0;") << false;
    QTest::newRow("the query echoed back is no answer") << QByteArray("BI;") << QByteArray("BI;") << true;
}

void TestFt2000Cat::otherCommandsMessage()
{
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, query);
    QFETCH(bool, other);
    QCOMPARE(Ft2000Cat::isNotTheAnswer(message, query), other);
}

QTEST_GUILESS_MAIN(TestFt2000Cat)
#include "tst_ft2000cat.moc"
