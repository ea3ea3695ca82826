// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/Line.h"

#include <QFile>
#include <QObject>

class RadioLink;

// Appends every command sent and every reply received, with a timestamp, to
// a file: for operators looking for a cable or setting fault. What went
// wrong is one line each: a command dropped and why, a refusal by a server,
// the line going down and coming back, a start-up query that failed. Off
// unless the program is started with --trace.
//
// The trace never holds up or ends the program: the file may be a FIFO or a
// pipe whose reader is missing, slow or gone. Opening does not wait for a
// reader, a write does not wait for one to catch up, and a write that fails
// stops the trace with one warning on stderr.
class TraceLog : public QObject
{
    Q_OBJECT
public:
    TraceLog(RadioLink &link, const QString &path, QObject *parent = nullptr);

    bool isOpen() const { return m_file.isOpen(); }
    // Why the file could not be opened.
    QString errorString() const { return m_openError; }

    // Radio bytes as readable text: printable ASCII as it is, anything else
    // as \xNN, so a line of the trace is always one line.
    static QByteArray printable(const QByteArray &bytes);
    static QByteArray dropReason(Line::DropReason reason);

private:
    void write(const char *direction, const QByteArray &bytes, const QByteArray &note = QByteArray());

    QString m_path;
    QFile m_file;
    QString m_openError;
};
