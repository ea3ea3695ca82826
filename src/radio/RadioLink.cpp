#include "radio/RadioLink.h"

#include "ui/MessageBox.h"
#include "radio/SerialPort.h"

#include <QCoreApplication>
#include <QThread>

RadioLink::RadioLink(SerialPort &port, QObject *parent)
    : QObject(parent)
    , m_port(port)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(ResponseTime);
    m_timer1.setTimerType(Qt::PreciseTimer);
    connect(&m_timer1, &QTimer::timeout, this, &RadioLink::Timer1_Timer);
    connect(&m_port, &SerialPort::onComm, this, &RadioLink::MSComm1_OnComm);
}

bool RadioLink::SendCommand(const QString &command)
{
    if (command.isEmpty()) {
        return true;
    }
    if (!m_port.portOpen()) {
        return true;
    }
    const QByteArray bytes = command.toLatin1();
    const bool written = m_port.output(bytes);
    emit commandSent(bytes, written);
    return written;
}

bool RadioLink::ReadResponse(QString &reply)
{
    // The wait shares one timer, one flag and one buffer: a nested wait would
    // steal the outer reply and leave it without a time-out.
    Q_ASSERT(!m_waiting);
    m_waiting = true;
    reply.clear();
    m_timer1.start();
    m_responseTimedOut = 0;
    bool lineOk = true;
    QByteArray received;
    for (;;) {
        QByteArray chunk;
        if (!m_port.input(chunk)) {
            lineOk = false;
            break;
        }
        received += chunk;
        if (received.contains(';')) {
            break;
        }
        QThread::msleep(PollPause.count());
        if (m_responseTimedOut == 1) {
            ShowMessage(NoResponseMessage);
            break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
    m_timer1.stop();
    reply = QString::fromLatin1(received);
    if (!received.isEmpty()) {
        emit replyReceived(received);
    }
    m_waiting = false;
    return lineOk;
}

void RadioLink::Timer1_Timer()
{
    m_responseTimedOut = 1;
}

void RadioLink::MSComm1_OnComm(int event)
{
    // Every event is read and none is acted on: replies are only ever taken
    // by ReadResponse.
    Q_UNUSED(event);
}
