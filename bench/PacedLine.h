// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/Ft2000Model.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The simulated FT2000 on a pseudo-terminal, served from a thread of its own
// so that its timestamps do not wait for anybody's event loop. A
// pseudo-terminal moves bytes at once; at a chosen speed the line instead
// hands over each byte when an 8N1 wire (10 bits a byte) would have finished
// carrying it, in both directions: the radio hears a command only when its
// last byte has crossed, and its reply follows byte by byte. The radio itself
// answers in no time.
class PacedLine
{
public:
    using Clock = std::chrono::steady_clock;

    struct Event {
        enum class Kind { Heard, Answered };
        Kind kind;
        QByteArray bytes;
        // Heard: when the command's ";" was read off the pseudo-terminal.
        // Answered: just before the reply's ";" was written to it.
        Clock::time_point at;
        // Heard: when the command would have finished crossing the wire.
        // Answered: when that write returned.
        Clock::time_point paced;
    };

    PacedLine();
    ~PacedLine();
    PacedLine(const PacedLine &) = delete;
    PacedLine &operator=(const PacedLine &) = delete;

    // Creates the pseudo-terminal and starts serving; false with errorString() when it cannot.
    bool open();
    QString errorString() const { return m_errorString; }
    // The slave side, what RIGDECK is given as its port.
    QString devicePath() const { return m_devicePath; }

    // Bits per second of the emulated wire; 0 passes bytes as fast as the pseudo-terminal does.
    void setBaud(int baud) { m_baud = baud; }
    // Extra wait before each reply starts, in microseconds.
    void setReplyDelay(std::chrono::microseconds delay) { m_replyDelayUs = delay.count(); }
    // Reads the line in a tight loop instead of sleeping until it has bytes,
    // so that arrival times carry no wake-up latency. Costs a core meanwhile.
    void setSpinning(bool spinning);

    // Drops whatever the program has not read yet, and the event log.
    void clear();
    std::vector<Event> events() const;
    // The first logged event of this kind and text, waiting for it until the deadline.
    std::optional<Event> waitFor(Event::Kind kind, const QByteArray &bytes, Clock::time_point deadline) const;

private:
    struct PendingByte {
        Clock::time_point due;
        char byte;
        // The whole reply, on its last byte only.
        QByteArray reply;
    };

    void serve();
    void readCommands();
    void writeDueBytes();
    void log(Event event);
    Clock::duration byteTime() const;
    void wake();

    Ft2000Model m_model;
    int m_master = -1;
    int m_keptSlave = -1;
    int m_wakePipe[2] = {-1, -1};
    QString m_devicePath;
    QString m_errorString;
    std::thread m_thread;

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_spinning{false};
    std::atomic<int> m_baud{0};
    std::atomic<long long> m_replyDelayUs{0};

    // Only the serving thread touches these.
    QByteArray m_command;
    Clock::time_point m_inboundFree{};
    Clock::time_point m_outboundFree{};
    std::deque<PendingByte> m_outgoing;

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_logged;
    std::vector<Event> m_events;
};
