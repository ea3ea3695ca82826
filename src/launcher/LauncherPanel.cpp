// SPDX-License-Identifier: GPL-3.0-or-later
#include "launcher/LauncherPanel.h"

#include "ui/Accessibility.h"
#include "ui/MessageBox.h"
#include "ui/Twips.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>

LauncherPanel::LauncherPanel(QWidget *window)
    : QObject(window)
{
    m_frame12 = new QGroupBox(tr("WAVESCOPEの起動"), window);
    m_frame12->setObjectName(QStringLiteral("Frame12"));
    m_frame12->setGeometry(twips(180, 3720, 2010, 615));
    Accessibility::nameAfterTitle(m_frame12);

    m_command15 = new QPushButton(tr("起動"), m_frame12);
    m_command15->setObjectName(QStringLiteral("Command15"));
    m_command15->setToolTip(tr("サウンドボードに入力されている信号をＦＦＴ変換およびウォータフォール波形で表示する"));
    m_command15->setGeometry(10, 14, 80, 23);
    connect(m_command15, &QPushButton::clicked, this, &LauncherPanel::Command15_Click);
    Accessibility::describe(m_command15, tr("WAVESCOPE 起動"), tr("WAVESCOPE を起動します。"));
}

void LauncherPanel::Command15_Click()
{
    const QString folder = m_programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : m_programFolder;
    // Beside our own executable first, then wherever the system looks for
    // programs. Started directly, never through a shell, with no arguments.
    QString program = QDir(folder).filePath(CompanionProgram);
    if (!QFileInfo(program).isFile()) {
#ifdef Q_OS_WIN
        // The bare name: Windows itself searches this program's folder, the
        // current folder, the system folders and then PATH.
        program = CompanionProgram;
#else
        program = QStandardPaths::findExecutable(CompanionProgram);
#endif
    }
    // It gets nothing from us, not even a working folder: it starts in ours.
    if (program.isEmpty() || !QProcess::startDetached(program, QStringList())) {
        ShowMessage(tr(CompanionMissingText));
    }
}
