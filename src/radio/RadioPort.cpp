// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/RadioPort.h"

#include "radio/FlrigLinePort.h"
#include "radio/QtSerialPortDevice.h"
#include "radio/RigctldLinePort.h"
#include "radio/TcpLinePort.h"

#include <algorithm>

RadioPort::RadioPort(QObject *parent)
    : Line(parent)
{
    m_expiry.setSingleShot(true);
    m_expiry.setTimerType(Qt::PreciseTimer);
    connect(&m_expiry, &QTimer::timeout, this, &RadioPort::sendWaiting);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &RadioPort::tryAgain);
}

RadioPort::~RadioPort() = default;

bool RadioPort::portOpen() const
{
    return m_state == State::Open && m_line && m_line->portOpen();
}

bool RadioPort::readyToSend() const
{
    return portOpen() && m_waiting.isEmpty() && m_line->readyToSend();
}

bool RadioPort::openLine()
{
    close();
    // The kinds of line by the scheme their device's name starts with;
    // anything else is a serial device.
    struct Kind {
        const QString &scheme;
        std::unique_ptr<Line> (*make)();
    };
    static const Kind kinds[] = {
        {TcpLinePort::Scheme, [] { return std::unique_ptr<Line>(std::make_unique<TcpLinePort>()); }},
        {RigctldLinePort::Scheme, [] { return std::unique_ptr<Line>(std::make_unique<RigctldLinePort>()); }},
        {FlrigLinePort::Scheme, [] { return std::unique_ptr<Line>(std::make_unique<FlrigLinePort>()); }},
    };
    const QString &device = settings().device;
    const auto kind = std::find_if(std::begin(kinds), std::end(kinds), [&](const Kind &k) {
        return device.startsWith(k.scheme + QLatin1Char(':'), Qt::CaseInsensitive);
    });
    m_line = kind == std::end(kinds) ? std::make_unique<QtSerialPortDevice>() : kind->make();
    Line *line = m_line.get();
    connect(line, &Line::dataArrived, this, &Line::dataArrived);
    connect(line, &Line::commandSent, this, &Line::commandSent);
    connect(line, &Line::commandRefused, this, &Line::commandRefused);
    connect(line, &Line::commandDropped, this, [this](const QByteArray &command, DropReason reason) {
        if (!m_handing) {
            emit commandDropped(command, reason);
        }
    });
    connect(line, &Line::failed, this, &RadioPort::onLineFailed);
    connect(line, &Line::reopened, this, &RadioPort::onReopened);
    connect(line, &Line::ready, this, &RadioPort::sendWaiting);
    if (!line->open(settings())) {
        return false;
    }
    setState(State::Open, QString());
    return true;
}

void RadioPort::close()
{
    m_expiry.stop();
    m_retry.stop();
    m_reopening = false;
    m_waiting.clear();
    m_retryWait = FirstRetry;
    if (m_line) {
        m_line->close();
    }
    setState(State::Closed, QString());
}

bool RadioPort::output(const QByteArray &data)
{
    return enqueue(data, false);
}

bool RadioPort::outputQuery(const QByteArray &data)
{
    return enqueue(data, true);
}

bool RadioPort::enqueue(const QByteArray &command, bool query)
{
    if (m_state == State::Closed) {
        emit commandDropped(command, DropReason::LineDown);
        return false;
    }
    if (m_waiting.size() >= MaxWaiting) {
        emit commandDropped(command, DropReason::QueueFull);
        return false;
    }
    m_waiting.append({command, query, QDeadlineTimer(m_commandDeadline, Qt::PreciseTimer)});
    sendWaiting();
    // The operator wants the line now: a line being brought back is tried at
    // once rather than at its next turn.
    tryAgain();
    return true;
}

void RadioPort::sendWaiting()
{
    dropExpired();
    while (m_state == State::Open && !m_waiting.isEmpty() && m_line->readyToSend()) {
        const Waiting next = m_waiting.takeFirst();
        m_line->setSendBy(next.sendBy);
        m_handing = true;
        const bool taken = next.query ? m_line->outputQuery(next.command) : m_line->output(next.command);
        m_handing = false;
        if (!taken) {
            // The line failed under it: it waits for the line to come back.
            m_waiting.prepend(next);
            if (m_state == State::Open) {
                onLineFailed(QStringLiteral("the line failed a write"));
            }
            break;
        }
    }
    if (!m_waiting.isEmpty()) {
        m_expiry.start(std::chrono::duration_cast<std::chrono::milliseconds>(
                           m_waiting.constFirst().sendBy.remainingTimeAsDuration())
                       + std::chrono::milliseconds(1));
    } else {
        m_expiry.stop();
    }
}

void RadioPort::dropExpired()
{
    // Later commands were given later: only the oldest can have expired.
    while (!m_waiting.isEmpty() && m_waiting.constFirst().sendBy.hasExpired()) {
        emit commandDropped(m_waiting.takeFirst().command, DropReason::TooLate);
    }
}

void RadioPort::onLineFailed(const QString &reason)
{
    if (m_state != State::Open) {
        return;
    }
    setState(State::Reconnecting, reason);
    m_retryWait = FirstRetry;
    retryLater();
    sendWaiting();
}

void RadioPort::tryAgain()
{
    if (m_state != State::Reconnecting || m_reopening) {
        return;
    }
    m_retry.stop();
    m_reopening = true;
    m_line->reopen();
}

void RadioPort::onReopened(bool ok)
{
    if (!m_reopening) {
        return;
    }
    m_reopening = false;
    if (m_state != State::Reconnecting) {
        return;
    }
    if (ok) {
        m_retryWait = FirstRetry;
        setState(State::Open, QString());
        sendWaiting();
        return;
    }
    if (!m_waiting.isEmpty()) {
        m_retry.start(WaitingRetry);
        return;
    }
    retryLater();
}

void RadioPort::retryLater()
{
    // 1 s, 2 s, 4 s, then every 5 s.
    m_retry.start(m_retryWait);
    m_retryWait = std::min(m_retryWait * 2, LongestRetry);
}

void RadioPort::setState(State state, const QString &reason)
{
    if (state == m_state) {
        return;
    }
    m_state = state;
    emit stateChanged(state, reason);
}

bool RadioPort::input(QByteArray &data)
{
    data.clear();
    return portOpen() && m_line->input(data);
}
