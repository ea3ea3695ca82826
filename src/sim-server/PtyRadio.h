// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDeadlineTimer>
#include <QList>
#include <QObject>
#include <QSocketNotifier>
#include <QString>
#include <QTimer>

class Ft2000Model;

// Serves a radio model on a pseudo-terminal, so RIGDECK can open the slave
// side as if it were the serial port with the FT2000 behind it. Everything is
// driven by the event loop of the thread it lives in: a test can run it in the
// same thread as the code under test, as long as that code processes events
// while it waits for a reply.
class PtyRadio : public QObject
{
    Q_OBJECT
public:
    explicit PtyRadio(Ft2000Model &model, QObject *parent = nullptr);
    ~PtyRadio() override;

    // Creates the pseudo-terminal; true when the line is up (also when it already was).
    bool open();
    // Serves the radio on a TCP port instead, as a serial-over-network server
    // in raw mode does: one connection at a time, a newer one replacing the
    // older. Port 0 takes any free port; devicePath() then names it as
    // "tcp:ADDRESS:PORT", the form RIGDECK takes for a port.
    bool listenTcp(quint16 port, const QString &address = QStringLiteral("127.0.0.1"));
    // Why the last open() failed.
    QString errorString() const;
    // The slave side, e.g. /dev/pts/7: what RIGDECK is given as its port.
    QString devicePath() const;

    // Receive and record as usual, but never answer: a radio that is off or set to another speed.
    void setSilent(bool silent);
    // Answer each command this many milliseconds after it arrived (0: at once).
    void setReplyDelay(int ms);
    // Send every reply in pieces of this many bytes, each its own write (0: whole replies).
    void setSplit(int bytes);
    // Pause between the pieces of a split reply.
    void setSplitGap(int ms);
    // Send back every byte received before answering, as a line with local
    // echo or a one-wire interface does.
    void setEcho(bool echo) { m_echo = echo; }

    // Closes the line for good: the adapter pulled out. Received bytes stay
    // readable. With nobody else holding the terminal, the program's reads
    // then fail (EIO).
    void hangUp();
    // The same, but this side keeps its own descriptor of the terminal open,
    // as a kernel that hangs up a USB adapter's tty does: the program's reads
    // return nothing (end of file) and poll reports a hang-up, forever.
    void hangUpKeepingTerminal();
    // Bytes handed to sendRaw or answered that the line has not taken yet.
    qsizetype unwrittenBytes() const { return m_unwritten.size(); }

    // Every byte the program wrote, in order.
    QByteArray received() const;
    // Every complete command, in order.
    QList<QByteArray> commands() const;
    // Forgets received bytes and commands; the radio's own state stays.
    void clear();
    // Writes bytes to the line at once, outside any command: stale replies, noise.
    void sendRaw(const QByteArray &bytes);

signals:
    // Emitted once the answer to the command is under way (or suppressed).
    void commandReceived(const QByteArray &command);
    void bytesReceived(const QByteArray &bytes);

private:
    struct DelayedReply {
        QDeadlineTimer due;
        QByteArray bytes;
    };

    void readFromLine();
    void acceptClient();
    void dropClient();
    void takeCommands(const QByteArray &bytes);
    void answer(const QByteArray &reply);
    void sendDueReplies();
    void transmit(const QByteArray &reply);
    void sendNextPiece();
    void writeToLine(const QByteArray &bytes);
    void flushUnwritten();
    bool isOpen() const;
    void closeLine();
    void fail(const QString &what);

    Ft2000Model &m_model;
    int m_master = -1;
    // Held open so the master never sees the line drop between runs of the
    // program; without a slave open, reads on the master fail with EIO.
    int m_keptSlave = -1;
    // Kept after a hang-up that leaves the terminal held, until destruction.
    int m_heldSlave = -1;
    QString m_devicePath;
    QString m_errorString;

    // Listening socket while serving TCP; the connected client is m_master.
    int m_listener = -1;
    QSocketNotifier m_acceptNotifier{QSocketNotifier::Read};
    QSocketNotifier m_readNotifier{QSocketNotifier::Read};
    QSocketNotifier m_writeNotifier{QSocketNotifier::Write};
    QTimer m_readRetryTimer;
    QTimer m_delayTimer;
    QTimer m_pieceTimer;

    bool m_silent = false;
    bool m_echo = false;
    int m_replyDelayMs = 0;
    int m_splitBytes = 0;
    int m_splitGapMs = 2;

    QByteArray m_received;
    QList<QByteArray> m_commands;
    QList<DelayedReply> m_delayedReplies;
    QList<QByteArray> m_pieces;
    QByteArray m_unwritten;
};
