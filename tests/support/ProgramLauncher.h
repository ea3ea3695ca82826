// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QProcess>
#include <QStringList>

#include <chrono>
#include <functional>

// The real rigdeck started as from a shell: offscreen, with this process's
// environment less RIGDECK_INI plus the variables given, in the folder given;
// ended when the object goes.
class ProgramLauncher
{
public:
    using Clock = std::chrono::steady_clock;

    // The built program: the one RIGDECK_BIN names unless another is given.
    explicit ProgramLauncher(const QString &program = QString());
    ~ProgramLauncher();
    ProgramLauncher(const ProgramLauncher &) = delete;
    ProgramLauncher &operator=(const ProgramLauncher &) = delete;

    // Both output streams appended to this file instead of read here.
    void setOutputFile(const QString &path);
    bool start(const QStringList &arguments, const QHash<QString, QString> &variables,
               const QString &folder = QString());
    // Runs this thread's events until ready() holds; false if the program
    // ended or the time ran out first.
    bool waitUntil(const std::function<bool()> &ready, std::chrono::milliseconds timeout);
    bool running() const { return m_process.state() == QProcess::Running; }
    // Ends it at once.
    void stop();

    QProcess &process() { return m_process; }
    qint64 pid() const { return m_process.processId(); }
    // Just before it was started.
    Clock::time_point started() const { return m_started; }

private:
    QString m_program;
    QProcess m_process;
    Clock::time_point m_started;
};
