// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Line.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

// The one road to the radio: every command leaves through SendCommand, every
// reply arrives through ReadResponse, and start-up asks its questions through
// Query.
class RadioLink : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds ResponseTime{5000};
    static constexpr std::chrono::milliseconds PollPause{1};
    // The longest real reply is under 64 bytes; a reply that never ends keeps
    // only its newest bytes while the wait runs out.
    static constexpr qsizetype MaxReplyBytes = 4096;

    enum class QueryResult { Answered, TimedOut, LineFailed };

    explicit RadioLink(Line &port, QObject *parent = nullptr);

    // What the radio's language says about a query's answer: the pause it
    // needs before the wait begins, and which complete messages on the line
    // (another command's, an echo) are not the answer. Set by the radio.
    struct AnswerRules {
        std::chrono::milliseconds pause{0};
        bool (*isNotTheAnswer)(const QByteArray &message, const QByteArray &query) = nullptr;
    };
    void setAnswerRules(const AnswerRules &rules) { m_answerRules = rules; }

    // Writes the command, unchanged and in one piece, when the port is open;
    // drops it silently otherwise. False only when the line failed the write.
    bool SendCommand(const QString &command);

    // Waits for a reply that contains ";" under the response timer. On a
    // time-out noResponse() has been raised (the window shows its message)
    // and ResponseTimedOut() is 1. False when the line failed while reading.
    bool ReadResponse(QString &reply);

    // One start-up question: whatever already waits on the line is thrown
    // away, the query is sent, and after the pause its answer is read. While
    // waiting, complete messages that are not the answer (a dial report, an
    // echo) are skipped, and the answer ends at its ";".
    QueryResult Query(const QString &query, QString &reply);

    int ResponseTimedOut() const { return m_responseTimedOut; }
    QTimer &Timer1() { return m_timer1; }

    void Timer1_Timer();
    void MSComm1_OnComm();

    // Tests shorten the wait; the program always uses ResponseTime.
    void setResponseTime(std::chrono::milliseconds time) { m_timer1.setInterval(time); }

    // Start-up could not show the answer to query; why, for the trace.
    void reportQueryFailure(const QString &query, const QString &why);

signals:
    // No reply came within the response time: the owner tells the operator,
    // and the wait ends once that is done.
    void noResponse();
    // For a trace of the traffic and the window's status: a command that
    // left on the line, one that was dropped or refused by a server, a reply
    // as it is returned, a message of another command (or the echo of the
    // query) skipped while waiting, the line going down or coming back, and
    // a start-up query that failed.
    void commandSent(const QByteArray &command);
    void commandDropped(const QByteArray &command, Line::DropReason reason);
    void commandRefused(const QByteArray &command, const QByteArray &answer);
    void replyReceived(const QByteArray &reply);
    void messageSkipped(const QByteArray &message);
    void lineStateChanged(Line::State state, const QString &reason);
    void queryFailed(const QByteArray &query, const QString &why);

private:
    bool write(const QString &command, bool query);
    bool waitForReply(QString &reply, const QByteArray &query);
    void discardWaiting();
    bool take(QByteArray &bytes);

    Line &m_port;
    AnswerRules m_answerRules;
    QTimer m_timer1;
    int m_responseTimedOut = 0;
    bool m_waiting = false;
    bool m_taking = false;
};
