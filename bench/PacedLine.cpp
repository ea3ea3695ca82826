// SPDX-License-Identifier: GPL-3.0-or-later
#include "PacedLine.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int BitsPerByte = 10; // start bit, 8 data bits, stop bit
constexpr size_t ReadChunkBytes = 4096;

timespec toTimespec(std::chrono::nanoseconds duration)
{
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration);
    return timespec{static_cast<time_t>(seconds.count()), static_cast<long>((duration - seconds).count())};
}

} // namespace

PacedLine::PacedLine() = default;

PacedLine::~PacedLine()
{
    if (m_thread.joinable()) {
        m_stop = true;
        wake();
        m_thread.join();
    }
    for (const int fd : {m_master, m_keptSlave, m_wakePipe[0], m_wakePipe[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
}

bool PacedLine::open()
{
    auto fail = [this](const char *what) {
        m_errorString = QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        return fail("cannot create a pseudo-terminal");
    }
    // The rigdeck processes started from here must not inherit the radio's end.
    ::fcntl(m_master, F_SETFD, FD_CLOEXEC);
    if (::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        return fail("cannot unlock the pseudo-terminal");
    }
    const char *slaveName = ::ptsname(m_master);
    if (slaveName == nullptr) {
        return fail("cannot name the pseudo-terminal");
    }
    m_devicePath = QString::fromLocal8Bit(slaveName);
    // Held open between runs of the program: with no slave open the master
    // reports a hang-up without end.
    m_keptSlave = ::open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_keptSlave < 0) {
        return fail("cannot open the slave side");
    }
    termios settings{};
    if (::tcgetattr(m_keptSlave, &settings) != 0) {
        return fail("cannot read the line settings");
    }
    ::cfmakeraw(&settings);
    if (::tcsetattr(m_keptSlave, TCSANOW, &settings) != 0) {
        return fail("cannot make the line raw");
    }
    const int flags = ::fcntl(m_master, F_GETFL);
    if (flags < 0 || ::fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0) {
        return fail("cannot make the line non-blocking");
    }
    if (::pipe2(m_wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return fail("cannot create the wake-up pipe");
    }
    m_thread = std::thread([this] { serve(); });
    return true;
}

void PacedLine::setSpinning(bool spinning)
{
    m_spinning = spinning;
    wake();
}

void PacedLine::clear()
{
    ::tcflush(m_keptSlave, TCIOFLUSH);
    const std::lock_guard lock(m_mutex);
    m_events.clear();
}

std::vector<PacedLine::Event> PacedLine::events() const
{
    const std::lock_guard lock(m_mutex);
    return m_events;
}

std::optional<PacedLine::Event> PacedLine::waitFor(Event::Kind kind, const QByteArray &bytes,
                                                   Clock::time_point deadline) const
{
    std::unique_lock lock(m_mutex);
    std::optional<Event> found;
    m_logged.wait_until(lock, deadline, [&] {
        const auto match = std::find_if(m_events.cbegin(), m_events.cend(),
                                        [&](const Event &event) { return event.kind == kind && event.bytes == bytes; });
        if (match != m_events.cend()) {
            found = *match;
        }
        return found.has_value();
    });
    return found;
}

void PacedLine::serve()
{
    // The default slack of 50 us would blur the pacing at 38400 baud (260 us a byte).
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (!m_stop) {
        timespec timeout{};
        const timespec *limit = nullptr;
        if (m_spinning) {
            limit = &timeout;
        } else if (!m_outgoing.empty()) {
            timeout = toTimespec(std::max(m_outgoing.front().due - Clock::now(), Clock::duration::zero()));
            limit = &timeout;
        }
        pollfd fds[2] = {{m_master, POLLIN, 0}, {m_wakePipe[0], POLLIN, 0}};
        const int ready = ::ppoll(fds, 2, limit, nullptr);
        if (ready < 0 && errno != EINTR) {
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            char drain[64];
            while (::read(m_wakePipe[0], drain, sizeof drain) > 0) {
            }
        }
        if (m_spinning || (fds[0].revents & POLLIN) != 0) {
            readCommands();
        }
        writeDueBytes();
    }
}

void PacedLine::readCommands()
{
    char buffer[ReadChunkBytes];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count <= 0) {
        return;
    }
    const Clock::time_point now = Clock::now();
    const Clock::duration perByte = byteTime();
    for (ssize_t i = 0; i < count; ++i) {
        // Bytes queue on the wire behind those still crossing it.
        m_inboundFree = std::max(now, m_inboundFree) + perByte;
        m_command += buffer[i];
        const QByteArray reply = m_model.receive(QByteArray(1, buffer[i]));
        if (buffer[i] == ';') {
            log({Event::Kind::Heard, std::exchange(m_command, {}), now, m_inboundFree});
        }
        if (reply.isEmpty()) {
            continue;
        }
        Clock::time_point due =
            std::max(m_inboundFree + std::chrono::microseconds(m_replyDelayUs.load()), m_outboundFree);
        for (qsizetype at = 0; at < reply.size(); ++at) {
            due += perByte;
            m_outgoing.push_back({due, reply[at], at + 1 == reply.size() ? reply : QByteArray()});
        }
        m_outboundFree = due;
    }
}

void PacedLine::writeDueBytes()
{
    QByteArray bytes;
    std::vector<QByteArray> finished;
    const Clock::time_point now = Clock::now();
    while (!m_outgoing.empty() && m_outgoing.front().due <= now) {
        bytes += m_outgoing.front().byte;
        if (!m_outgoing.front().reply.isEmpty()) {
            finished.push_back(m_outgoing.front().reply);
        }
        m_outgoing.pop_front();
    }
    // The moment the program could first read the reply's end: taken
    // before the write, so a pre-emption of this thread can only lengthen
    // what is measured from it.
    const Clock::time_point handedOver = Clock::now();
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(m_master, bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        // A full input queue on the program's side means nobody reads the
        // line; the rest of the reply is lost, as on a wire.
        if (count <= 0) {
            break;
        }
        written += count;
    }
    const Clock::time_point done = Clock::now();
    for (QByteArray &reply : finished) {
        log({Event::Kind::Answered, std::move(reply), handedOver, done});
    }
}

void PacedLine::log(Event event)
{
    {
        const std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
    }
    m_logged.notify_all();
}

PacedLine::Clock::duration PacedLine::byteTime() const
{
    const int baud = m_baud;
    if (baud <= 0) {
        return Clock::duration::zero();
    }
    return std::chrono::duration_cast<Clock::duration>(std::chrono::nanoseconds(1000000000LL * BitsPerByte / baud));
}

void PacedLine::wake()
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(m_wakePipe[1], &byte, 1);
}
