// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/ProgramLauncher.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <csignal>
#endif

using namespace std::chrono_literals;

ProgramLauncher::ProgramLauncher(const QString &program)
    : m_program(program.isEmpty() ? qEnvironmentVariable("RIGDECK_BIN") : program)
{
}

ProgramLauncher::~ProgramLauncher()
{
    stop();
}

void ProgramLauncher::setOutputFile(const QString &path)
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(path, QIODevice::Append);
}

bool ProgramLauncher::start(const QStringList &arguments, const QHash<QString, QString> &variables,
                            const QString &folder)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.remove(QStringLiteral("RIGDECK_INI"));
    for (auto it = variables.begin(); it != variables.end(); ++it) {
        environment.insert(it.key(), it.value());
    }
    m_process.setProcessEnvironment(environment);
    m_process.setWorkingDirectory(folder);
    m_process.setProgram(m_program);
    m_process.setArguments(arguments);
#ifdef Q_OS_UNIX
    // As from a shell: a write to a pipe nobody reads ends the program
    // unless the program itself sees to it (a test process ignores the
    // signal, and the program would inherit that).
    m_process.setChildProcessModifier([] { ::signal(SIGPIPE, SIG_DFL); });
#endif
    m_started = Clock::now();
    m_process.start();
    return m_process.waitForStarted();
}

bool ProgramLauncher::waitUntil(const std::function<bool()> &ready, std::chrono::milliseconds timeout)
{
    const QDeadlineTimer deadline(timeout);
    while (!ready()) {
        if (deadline.hasExpired() || !running()) {
            return ready();
        }
        QEventLoop pause;
        QTimer::singleShot(5ms, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return true;
}

void ProgramLauncher::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}
