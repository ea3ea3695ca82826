#pragma once

#include <QFile>
#include <QObject>

class RadioLink;

// Appends every command sent and every reply received, with a timestamp, to
// a file: for operators looking for a cable or setting fault. Off unless the
// program is started with --trace.
class TraceLog : public QObject
{
    Q_OBJECT
public:
    TraceLog(RadioLink &link, const QString &path, QObject *parent = nullptr);

    bool isOpen() const { return m_file.isOpen(); }

    // Radio bytes as readable text: printable ASCII as it is, anything else
    // as \xNN, so a line of the trace is always one line.
    static QByteArray printable(const QByteArray &bytes);

private:
    void write(const char *direction, const QByteArray &bytes, const char *note = nullptr);

    QFile m_file;
};
