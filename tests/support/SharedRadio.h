// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "sim/Ft2000Model.h"

#include <QByteArrayList>
#include <QList>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <atomic>
#include <memory>
#include <thread>

// The radio shared as in a station with a logger: rigdeck-sim on a
// pseudo-terminal and a real Hamlib rigctld (FT-2000, model 1029) in front of
// it, listening on 127.0.0.1 only.
class RigctldStation
{
public:
    RigctldStation();
    ~RigctldStation();

    // Starts both; false with the reason when rigctld or rigdeck-sim is
    // missing or does not come up.
    bool start(QString &why);
    quint16 port() const { return m_port; }
    QString address() const { return QStringLiteral("rigctld:127.0.0.1:%1").arg(m_port); }
    // Every command the simulated radio received, from rigctld's open on.
    QByteArrayList radioCommands() const;
    // rigctld goes away (the radio stays), and comes back on the same port.
    void stopServer();
    bool restartServer(QString &why);

private:
    bool startServer(QString &why);

    QTemporaryDir m_dir;
    QProcess m_sim;
    QProcess m_rigctld;
    QString m_radioLine;
    quint16 m_port = 0;
};

// A stand-in for flrig's XML-RPC server, as flrig documents it: POST /RPC2,
// one call at a time for all clients, connections kept alive.
// rig.cat_string hands its string to the radio and returns the reply ("No
// response: FT-2000" when there is none); rig.cat_priority sends and returns
// "OK"; a string holding a lowercase "x" is hex ("x4B x59"), and then so is
// the reply; rig.get_vfo and rig.get_mode answer as flrig's own poll knows
// them.
class FlrigStandIn : public QObject
{
    Q_OBJECT
public:
    explicit FlrigStandIn(Ft2000Model &model, QObject *parent = nullptr);

    // On the port given, or any free one.
    bool listen(quint16 port = 0);
    quint16 port() const { return m_server.serverPort(); }
    QString address() const { return QStringLiteral("flrig:127.0.0.1:%1").arg(port()); }
    // Method names called, in order, and the strings handed to the radio.
    const QByteArrayList &methods() const { return m_methods; }
    const QByteArrayList &catStrings() const { return m_catStrings; }
    // Close every connection at once after each answer, as an HTTP/1.0 server does.
    void setCloseAfterAnswer(bool close) { m_closeAfterAnswer = close; }
    int connectionsAccepted() const { return m_accepted; }
    // flrig quits: its port closes, every connection drops.
    void stop();

private:
    void serve(QTcpSocket *socket);
    QByteArray call(const QByteArray &method, const QByteArray &argument);

    Ft2000Model &m_model;
    QTcpServer m_server;
    QByteArrayList m_methods;
    QByteArrayList m_catStrings;
    bool m_closeAfterAnswer = false;
    int m_accepted = 0;
};

// A logger beside RIGDECK: from a thread of its own, on its own connection,
// asks the server for frequency and mode every 100 ms and notes how long each
// answer took.
class PollingLogger
{
public:
    enum class Server { Rigctld, Flrig };
    PollingLogger(Server server, quint16 port);
    ~PollingLogger();

    void stop();
    // Longest wait for one answer, in milliseconds, and how many answers came.
    double longestWaitMs() const { return m_longest.load(); }
    int answers() const { return m_answers.load(); }
    int failures() const { return m_failures.load(); }

private:
    void run(Server server, quint16 port);

    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_finished{false};
    std::atomic<double> m_longest{0};
    std::atomic<int> m_answers{0};
    std::atomic<int> m_failures{0};
    std::thread m_thread;
};
