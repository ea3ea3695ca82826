// SPDX-License-Identifier: GPL-3.0-or-later
// The WAVESCOPE button: it starts the companion from the program's folder or
// the search path, once per click, and says so once per click when the
// companion is nowhere to be found.
#include "keyer/KeyerPanel.h"
#include "launcher/LauncherPanel.h"
#include "support/EnvironmentOverride.h"
#include "support/RadioRig.h"
#include "support/Rows.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {
bool installStandIn(const QString &folder)
{
    const QString source = QStringLiteral(RIGDECK_COMPANION_STANDIN);
    const QString target = QDir(folder).filePath(CompanionProgram);
    return QFile::copy(source, target) && QFile::setPermissions(target, QFile::permissions(source));
}

QStringList linesOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromLocal8Bit(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
} // namespace

class LauncherTest : public QObject
{
    Q_OBJECT

private slots:
    void startsTheCompanionOncePerClick_data()
    {
        addFlagRows("besideTheProgram", "companion beside the program", true, "companion on the search path only");
    }

    void startsTheCompanionOncePerClick()
    {
        QFETCH(bool, besideTheProgram);
        QTemporaryDir programFolder, searchFolder, logFolder, currentFolder;
        QVERIFY(installStandIn(besideTheProgram ? programFolder.path() : searchFolder.path()));
        const QString wasCurrent = QDir::currentPath();
        QDir::setCurrent(currentFolder.path());
        const auto restoreCurrent = qScopeGuard([&wasCurrent] { QDir::setCurrent(wasCurrent); });
        const QString log = logFolder.filePath(QStringLiteral("starts.log"));
        const EnvironmentOverride searchPath("PATH", QFile::encodeName(searchFolder.path()));
        const EnvironmentOverride logPath("RIGDECK_COMPANION_LOG", QFile::encodeName(log));

        RadioRig rig;
        Form1 &w = rig.startShown();
        w.launcher().setProgramFolder(programFolder.path());
        QTest::mouseClick(w.launcher().Command15(), Qt::LeftButton);
        QTest::mouseClick(w.launcher().Command15(), Qt::LeftButton);

        // Each instance writes the folder it was started in: the one RIGDECK
        // runs in, as it hands the companion nothing.
        const QString startedIn = QFileInfo(currentFolder.path()).canonicalFilePath();
        QTRY_COMPARE_WITH_TIMEOUT(linesOf(log), (QStringList{startedIn, startedIn}), 20000);
        QVERIFY(rig.messages().messages().isEmpty());
    }

    void missingCompanionIsReportedOncePerClick()
    {
        QTemporaryDir programFolder, searchFolder;
        const EnvironmentOverride searchPath("PATH", QFile::encodeName(searchFolder.path()));

        RadioRig rig;
        Form1 &w = rig.startShown();
        w.launcher().setProgramFolder(programFolder.path());

        QTest::mouseClick(w.launcher().Command15(), Qt::LeftButton);
        QCOMPARE(rig.messages().messages(), QStringList{CompanionMissingMessage});
        QTest::mouseClick(w.launcher().Command15(), Qt::LeftButton);
        QCOMPARE(rig.messages().messages(), (QStringList{CompanionMissingMessage, CompanionMissingMessage}));
        // The radio hears nothing of it: the next command after start-up's
        // queries is the one clicked now.
        w.keyer().Command2_Click(0);
        QTRY_COMPARE(rig.radio().commands(),
                     (QByteArrayList{"KM1;", "KM2;", "KM3;", "KM4;", "KM5;", "BI;", "MD0;", "KS;", "KY1;"}));
    }
};

QTEST_MAIN(LauncherTest)
#include "tst_launcher.moc"
