// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ProfileFile.h"
#include "settings/Settings.h"
#include "support/EnvironmentOverride.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace {

QByteArray platformLineEnd()
{
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

bool localTextIsUtf8()
{
    return QStringLiteral("あ").toLocal8Bit() == QByteArrayLiteral("\xE3\x81\x82");
}

QString repeated(const QString &text, int times)
{
    return text.repeated(times);
}

// The section, key and default most rows read and write.
const QString Com = QStringLiteral("COM");
const QString Port = QStringLiteral("PORT");
const QString Default = QStringLiteral("DEF");

// The columns of the tests that read one value from a file's bytes.
void addReadColumns()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Reading
    void readsValue_data();
    void readsValue();
    void readGivesDefaultWithoutUsableFile_data();
    void readGivesDefaultWithoutUsableFile();
    void readGivesDefaultForUnreadableFile();
    void readCutsLongValues_data();
    void readCutsLongValues();
    void readSurvivesJunk_data();
    void readSurvivesJunk();
    void readsHandEditedLinesAsWindowsDoes_data();
    void readsHandEditedLinesAsWindowsDoes();

    // Writing
    void writeChangesOnlyItsLine_data();
    void writeChangesOnlyItsLine();
    void writeCreatesNewFile();
    void writeSameKeyTwiceLeavesOneLine();
    void writeDropsLineBreaks_data();
    void writeDropsLineBreaks();
    void writeRefusesNamesThatWouldReadBackWrong_data();
    void writeRefusesNamesThatWouldReadBackWrong();
    void writeToReadOnlyFileFails();
    void writeToUnreadableFileFails();
    void writeFailsWhereFileCannotBeMade_data();
    void writeFailsWhereFileCannotBeMade();
    void writeGoesInPlaceInAReadOnlyFolder();
    void writeLeavesNoStrayFiles();
    void writeKeepsFilePermissions();
    void writersOfDifferentKeysKeepBoth();
    void concurrentWritersKeepAllKeys_data();
    void concurrentWritersKeepAllKeys();
    void writeWaitsForALockOnlyBriefly_data();
    void writeWaitsForALockOnlyBriefly();
    void writerKilledMidWriteLeavesAWholeFile();

    // Program settings
    void keyNames_data();
    void keyNames();
    void settingMissingReadsError();
    void recTimeWithLeadingBlankReadsTrimmed();
    void longJapaneseCommentIsCut();
    void commentKeepsTheSystemCodePage_data();
    void commentKeepsTheSystemCodePage();
    void settingsFilePathHonoursEnvironment();
    void settingsFilePathBesideProgram();
    void bareFileNameMeansSettingsFolder();
    void writeSettingCreatesFolder();

private:
    QString iniPath() const { return m_dir->filePath(QStringLiteral("RIGDECK.INI")); }
    static QByteArray fileBytes(const QString &path);
    static void putFile(const QString &path, const QByteArray &bytes);

    std::unique_ptr<QTemporaryDir> m_dir;
    // What RIGDECK_INI was before each test; tests change it freely.
    std::unique_ptr<EnvironmentOverride> m_iniVariable;
};

QByteArray TestSettings::fileBytes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArrayLiteral("<unreadable>");
    }
    return file.readAll();
}

void TestSettings::putFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    // Nothing a test does may touch a real settings file.
    m_iniVariable = std::make_unique<EnvironmentOverride>("RIGDECK_INI", iniPath().toLocal8Bit());
}

void TestSettings::cleanup()
{
    // Permissions taken away by a test would stop the folder from being removed.
    const QDir dir(m_dir->path());
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        QFile::setPermissions(entry.filePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
    m_iniVariable.reset();
}

// ---------------------------------------------------------------- reading

void TestSettings::readsValue_data()
{
    addReadColumns();

    QTest::newRow("plain value") << QByteArray("[COM]\nPORT=3\n") << Com << Port << "3";
    QTest::newRow("missing key gives default") << QByteArray("[COM]\nSPEED=9600\n") << Com << Port << Default;
    QTest::newRow("missing section gives default") << QByteArray("[REC]\nPORT=3\n") << Com << Port << Default;
    QTest::newRow("empty file gives default") << QByteArray() << Com << Port << Default;
    QTest::newRow("nothing after equals is empty, not default") << QByteArray("[COM]\nPORT=\n") << Com << Port << "";
    QTest::newRow("only blanks after equals is empty") << QByteArray("[COM]\nPORT= \t \n") << Com << Port << "";
    QTest::newRow("empty quotes are empty") << QByteArray("[COM]\nPORT=\"\"\n") << Com << Port << "";
    QTest::newRow("double quotes removed") << QByteArray("[COM]\nPORT=\" 3 \"\n") << Com << Port << " 3 ";
    QTest::newRow("single quotes removed") << QByteArray("[COM]\nPORT='3'\n") << Com << Port << "3";
    QTest::newRow("quotes removed after blanks") << QByteArray("[COM]\nPORT=  \"3\"  \n") << Com << Port << "3";
    QTest::newRow("only one pair of quotes removed") << QByteArray("[COM]\nPORT=\"\"3\"\"\n") << Com << Port << "\"3\"";
    QTest::newRow("mismatched quotes kept") << QByteArray("[COM]\nPORT=\"3'\n") << Com << Port << "\"3'";
    QTest::newRow("quote on one side kept") << QByteArray("[COM]\nPORT=\"3\n") << Com << Port << "\"3";
    QTest::newRow("lone quote kept") << QByteArray("[COM]\nPORT=\"\n") << Com << Port << "\"";
    QTest::newRow("blanks around key and value dropped")
        << QByteArray("[COM]\n \t PORT \t = \t 3 \t\n") << Com << Port << "3";
    QTest::newRow("blanks inside value kept") << QByteArray("[COM]\nPORT=a  b\n") << Com << Port << "a  b";
    QTest::newRow("equals inside value kept") << QByteArray("[COM]\nPORT=a=b\n") << Com << Port << "a=b";
    QTest::newRow("blanks around section name dropped") << QByteArray("  [ \tCOM\t ]\nPORT=3\n") << Com << Port << "3";
    QTest::newRow("blanks in asked names dropped") << QByteArray("[COM]\nPORT=3\n") << " COM "
                                                   << "\tPORT "
                                                   << "3";
    QTest::newRow("text after closing bracket ignored") << QByteArray("[COM] ; ports\nPORT=3\n") << Com << Port << "3";
    QTest::newRow("section name case ignored") << QByteArray("[cOm]\nPORT=3\n") << Com << Port << "3";
    QTest::newRow("key name case ignored") << QByteArray("[COM]\nPort=3\n") << Com << Port << "3";
    QTest::newRow("value case kept") << QByteArray("[COM]\nPORT=AbC\n") << Com << Port << "AbC";
    QTest::newRow("non-ASCII names match exactly only")
        << QByteArray("[COM]\n\xC3\xA9=1\n") << Com << "\xC3\x89" << Default;
    QTest::newRow("first duplicate key wins") << QByteArray("[COM]\nPORT=1\nPORT=2\n") << Com << Port << "1";
    QTest::newRow("first duplicate section wins") << QByteArray("[COM]\nPORT=1\n[Com]\nPORT=2\n") << Com << Port << "1";
    QTest::newRow("later section of the same name not searched")
        << QByteArray("[COM]\nA=1\n[REC]\n[COM]\nPORT=2\n") << Com << Port << Default;
    QTest::newRow("key of the next section not taken")
        << QByteArray("[COM]\nA=1\n[REC]\nPORT=2\n") << Com << Port << Default;
    QTest::newRow("key before any section not taken") << QByteArray("PORT=1\n[COM]\nA=1\n") << Com << Port << Default;
    QTest::newRow("LF line ends") << QByteArray("[REC]\nPORT=9\n[COM]\nPORT=3\n") << Com << Port << "3";
    QTest::newRow("CRLF line ends") << QByteArray("[REC]\r\nPORT=9\r\n[COM]\r\nPORT=3\r\n") << Com << Port << "3";
    QTest::newRow("CR line ends") << QByteArray("[REC]\rPORT=9\r[COM]\rPORT=3\r") << Com << Port << "3";
    QTest::newRow("mixed line ends") << QByteArray("[REC]\r\nPORT=9\r[COM]\nPORT=3\r\n") << Com << Port << "3";
    QTest::newRow("byte-order mark skipped") << QByteArray("\xEF\xBB\xBF[COM]\nPORT=3\n") << Com << Port << "3";
    if (localTextIsUtf8()) {
        QTest::newRow("zero-width no-break space starting a value kept")
            << QByteArray("[COM]\nPORT=\xEF\xBB\xBF"
                          "3\n")
            << Com << Port << QString(QChar(0xFEFF)) + u'3';
    }
    QTest::newRow("no final line end") << QByteArray("[COM]\nPORT=3") << Com << Port << "3";
    QTest::newRow("line without equals is no key") << QByteArray("[COM]\nPORT\nPORT=4\n") << Com << Port << "4";
    QTest::newRow("only a line without equals gives default") << QByteArray("[COM]\nPORT\n") << Com << Port << Default;
    QTest::newRow("semicolon line is another key") << QByteArray("[COM]\n;PORT=9\nPORT=3\n") << Com << Port << "3";
}

void TestSettings::readsValue()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    putFile(iniPath(), content);
    const QString value = ProfileFile::readString(section, key, QStringLiteral("DEF"), iniPath());
    QCOMPARE(value, expected);
}

void TestSettings::readGivesDefaultWithoutUsableFile_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("no such file") << QStringLiteral("absent.ini");
    QTest::newRow("no such folder") << QStringLiteral("absent/RIGDECK.INI");
    QTest::newRow("path is a folder") << QStringLiteral("folder");
    QTest::newRow("empty path") << QString();
}

void TestSettings::readGivesDefaultWithoutUsableFile()
{
    QFETCH(QString, relativePath);
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder")));
    const QString path = relativePath.isEmpty() ? QString() : m_dir->filePath(relativePath);
    QCOMPARE(ProfileFile::readString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("DEF"), path),
             QStringLiteral("DEF"));
}

void TestSettings::readGivesDefaultForUnreadableFile()
{
    putFile(iniPath(), "[COM]\nPORT=3\n");
    QVERIFY(QFile::setPermissions(iniPath(), QFile::WriteOwner));
    QFile probe(iniPath());
    if (probe.open(QIODevice::ReadOnly)) {
        QSKIP("this account can read any file");
    }
    QCOMPARE(ProfileFile::readString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("DEF"), iniPath()),
             QStringLiteral("DEF"));
}

void TestSettings::readCutsLongValues_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("maxBytes");
    QTest::addColumn<QString>("expected");

    const QString a = QStringLiteral("あ");                     // three bytes in UTF-8
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80"); // four bytes in UTF-8

    QTest::newRow("ASCII of 300 cut to 254") << QString(300, u'x') << 254 << QString(254, u'x');
    QTest::newRow("ASCII of 254 kept whole") << QString(254, u'x') << 254 << QString(254, u'x');
    QTest::newRow("ASCII of 255 loses one") << QString(255, u'x') << 254 << QString(254, u'x');
    QTest::newRow("100 kana cut to 84 (252 bytes)") << repeated(a, 100) << 254 << repeated(a, 84);
    QTest::newRow("kana ending exactly at 254 bytes") << "xx" + repeated(a, 100) << 254 << "xx" + repeated(a, 84);
    QTest::newRow("kana split after one byte backs off") << "x" + repeated(a, 100) << 254 << "x" + repeated(a, 84);
    QTest::newRow("kana split after two bytes backs off") << "xxx" + repeated(a, 100) << 254 << "xxx" + repeated(a, 83);
    QTest::newRow("four-byte characters not split") << repeated(face, 70) << 254 << repeated(face, 63);
    QTest::newRow("small limit") << repeated(a, 3) << 5 << a;
    QTest::newRow("limit of zero gives empty") << QStringLiteral("abc") << 0 << QString();
    QTest::newRow("quotes removed before cutting") << "\"" + QString(254, u'x') + "\"" << 254 << QString(254, u'x');
}

void TestSettings::readCutsLongValues()
{
    QFETCH(QString, stored);
    QFETCH(int, maxBytes);
    QFETCH(QString, expected);
    if (!localTextIsUtf8()) {
        QSKIP("byte counts here are those of UTF-8");
    }

    putFile(iniPath(), "[VOICE]\nCOMMENT1=" + stored.toUtf8() + "\n");
    const QString value = ProfileFile::readString(QStringLiteral("VOICE"), QStringLiteral("COMMENT1"),
                                                  QStringLiteral("DEF"), iniPath(), maxBytes);
    QCOMPARE(value, expected);
    QVERIFY(value.toUtf8().size() <= maxBytes);
}

void TestSettings::readSurvivesJunk_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");

    QRandomGenerator random(20240611);
    QByteArray junk(64 * 1024, Qt::Uninitialized);
    for (char &c : junk) {
        c = static_cast<char>(random.bounded(256));
    }
    const QByteArray section = "\n[COM]\nPORT=3\n";

    QTest::newRow("random bytes before the section") << junk + section << "3";
    QTest::newRow("NUL bytes inside the section") << QByteArrayLiteral("[COM]\n\0\0=\0\nX\0Y\n\0[\nPORT=3\n") << "3";
    QTest::newRow("NUL inside the value ends it") << QByteArrayLiteral("[COM]\nPORT=3\0004\n") << QStringLiteral("3");
    QTest::newRow("broken UTF-8 at the cut") << QByteArray("[COM]\nPORT=" + QByteArray(253, 'x') + "\x82\x82\x82\x82\n")
                                             << QString::fromUtf8(QByteArray(253, 'x') + "\x82");
    QTest::newRow("line of 20 MB before the section") << QByteArray(20 * 1024 * 1024, 'x') + section << "3";
    QTest::newRow("line of 20 MB in the section") << "[COM]\nA=" + QByteArray(20 * 1024 * 1024, '=') + "\nPORT=3\n"
                                                  << "3";

    // Many short lines, the way a damaged or foreign file might look.
    QByteArray big;
    big.reserve(50 * 1024 * 1024 + 64);
    const QByteArray filler = "K=" + QByteArray(60, 'v') + "\r\n";
    while (big.size() < 50 * 1024 * 1024) {
        big += filler;
    }
    QTest::newRow("file of 50 MB with the section at its end") << big + section << "3";
}

void TestSettings::readSurvivesJunk()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    if (QByteArray(QTest::currentDataTag()).contains("UTF-8") && !localTextIsUtf8()) {
        QSKIP("the file is read in this system's code page, not UTF-8");
    }

    putFile(iniPath(), content);
    QCOMPARE(ProfileFile::readString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("DEF"), iniPath()),
             expected);
}

// Lines a hand-edited file may hold, read as the Windows profile functions
// read them, so that the file means the same here and there.
void TestSettings::readsHandEditedLinesAsWindowsDoes_data()
{
    addReadColumns();

    QTest::newRow("[ without ] is no header: keys after it stay in the section")
        << QByteArray("[COM]\nA=1\n[REC\nPORT=2\n") << Com << Port << "2";
    QTest::newRow("[ without ] names no section") << QByteArray("[COM]\n[REC\nPORT=2\n") << "REC" << Port << Default;
    QTest::newRow("name runs to the last ]") << QByteArray("[a]b]\nK=1\n") << "a]b"
                                             << "K"
                                             << "1";
    QTest::newRow("name not cut at the first ]") << QByteArray("[a]b]\nK=1\n") << "a"
                                                 << "K" << Default;
    QTest::newRow("text after the last ] ignored") << QByteArray("[x] ; note\nK=1\n") << "x"
                                                   << "K"
                                                   << "1";
    QTest::newRow("a ] in the text after a header joins the name")
        << QByteArray("[x] ; see [y]\nK=1\n") << "x] ; see [y"
        << "K"
        << "1";
    QTest::newRow("VT, FF and ^Z around a key and its value") << QByteArray("[COM]\n\x0bPORT\x0c=\x1a"
                                                                            "3\x0b\x0c\x1a\n")
                                                              << Com << Port << "3";
    QTest::newRow("VT, FF and ^Z around a header and its name") << QByteArray("\x1a[\x0c"
                                                                              "COM\x0b]\x0c\nPORT=3\n")
                                                                << Com << Port << "3";
    QTest::newRow("VT inside a value kept") << QByteArray("[COM]\nPORT=a\x0b"
                                                          "b\n")
                                            << Com << Port
                                            << "a\x0b"
                                               "b";
    QTest::newRow("value ends at its first NUL") << QByteArrayLiteral("[COM]\nPORT= 7\0008\n") << Com << Port << "7";
    QTest::newRow("value starting with NUL is empty") << QByteArrayLiteral("[COM]\nPORT=\0007\n") << Com << Port << "";
}

void TestSettings::readsHandEditedLinesAsWindowsDoes()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);

    putFile(iniPath(), content);
    QCOMPARE(ProfileFile::readString(section, key, QStringLiteral("DEF"), iniPath()), expected);
}

// ---------------------------------------------------------------- writing

void TestSettings::writeChangesOnlyItsLine_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QString>("readBack");

    const QString speed = QStringLiteral("SPEED");
    const QByteArray nl = platformLineEnd();

    QTest::newRow("value replaced in place") << QByteArray("[COM]\nPORT=1\nSPEED=9600\n") << Com << Port << "2"
                                             << QByteArray("[COM]\nPORT=2\nSPEED=9600\n") << "2";
    QTest::newRow("comments, unknown keys and odd bytes stay")
        << QByteArrayLiteral("; by hand\n[COM]\n  ; note\nPORT = 1 \nX\xff\0Y=\x80\n\n[REC]\nREC_TIME1=5\n") << Com
        << Port << "2" << QByteArrayLiteral("; by hand\n[COM]\n  ; note\nPORT=2\nX\xff\0Y=\x80\n\n[REC]\nREC_TIME1=5\n")
        << "2";
    QTest::newRow("CRLF file keeps CRLF on replace")
        << QByteArray("[COM]\r\nPORT=1\r\n") << Com << Port << "2" << QByteArray("[COM]\r\nPORT=2\r\n") << "2";
    QTest::newRow("CRLF file gets CRLF for a new key")
        << QByteArray("[COM]\r\nPORT=1\r\n\r\n[REC]\r\nA=1\r\n") << Com << speed << "9600"
        << QByteArray("[COM]\r\nPORT=1\r\nSPEED=9600\r\n\r\n[REC]\r\nA=1\r\n") << "9600";
    QTest::newRow("CRLF file gets CRLF for a new section") << QByteArray("[REC]\r\nA=1\r\n") << Com << Port << "3"
                                                           << QByteArray("[REC]\r\nA=1\r\n[COM]\r\nPORT=3\r\n") << "3";
    QTest::newRow("CR file gets CR") << QByteArray("[COM]\rPORT=1\r") << Com << speed << "9600"
                                     << QByteArray("[COM]\rPORT=1\rSPEED=9600\r") << "9600";
    QTest::newRow("mixed line ends kept, new ones like the first")
        << QByteArray("[COM]\r\nPORT=1\nX=2\r") << Com << speed << "9600"
        << QByteArray("[COM]\r\nPORT=1\nX=2\rSPEED=9600\r\n") << "9600";
    QTest::newRow("new key after last key, before blanks and next section")
        << QByteArray("[COM]\nPORT=1\n\n\n[REC]\nREC_TIME1=5\n") << Com << speed << "9600"
        << QByteArray("[COM]\nPORT=1\nSPEED=9600\n\n\n[REC]\nREC_TIME1=5\n") << "9600";
    QTest::newRow("new key after a trailing comment of its section")
        << QByteArray("[COM]\nPORT=1\n; last\n\n[REC]\n") << Com << speed << "9600"
        << QByteArray("[COM]\nPORT=1\n; last\nSPEED=9600\n\n[REC]\n") << "9600";
    QTest::newRow("new key in a section holding only its header")
        << QByteArray("[COM]\n\n[REC]\nA=1\n") << Com << Port << "3" << QByteArray("[COM]\nPORT=3\n\n[REC]\nA=1\n")
        << "3";
    QTest::newRow("new key after a last line without line end")
        << QByteArray("[REC]\nA=1\n[COM]\nSPEED=9600") << Com << Port << "3"
        << QByteArray("[REC]\nA=1\n[COM]\nSPEED=9600\nPORT=3\n") << "3";
    QTest::newRow("new section at the end")
        << QByteArray("[REC]\nA=1\n") << Com << Port << "3" << QByteArray("[REC]\nA=1\n[COM]\nPORT=3\n") << "3";
    QTest::newRow("new section after a file without final line end")
        << QByteArray("[REC]\nA=1") << Com << Port << "3" << QByteArray("[REC]\nA=1\n[COM]\nPORT=3\n") << "3";
    QTest::newRow("new section after trailing blank lines")
        << QByteArray("[REC]\nA=1\n\n") << Com << Port << "3" << QByteArray("[REC]\nA=1\n\n[COM]\nPORT=3\n") << "3";
    QTest::newRow("empty file") << QByteArray() << Com << Port << "3"
                                << "[COM]" + nl + "PORT=3" + nl << "3";
    QTest::newRow("byte-order mark kept on replace") << QByteArray("\xEF\xBB\xBF[COM]\nPORT=1\n") << Com << Port << "2"
                                                     << QByteArray("\xEF\xBB\xBF[COM]\nPORT=2\n") << "2";
    QTest::newRow("file of only a byte-order mark") << QByteArray("\xEF\xBB\xBF") << Com << Port << "3"
                                                    << "\xEF\xBB\xBF[COM]" + nl + "PORT=3" + nl << "3";
    QTest::newRow("first duplicate key replaced")
        << QByteArray("[COM]\nPORT=1\nPORT=2\n") << Com << Port << "5" << QByteArray("[COM]\nPORT=5\nPORT=2\n") << "5";
    QTest::newRow("first duplicate section gets the new key")
        << QByteArray("[COM]\nA=1\n[REC]\n[COM]\nB=2\n") << Com << Port << "3"
        << QByteArray("[COM]\nA=1\nPORT=3\n[REC]\n[COM]\nB=2\n") << "3";
    QTest::newRow("key matched ignoring case and blanks, written as given")
        << QByteArray("[Com]\n\t Port \t= 1\nX=1\n") << Com << Port << "2" << QByteArray("[Com]\nPORT=2\nX=1\n") << "2";
    QTest::newRow("value written with its blanks") << QByteArray("[REC]\nREC_TIME2=1\n") << "REC"
                                                   << "REC_TIME2"
                                                   << " 7" << QByteArray("[REC]\nREC_TIME2= 7\n") << "7";
    QTest::newRow("replaced last line without line end stays without")
        << QByteArray("[COM]\nPORT=1") << Com << Port << "2" << QByteArray("[COM]\nPORT=2") << "2";
    QTest::newRow("key before any section is not the section's")
        << QByteArray("PORT=1\n[COM]\nA=1\n") << Com << Port << "3" << QByteArray("PORT=1\n[COM]\nA=1\nPORT=3\n")
        << "3";
    QTest::newRow("line without equals is not the key")
        << QByteArray("[COM]\nPORT\n") << Com << Port << "3" << QByteArray("[COM]\nPORT\nPORT=3\n") << "3";
    QTest::newRow("header without bracket does not end the section")
        << QByteArray("[COM]\nA=1\n[REC\nPORT=1\n") << Com << Port << "3" << QByteArray("[COM]\nA=1\n[REC\nPORT=3\n")
        << "3";
    QTest::newRow("blanks of the replaced line not kept")
        << QByteArray("[COM]\n PORT = 3 \n") << Com << Port << " 3" << QByteArray("[COM]\nPORT= 3\n") << "3";
}

void TestSettings::writeChangesOnlyItsLine()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    QFETCH(QString, readBack);

    putFile(iniPath(), before);
    QVERIFY(ProfileFile::writeString(section, key, value, iniPath()));
    QCOMPARE(fileBytes(iniPath()), after);
    QCOMPARE(ProfileFile::readString(section, key, QStringLiteral("DEF"), iniPath()), readBack);
}

void TestSettings::writeCreatesNewFile()
{
    const QByteArray nl = platformLineEnd();
    QVERIFY(!QFileInfo::exists(iniPath()));
    QVERIFY(ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("3"), iniPath()));
    QVERIFY(
        ProfileFile::writeString(QStringLiteral("REC"), QStringLiteral("REC_TIME1"), QStringLiteral("5"), iniPath()));
    QVERIFY(
        ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("SPEED"), QStringLiteral("9600"), iniPath()));
    QCOMPARE(fileBytes(iniPath()),
             "[COM]" + nl + "PORT=3" + nl + "SPEED=9600" + nl + "[REC]" + nl + "REC_TIME1=5" + nl);
}

void TestSettings::writeSameKeyTwiceLeavesOneLine()
{
    putFile(iniPath(), "[REC]\nA=1\n");
    QVERIFY(ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("3"), iniPath()));
    QVERIFY(ProfileFile::writeString(QStringLiteral("com"), QStringLiteral("port"), QStringLiteral("4"), iniPath()));

    const QByteArray bytes = fileBytes(iniPath());
    QCOMPARE(bytes.toUpper().count("PORT="), 1);
    QCOMPARE(bytes.toUpper().count("[COM]"), 1);
    QCOMPARE(bytes, QByteArray("[REC]\nA=1\n[COM]\nport=4\n"));
    QCOMPARE(ProfileFile::readString(QStringLiteral("COM"), QStringLiteral("PORT"), QString(), iniPath()),
             QStringLiteral("4"));
}

void TestSettings::writeDropsLineBreaks_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("CRLF in value") << Section::Com << Key::Port << "1\r\n[EVIL]\r\nX=1"
                                   << QByteArray("[REC]\nA=1\n[COM]\nPORT=1[EVIL]X=1\n");
    QTest::newRow("LF in value") << Section::Com << Key::Port << "1\nX=1"
                                 << QByteArray("[REC]\nA=1\n[COM]\nPORT=1X=1\n");
    QTest::newRow("CR in value") << Section::Com << Key::Port << "1\rX=1"
                                 << QByteArray("[REC]\nA=1\n[COM]\nPORT=1X=1\n");
    QTest::newRow("line break in key") << Section::Com << "PO\r\nRT"
                                       << "1" << QByteArray("[REC]\nA=1\n[COM]\nPORT=1\n");
    QTest::newRow("line break in section") << "CO\nM" << Key::Port << "1" << QByteArray("[REC]\nA=1\n[COM]\nPORT=1\n");
    QTest::newRow("line break into an existing section") << "REC\n"
                                                         << "\nA"
                                                         << "2\n[X]" << QByteArray("[REC]\nA=2[X]\n");
}

void TestSettings::writeDropsLineBreaks()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    QFETCH(QString, value);

    putFile(iniPath(), "[REC]\nA=1\n");
    QVERIFY(ProfileFile::writeString(section, key, value, iniPath()));
    QCOMPARE(fileBytes(iniPath()), after);
    // Nothing in the value may have become a section or key of its own.
    QCOMPARE(ProfileFile::readString(QStringLiteral("EVIL"), QStringLiteral("X"), QStringLiteral("DEF"), iniPath()),
             QStringLiteral("DEF"));
    QCOMPARE(ProfileFile::readString(QStringLiteral("X"), QStringLiteral("A"), QStringLiteral("DEF"), iniPath()),
             QStringLiteral("DEF"));
}

void TestSettings::writeRefusesNamesThatWouldReadBackWrong_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");

    QTest::newRow("empty key") << Com << "";
    QTest::newRow("blank key") << Com << " \t ";
    QTest::newRow("key of only line breaks") << Com << "\r\n";
    QTest::newRow("key holding equals") << Com << "PO=RT";
    QTest::newRow("key looking like a section") << Com << " [PORT";
    QTest::newRow("empty section") << "" << Port;
    QTest::newRow("blank section") << "  " << Port;
    QTest::newRow("section holding closing bracket") << "CO]M" << Port;
}

void TestSettings::writeRefusesNamesThatWouldReadBackWrong()
{
    QFETCH(QString, section);
    QFETCH(QString, key);

    const QString absent = m_dir->filePath(QStringLiteral("absent.ini"));
    QVERIFY(!ProfileFile::writeString(section, key, QStringLiteral("9"), absent));
    QVERIFY(!QFileInfo::exists(absent));

    const QByteArray before = "[COM]\nPORT=1\n";
    putFile(iniPath(), before);
    QVERIFY(!ProfileFile::writeString(section, key, QStringLiteral("9"), iniPath()));
    QCOMPARE(fileBytes(iniPath()), before);
}

void TestSettings::writeToReadOnlyFileFails()
{
    const QByteArray before = "[COM]\r\nPORT=1\r\n";
    putFile(iniPath(), before);
    const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther;
    QVERIFY(QFile::setPermissions(iniPath(), readOnly));

    QVERIFY(!ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("2"), iniPath()));
    QVERIFY(!ProfileFile::writeString(QStringLiteral("NEW"), QStringLiteral("KEY"), QStringLiteral("2"), iniPath()));
    QCOMPARE(fileBytes(iniPath()), before);
    QCOMPARE(QFileInfo(iniPath()).permissions()
                 & ~QFile::Permissions(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser),
             readOnly);
}

void TestSettings::writeToUnreadableFileFails()
{
    putFile(iniPath(), "[COM]\nPORT=1\n");
    QVERIFY(QFile::setPermissions(iniPath(), QFile::WriteOwner));
    QFile probe(iniPath());
    if (probe.open(QIODevice::ReadOnly)) {
        QSKIP("this account can read any file");
    }
    // Rewriting without knowing what the file holds would throw it away.
    QVERIFY(!ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("SPEED"), QStringLiteral("1"), iniPath()));
    QVERIFY(QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(fileBytes(iniPath()), QByteArray("[COM]\nPORT=1\n"));
}

void TestSettings::writeFailsWhereFileCannotBeMade_data()
{
    QTest::addColumn<QString>("relativePath");
    QTest::newRow("folder missing") << QStringLiteral("absent/RIGDECK.INI");
    QTest::newRow("parent is a file") << QStringLiteral("plain.txt/RIGDECK.INI");
    QTest::newRow("path is a folder") << QStringLiteral("folder");
    QTest::newRow("folder read-only") << QStringLiteral("locked/RIGDECK.INI");
    QTest::newRow("empty path") << QString();
}

void TestSettings::writeFailsWhereFileCannotBeMade()
{
    QFETCH(QString, relativePath);
    const QDir dir(m_dir->path());
    QVERIFY(dir.mkdir(QStringLiteral("folder")));
    QVERIFY(dir.mkdir(QStringLiteral("locked")));
    putFile(dir.filePath(QStringLiteral("plain.txt")), "text");
    QVERIFY(QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFile::ReadOwner | QFile::ExeOwner));
    if (relativePath.startsWith(QLatin1String("locked"))) {
        QFile probe(dir.filePath(QStringLiteral("locked/probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            QSKIP("this account can write into any folder");
        }
    }

    const QString path = relativePath.isEmpty() ? QString() : dir.filePath(relativePath);
    QVERIFY(!ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("3"), path));
    QCOMPARE(fileBytes(dir.filePath(QStringLiteral("plain.txt"))), QByteArray("text"));
    QVERIFY(QFileInfo(dir.filePath(QStringLiteral("folder"))).isDir());
    QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("absent"))));
}

void TestSettings::writeGoesInPlaceInAReadOnlyFolder()
{
#ifdef Q_OS_WIN
    QSKIP("folder permissions are tried on Unix");
#else
    // A file set up writable for the operator in a folder that is not.
    const QString folder = m_dir->filePath(QStringLiteral("locked"));
    const QString file = folder + QStringLiteral("/RIGDECK.INI");
    QVERIFY(QDir().mkdir(folder));
    putFile(file, "[COM]\nPORT=1\n");
    const QFile::Permissions everyone =
        QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(file, everyone | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    QVERIFY(QFile::setPermissions(folder, everyone) && QFile::setPermissions(m_dir->path(), everyone));
    // Root writes anywhere: the writes are made as an ordinary account.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot && ::seteuid(65534) != 0) {
        QSKIP("cannot act as another account");
    }
    const bool stored =
        ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("2"), file)
        && ProfileFile::writeString(QStringLiteral("REC"), Key::recTime(0), QStringLiteral(" 7"), file);
    QVERIFY(!asRoot || ::seteuid(0) == 0);
    QVERIFY(stored);
    QCOMPARE(fileBytes(file), QByteArray("[COM]\nPORT=2\n[REC]\nREC_TIME0= 7\n"));
    QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("RIGDECK.INI")});
#endif
}

void TestSettings::writeLeavesNoStrayFiles()
{
    for (int i = 0; i < 5; ++i) {
        QVERIFY(ProfileFile::writeString(QStringLiteral("REC"), Key::recTime(i), QString::number(i), iniPath()));
    }
    const QStringList entries = QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(entries, QStringList{QStringLiteral("RIGDECK.INI")});
}

void TestSettings::writeKeepsFilePermissions()
{
#ifdef Q_OS_WIN
    QSKIP("owner/group/other permissions are a Unix matter");
#else
    putFile(iniPath(), "[COM]\nPORT=1\n");
    const QFile::Permissions chosen = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(iniPath(), chosen));
    QVERIFY(ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("2"), iniPath()));
    const QFile::Permissions userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser;
    QCOMPARE(QFileInfo(iniPath()).permissions() & ~userBits, chosen);
    QCOMPARE(fileBytes(iniPath()), QByteArray("[COM]\nPORT=2\n"));
#endif
}

void TestSettings::writersOfDifferentKeysKeepBoth()
{
    // Each write reads the file afresh, so an earlier writer's key survives a later one.
    QVERIFY(ProfileFile::writeString(QStringLiteral("COM"), QStringLiteral("PORT"), QStringLiteral("3"), iniPath()));
    putFile(iniPath(), fileBytes(iniPath()) + "; added by another program\n[OTHER]\nX=1\n");
    QVERIFY(
        ProfileFile::writeString(QStringLiteral("REC"), QStringLiteral("REC_TIME1"), QStringLiteral("5"), iniPath()));
    QCOMPARE(ProfileFile::readString(QStringLiteral("COM"), QStringLiteral("PORT"), QString(), iniPath()),
             QStringLiteral("3"));
    QCOMPARE(ProfileFile::readString(QStringLiteral("OTHER"), QStringLiteral("X"), QString(), iniPath()),
             QStringLiteral("1"));
    QCOMPARE(ProfileFile::readString(QStringLiteral("REC"), QStringLiteral("REC_TIME1"), QString(), iniPath()),
             QStringLiteral("5"));
    QVERIFY(fileBytes(iniPath()).contains("; added by another program\n"));
}

void TestSettings::writerKilledMidWriteLeavesAWholeFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs fork() to kill a writer at an arbitrary moment");
#else
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("RIGDECK.INI"));
    // Large enough that a write takes a while, so the kills land inside it.
    QByteArray original = "[VOICE]\nCOMMENT0=keep me\n";
    for (int i = 0; i < 20000; ++i) {
        original += "; padding line " + QByteArray::number(i) + "\n";
    }
    original += "[REC]\nREC_TIME0= 1\n";
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();
    const QByteArray withA = QByteArray(original).replace("REC_TIME0= 1", "REC_TIME0= 7");
    const QByteArray withB = QByteArray(original).replace("REC_TIME0= 1", "REC_TIME0= 9");

    auto *random = QRandomGenerator::global();
    for (int round = 0; round < 25; ++round) {
        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            for (int i = 0;; ++i) {
                WriteSetting(i % 2 ? QStringLiteral(" 9") : QStringLiteral(" 7"), Key::recTime(0), Section::Rec, path);
            }
        }
        ::usleep(useconds_t(random->bounded(1000, 30000)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        QFile after(path);
        QVERIFY(after.open(QIODevice::ReadOnly));
        const QByteArray contents = after.readAll();
        QVERIFY2(contents == original || contents == withA || contents == withB,
                 qPrintable(QStringLiteral("round %1: %2 bytes").arg(round).arg(contents.size())));
    }
    QCOMPARE(ReadSetting(Key::comment(0), Section::Voice, path), QStringLiteral("keep me"));
#endif
}

void TestSettings::concurrentWritersKeepAllKeys_data()
{
    // Each writer's path, and the links made first: name, then what it names.
    QTest::addColumn<QString>("firstPath");
    QTest::addColumn<QString>("secondPath");
    QTest::addColumn<QStringList>("links");
    QTest::addColumn<bool>("fileExists");

    QTest::newRow("one path") << "RIGDECK.INI"
                              << "RIGDECK.INI" << QStringList() << false;
#ifdef Q_OS_UNIX
    QTest::newRow("two links to the file")
        << "one.ini"
        << "two.ini" << QStringList{"one.ini", "RIGDECK.INI", "two.ini", "RIGDECK.INI"} << true;
    QTest::newRow("the file and a chain of links to it")
        << "RIGDECK.INI"
        << "far.ini" << QStringList{"near.ini", "RIGDECK.INI", "far.ini", "near.ini"} << true;
    QTest::newRow("links to the folder") << "a/RIGDECK.INI"
                                         << "b/RIGDECK.INI" << QStringList{"a", ".", "b", "."} << true;
    QTest::newRow("a link through a linked folder")
        << "one.ini"
        << "a/two.ini" << QStringList{"one.ini", "RIGDECK.INI", "a", ".", "two.ini", "RIGDECK.INI"} << true;
    QTest::newRow("two links to a file not made yet")
        << "one.ini"
        << "two.ini" << QStringList{"one.ini", "RIGDECK.INI", "two.ini", "RIGDECK.INI"} << false;
#endif
}

void TestSettings::concurrentWritersKeepAllKeys()
{
    QFETCH(QString, firstPath);
    QFETCH(QString, secondPath);
    QFETCH(QStringList, links);
    QFETCH(bool, fileExists);
    const QDir dir(m_dir->path());
    if (fileExists) {
        putFile(iniPath(), "[OTHER]\nX=1\n");
    }
    for (qsizetype i = 0; i + 1 < links.size(); i += 2) {
        QVERIFY(QFile::link(links[i + 1], dir.filePath(links[i])));
    }

    constexpr int KeysPerWriter = 60;
    QAtomicInt failures;
    auto writer = [&failures](const QString &path, const QString &section) {
        for (int i = 0; i < KeysPerWriter; ++i) {
            if (!ProfileFile::writeString(section, QStringLiteral("K%1").arg(i), QString::number(i), path)) {
                failures.ref();
            }
        }
    };
    std::unique_ptr<QThread> first(QThread::create(writer, dir.filePath(firstPath), QStringLiteral("FIRST")));
    std::unique_ptr<QThread> second(QThread::create(writer, dir.filePath(secondPath), QStringLiteral("SECOND")));
    first->start();
    second->start();
    QVERIFY(first->wait());
    QVERIFY(second->wait());

    QCOMPARE(failures.loadRelaxed(), 0);
    int kept = 0;
    for (const QString &section : {QStringLiteral("FIRST"), QStringLiteral("SECOND")}) {
        for (int i = 0; i < KeysPerWriter; ++i) {
            kept += ProfileFile::readString(section, QStringLiteral("K%1").arg(i), QStringLiteral("lost"), iniPath())
                    == QString::number(i);
        }
    }
    QCOMPARE(kept, 2 * KeysPerWriter);
    // The links are still links: the file they name was written, not they.
    for (qsizetype i = 0; i + 1 < links.size(); i += 2) {
        QVERIFY2(QFileInfo(dir.filePath(links[i])).isSymLink(), qPrintable(links[i]));
    }
}

// A lock left by a writer that is gone, or held by one that is stuck, must
// not freeze the window; a value that cannot be stored is reported.
void TestSettings::writeWaitsForALockOnlyBriefly_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("stored");
    QTest::newRow("lock file left behind by another program") << "old foreign lock" << true;
    QTest::newRow("lock file left behind by a writer still running") << "old live lock" << true;
    QTest::newRow("lock held by a writer that does not finish") << "held lock" << false;
    QTest::newRow("file that may not be written") << "read-only file" << false;
}

void TestSettings::writeWaitsForALockOnlyBriefly()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, stored);
    const QString lockPath = iniPath() + QStringLiteral(".lock");
    putFile(iniPath(), "[COM]\nPORT=1\n");

    auto ageFile = [](const QString &path) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-10), QFileDevice::FileModificationTime));
    };
    QLockFile holder(lockPath);
    if (obstacle == QLatin1String("old foreign lock")) {
        putFile(lockPath, "locked by another program\n");
        ageFile(lockPath);
    } else if (obstacle == QLatin1String("old live lock")) {
        // Our own process is alive: only the lock's age tells that it is stuck.
        QVERIFY(holder.lock());
        const QByteArray info = fileBytes(lockPath);
        holder.unlock();
        putFile(lockPath, info);
        ageFile(lockPath);
    } else if (obstacle == QLatin1String("held lock")) {
        QVERIFY(holder.lock());
    } else {
        QVERIFY(QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    }

    if (!stored) {
        QTest::ignoreMessage(QtWarningMsg,
                             QRegularExpression(QStringLiteral("could not store PORT .*COM.*")
                                                + QRegularExpression::escape(QDir::toNativeSeparators(iniPath()))));
    }
    QCOMPARE(WriteSetting(QStringLiteral("2"), Key::Port, Section::Com, iniPath()), stored);
    QCOMPARE(ReadSetting(Key::Port, Section::Com, iniPath()), stored ? QStringLiteral("2") : QStringLiteral("1"));
}

// ---------------------------------------------------------------- program settings

void TestSettings::keyNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("record time 1") << Key::recTime(1) << "REC_TIME1";
    QTest::newRow("record time 2") << Key::recTime(2) << "REC_TIME2";
    QTest::newRow("comment 3") << Key::comment(3) << "COMMENT3";
    QTest::newRow("port") << Key::Port << "PORT";
    QTest::newRow("voice section") << Section::Voice << "VOICE";
}

void TestSettings::keyNames()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(name, expected);
}

void TestSettings::settingMissingReadsError()
{
    QCOMPARE(ReadSetting(Key::Port, Section::Com, SettingsFilePath()), QStringLiteral("ERROR"));
    putFile(iniPath(), "[COM]\nSPEED=1\n[REC]\nPORT=1\n");
    QCOMPARE(ReadSetting(Key::Port, Section::Com, SettingsFilePath()), SettingMissing);
    QVERIFY(WriteSetting(QStringLiteral("7"), Key::Port, Section::Com, SettingsFilePath()));
    QCOMPARE(ReadSetting(Key::Port, Section::Com, SettingsFilePath()), QStringLiteral("7"));
    QVERIFY(WriteSetting(QString(), Key::Port, Section::Com, SettingsFilePath()));
    QCOMPARE(ReadSetting(Key::Port, Section::Com, SettingsFilePath()), QString(""));
}

void TestSettings::recTimeWithLeadingBlankReadsTrimmed()
{
    QVERIFY(WriteSetting(QStringLiteral(" 7"), Key::recTime(2), Section::Rec, SettingsFilePath()));
    QVERIFY(fileBytes(iniPath()).contains("REC_TIME2= 7" + platformLineEnd()));
    QCOMPARE(ReadSetting(Key::recTime(2), Section::Rec, SettingsFilePath()), QStringLiteral("7"));
}

void TestSettings::longJapaneseCommentIsCut()
{
    if (!localTextIsUtf8()) {
        QSKIP("byte counts here are those of UTF-8");
    }
    const QString comment = QStringLiteral("あ").repeated(100);
    QVERIFY(WriteSetting(comment, Key::comment(1), Section::Voice, SettingsFilePath()));
    // The whole comment is stored; only reading is limited.
    QVERIFY(fileBytes(iniPath()).contains("COMMENT1=" + comment.toUtf8()));
    const QString read = ReadSetting(Key::comment(1), Section::Voice, SettingsFilePath());
    QCOMPARE(read.size(), 84);
    QCOMPARE(read.toUtf8().size(), 252);
    QCOMPARE(read, comment.left(84));
}

void TestSettings::commentKeepsTheSystemCodePage_data()
{
    QTest::addColumn<QString>("comment");
    QTest::addColumn<QByteArray>("shiftJis");
    QTest::newRow("full-width letters, kana and kanji")
        << QStringLiteral("ＣＱ コンテスト呼び出し")
        << QByteArrayLiteral(
               "\x82\x62\x82\x70\x20\x83\x52\x83\x93\x83\x65\x83\x58\x83\x67\x8C\xC4\x82\xD1\x8F\x6F\x82\xB5");
    // 表 and ソ end in the byte of a backslash.
    QTest::newRow("trail bytes that look like a backslash")
        << QStringLiteral("表示ソフト") << QByteArrayLiteral("\x95\x5C\x8E\xA6\x83\x5C\x83\x74\x83\x67");
    QTest::newRow("half-width katakana") << QStringLiteral("ｺﾝﾃｽﾄ") << QByteArrayLiteral("\xBA\xDD\xC3\xBD\xC4");
}

void TestSettings::commentKeepsTheSystemCodePage()
{
    // A Japanese Windows stores Shift_JIS (code page 932), a UTF-8 system UTF-8.
    QFETCH(QString, comment);
    QFETCH(QByteArray, shiftJis);
    QByteArray stored;
    if (QStringLiteral("あ").toLocal8Bit() == QByteArrayLiteral("\x82\xA0")) {
        stored = shiftJis;
    } else if (localTextIsUtf8()) {
        stored = comment.toUtf8();
    } else {
        QSKIP("the system's narrow code page has no Japanese");
    }
    const QByteArray nl = platformLineEnd();
    QVERIFY(WriteSetting(comment, Key::comment(0), Section::Voice, SettingsFilePath()));
    QCOMPARE(fileBytes(iniPath()), "[VOICE]" + nl + "COMMENT0=" + stored + nl);
    QCOMPARE(ReadSetting(Key::comment(0), Section::Voice, SettingsFilePath()), comment);
    // A file written by another program in the same code page reads the same.
    putFile(iniPath(), "[VOICE]\r\nCOMMENT1=" + stored + "\r\n");
    QCOMPARE(ReadSetting(Key::comment(1), Section::Voice, SettingsFilePath()), comment);
}

void TestSettings::settingsFilePathHonoursEnvironment()
{
    const QString chosen = m_dir->filePath(QStringLiteral("setups/second.ini"));
    qputenv("RIGDECK_INI", chosen.toLocal8Bit());
    QCOMPARE(SettingsFilePath(), chosen);

    QVERIFY(WriteSetting(QStringLiteral("4"), Key::Port, Section::Com, SettingsFilePath()));
    QVERIFY(QFileInfo::exists(chosen));
    QCOMPARE(ReadSetting(Key::Port, Section::Com, chosen), QStringLiteral("4"));

    // Computed afresh: a changed variable is seen by the next call.
    qputenv("RIGDECK_INI", iniPath().toLocal8Bit());
    QCOMPARE(SettingsFilePath(), iniPath());
    QCOMPARE(ReadSetting(Key::Port, Section::Com, SettingsFilePath()), SettingMissing);
}

void TestSettings::settingsFilePathBesideProgram()
{
    qunsetenv("RIGDECK_INI");
    const QString programFolder = QCoreApplication::applicationDirPath();
    const QString besideProgram = QDir(programFolder).filePath(QStringLiteral("RIGDECK.INI"));
    const QString perUser = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
                                .filePath(QStringLiteral("rigdeck/RIGDECK.INI"));
    const QString path = SettingsFilePath();
    QVERIFY2(path == besideProgram || path == perUser, qPrintable(path));
    if (QFileInfo(programFolder).isWritable()) {
        QCOMPARE(path, besideProgram);
    }
    // An empty variable counts as not set.
    qputenv("RIGDECK_INI", QByteArray());
    QCOMPARE(SettingsFilePath(), path);
}

void TestSettings::bareFileNameMeansSettingsFolder()
{
    QVERIFY(WriteSetting(QStringLiteral("5"), Key::Port, Section::Com, QString::fromLatin1(SettingsFileName)));
    QCOMPARE(fileBytes(iniPath()), "[COM]" + platformLineEnd() + "PORT=5" + platformLineEnd());
    QCOMPARE(ReadSetting(Key::Port, Section::Com, QString::fromLatin1(SettingsFileName)), QStringLiteral("5"));

    QVERIFY(WriteSetting(QStringLiteral("6"), Key::Port, Section::Com, QStringLiteral("OTHER.INI")));
    QCOMPARE(ProfileFile::readString(Section::Com, Key::Port, QString(), m_dir->filePath(QStringLiteral("OTHER.INI"))),
             QStringLiteral("6"));
    QCOMPARE(ReadSetting(Key::Port, Section::Com, QString::fromLatin1(SettingsFileName)), QStringLiteral("5"));
}

void TestSettings::writeSettingCreatesFolder()
{
    const QString nested = m_dir->filePath(QStringLiteral("config/rigdeck/RIGDECK.INI"));
    qputenv("RIGDECK_INI", nested.toLocal8Bit());
    QVERIFY(WriteSetting(QStringLiteral("3"), Key::Port, Section::Com, SettingsFilePath()));
    QVERIFY(QFileInfo(nested).isFile());
    QCOMPARE(ReadSetting(Key::Port, Section::Com, SettingsFilePath()), QStringLiteral("3"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
