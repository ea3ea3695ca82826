// SPDX-License-Identifier: GPL-3.0-or-later
// The program as started from a shell: its command line, its environment,
// and where its output goes. The real rigdeck runs offscreen against the
// simulated radio on a pseudo-terminal.
#include "sim/Ft2000Model.h"
#include "sim-server/PtyRadio.h"
#include "support/ProgramLauncher.h"
#include "support/RadioRig.h"
#include "support/Rows.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

class CommandLineTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        QVERIFY2(QFileInfo(qEnvironmentVariable("RIGDECK_BIN")).isExecutable(), "RIGDECK_BIN names no program");
        QVERIFY(m_dir.isValid());
    }

    // A settings file named relative to the current folder is found there,
    // as a trace file is, not beside the program.
    void relativeSettingsFileIsInTheCurrentFolder_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("variable");
        QTest::addColumn<QString>("file");
        QTest::newRow("--ini with a bare name") << QStringList{"--ini", "my.ini"} << QString() << "my.ini";
        QTest::newRow("--ini with a folder") << QStringList{"--ini", "setups/my.ini"} << QString() << "setups/my.ini";
        QTest::newRow("RIGDECK_INI with a bare name") << QStringList() << "my.ini"
                                                      << "my.ini";
    }

    void relativeSettingsFileIsInTheCurrentFolder()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, variable);
        QFETCH(QString, file);
        QTemporaryDir folder(m_dir.filePath(QStringLiteral("cwd-XXXXXX")));
        QVERIFY(QDir(folder.path()).mkpath(QStringLiteral("setups")));
        QFile settings(QDir(folder.path()).filePath(file));
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write("[COM]\nPORT=3,19200\n");
        settings.close();

        // Only the file names port 3; port 1, the default, leads nowhere.
        Ft2000Model model;
        PtyRadio radio(model);
        QVERIFY(radio.open());
        QHash<QString, QString> environment{{"RIGDECK_COM3", radio.devicePath()},
                                            {"RIGDECK_COM1", folder.filePath(QStringLiteral("no-such-port"))}};
        if (!variable.isEmpty()) {
            environment.insert(QStringLiteral("RIGDECK_INI"), variable);
        }
        ProgramLauncher program;
        QVERIFY(program.start(arguments, environment, folder.path()));
        QTRY_COMPARE_WITH_TIMEOUT(radio.commands(), StartupQueries, 20000);
    }

    // --help and --version answer on a console with no display, in the
    // language the option, RIGDECK_LANGUAGE or the system's languages choose.
    void answersWithoutDisplayInTheChosenLanguage_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("answer");
        const QString ja = QStringLiteral("^使い方: rigdeck "), en = QStringLiteral("^Usage: rigdeck ");
        const QString help = QStringLiteral("--help");
        QTest::newRow("Japanese system") << help << "LANG=ja_JP.UTF-8" << 0 << ja;
        QTest::newRow("English system") << help << "LANG=en_US.UTF-8" << 0 << en;
        QTest::newRow("German system: English") << help << "LANG=de_DE.UTF-8" << 0 << en;
        QTest::newRow("first language it has") << help << "LANGUAGE=de:ja LC_ALL=de_DE.UTF-8" << 0 << ja;
        QTest::newRow("C locale") << help << "LANG=C" << 0 << ja;
        QTest::newRow("option en") << QStringLiteral("--language en -h") << "LANG=ja_JP.UTF-8" << 0 << en;
        QTest::newRow("variable en") << help << "RIGDECK_LANGUAGE=en LANG=C" << 0 << en;
        QTest::newRow("option over variable")
            << QStringLiteral("--help --language=ja") << "RIGDECK_LANGUAGE=en" << 0 << ja;
        QTest::newRow("variable naming none")
            << help << "RIGDECK_LANGUAGE=xx LANG=en_GB.UTF-8" << 0 << "names no language[^\\n]*\\nUsage: rigdeck ";
        QTest::newRow("version") << QStringLiteral("--version") << QString() << 0 << "^rigdeck 1\\.00\\n$";
        QTest::newRow("language it has not")
            << QStringLiteral("--language fr") << "LANG=en_US.UTF-8" << 1 << "^rigdeck: RIGDECK has no language fr";
    }

    void answersWithoutDisplayInTheChosenLanguage()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, environment);
        QFETCH(int, status);
        QFETCH(QString, answer);
        QHash<QString, QString> variables{
            {"QT_QPA_PLATFORM", "xcb"}, {"DISPLAY", ""},  {"WAYLAND_DISPLAY", ""}, {"LANG", ""}, {"LC_ALL", ""},
            {"LC_MESSAGES", ""},        {"LANGUAGE", ""}, {"RIGDECK_LANGUAGE", ""}};
        for (const QString &variable : environment.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            variables.insert(variable.section(QLatin1Char('='), 0, 0), variable.section(QLatin1Char('='), 1));
        }
        ProgramLauncher program;
        QVERIFY(program.start(arguments.split(QLatin1Char(' ')), variables, m_dir.path()));
        QVERIFY(program.process().waitForFinished(20000));
        QCOMPARE(program.process().exitCode(), status);
        const QString output =
            QString::fromUtf8(program.process().readAllStandardError() + program.process().readAll());
        QVERIFY2(QRegularExpression(answer).match(output).hasMatch(), qPrintable(output));
    }

    // A trace can neither hold up nor end the program: it warns once on
    // stderr and the program goes on without it.
    void traceNeverStopsTheProgram_data()
    {
        addFlagRows("readerComes", "FIFO that nobody reads", false, "reader that goes away");
    }

    void traceNeverStopsTheProgram()
    {
        QFETCH(bool, readerComes);
        QTemporaryDir folder(m_dir.filePath(QStringLiteral("trace-XXXXXX")));
        const QString fifo = folder.filePath(QStringLiteral("trace"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        int reader = -1;
        if (readerComes) {
            reader = ::open(QFile::encodeName(fifo).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
            QVERIFY(reader >= 0);
        }

        Ft2000Model model;
        PtyRadio radio(model);
        QVERIFY(radio.open());
        // Time for the reader to leave between a query and its answer.
        radio.setReplyDelay(readerComes ? 400 : 0);
        ProgramLauncher program;
        QVERIFY(program.start(
            {QStringLiteral("--trace"), fifo},
            {{"RIGDECK_COM1", radio.devicePath()}, {"RIGDECK_INI", folder.filePath(QStringLiteral("rigdeck.ini"))}},
            folder.path()));
        if (readerComes) {
            QTRY_VERIFY_WITH_TIMEOUT(radio.commands().contains("KM1;"), 20000);
            ::close(reader);
        }
        QTRY_COMPARE_WITH_TIMEOUT(radio.commands(), StartupQueries, 20000);
        // The answer to the last query has been traced, or tried to be.
        QTest::qWait(300);
        QCOMPARE(program.process().state(), QProcess::Running);
        const QList<QByteArray> lines = program.process().readAllStandardError().split('\n');
        const auto aboutTrace =
            std::count_if(lines.begin(), lines.end(), [](const QByteArray &line) { return line.contains("trace"); });
        QCOMPARE(aboutTrace, 1);
    }
};

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
