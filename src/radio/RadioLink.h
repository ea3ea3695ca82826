#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

class SerialPort;

// The one road to the radio: every command leaves through SendCommand, every
// reply arrives through ReadResponse.
class RadioLink : public QObject
{
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds ResponseTime{5000};
    static constexpr std::chrono::milliseconds PollPause{1};

    explicit RadioLink(SerialPort &port, QObject *parent = nullptr);

    SerialPort &MSComm1() { return m_port; }

    // Writes the command, unchanged and in one piece, when the port is open;
    // drops it silently otherwise. False only when the line failed the write.
    bool SendCommand(const QString &command);

    // Waits for a reply that contains ";" under the response timer. On a
    // time-out the no-response message has been shown and ResponseTimedOut()
    // is 1. False when the line failed while reading.
    bool ReadResponse(QString &reply);

    int ResponseTimedOut() const { return m_responseTimedOut; }
    QTimer &Timer1() { return m_timer1; }

    void Timer1_Timer();
    void MSComm1_OnComm(int event);

    // Tests shorten the wait; the program always uses ResponseTime.
    void setResponseTime(std::chrono::milliseconds time) { m_timer1.setInterval(time); }

signals:
    // For a trace of the traffic: a command handed to an open port (written
    // false when the line failed it) and a reply as ReadResponse returns it.
    void commandSent(const QByteArray &command, bool written);
    void replyReceived(const QByteArray &reply);

private:
    SerialPort &m_port;
    QTimer m_timer1;
    int m_responseTimedOut = 0;
    bool m_waiting = false;
};

inline const QString NoResponseMessage = QStringLiteral(
    "一定時間内にコマンドに対する応答がありません。正しく接続されているか確認してください。");
