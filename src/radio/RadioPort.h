// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Line.h"

#include <QList>
#include <QTimer>

#include <chrono>
#include <memory>

// The port the program opens: the line its device names, picked each time
// the port is opened (a serial device, or one of the schemes of LineSettings).
//
// Commands leave in the order they were given, each within CommandDeadline
// of being given or not at all: a keyer message that goes on the air long
// after the operator pressed its key is a wrong transmission. They wait
// while the line is busy with a request to a server, or while a line that
// failed is being brought back; the line is tried again in the background,
// ever less often, and at once when a command comes. A line that never
// opened stays closed.
class RadioPort : public Line
{
    Q_OBJECT
public:
    // The program's own response time.
    static constexpr std::chrono::milliseconds CommandDeadline{5000};
    // Waits between attempts to bring a line back: the first, then doubled
    // up to the longest.
    static constexpr std::chrono::milliseconds FirstRetry{1000};
    static constexpr std::chrono::milliseconds LongestRetry{5000};
    // While commands wait, a failed attempt is followed soon by the next:
    // the server may have come back while it was under way (a refused
    // connection takes Windows about two seconds to report).
    static constexpr std::chrono::milliseconds WaitingRetry{200};
    // Commands waiting beyond this are dropped at once.
    static constexpr qsizetype MaxWaiting = 64;

    explicit RadioPort(QObject *parent = nullptr);
    ~RadioPort() override;

    bool portOpen() const override;
    void close() override;
    State state() const override { return m_state; }
    bool output(const QByteArray &data) override;
    bool outputQuery(const QByteArray &data) override;
    bool input(QByteArray &data) override;
    bool readyToSend() const override;

    // Tests shorten the deadline; the program always uses CommandDeadline.
    void setCommandDeadline(std::chrono::milliseconds deadline) { m_commandDeadline = deadline; }

protected:
    bool openLine() override;

private:
    struct Waiting {
        QByteArray command;
        bool query = false;
        QDeadlineTimer sendBy;
    };

    bool enqueue(const QByteArray &command, bool query);
    void sendWaiting();
    void dropExpired();
    void onLineFailed(const QString &reason);
    void tryAgain();
    void onReopened(bool ok);
    void retryLater();
    void setState(State state, const QString &reason);

    std::unique_ptr<Line> m_line;
    State m_state = State::Closed;
    QList<Waiting> m_waiting;
    QTimer m_expiry;
    QTimer m_retry;
    std::chrono::milliseconds m_commandDeadline = CommandDeadline;
    std::chrono::milliseconds m_retryWait = FirstRetry;
    bool m_reopening = false;
    // Set while a command is handed to the line: a refusal it reports then
    // is ours to handle, the command waits for the line to come back.
    bool m_handing = false;
};
