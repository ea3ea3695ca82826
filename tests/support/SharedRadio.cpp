// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/SharedRadio.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

void endProcess(QProcess &process)
{
    if (process.state() == QProcess::NotRunning) {
        return;
    }
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

} // namespace

RigctldStation::RigctldStation() = default;

RigctldStation::~RigctldStation()
{
    endProcess(m_rigctld);
    endProcess(m_sim);
}

bool RigctldStation::start(QString &why)
{
    const QString rigctld = QStandardPaths::findExecutable(QStringLiteral("rigctld"));
    if (rigctld.isEmpty()) {
        why = QStringLiteral("rigctld is not installed (Debian package libhamlib-utils)");
        return false;
    }
    const QString sim = qEnvironmentVariable("RIGDECK_SIM");
    if (sim.isEmpty() || !QFile::exists(sim)) {
        why = QStringLiteral("rigdeck-sim is not built here (RIGDECK_SIM names it)");
        return false;
    }
    m_sim.setProgram(sim);
    m_sim.setArguments({QStringLiteral("--log"), m_dir.filePath(QStringLiteral("radio.log"))});
    m_sim.start();
    if (!m_sim.waitForReadyRead(5000)) {
        why = QStringLiteral("rigdeck-sim did not start");
        return false;
    }
    m_radioLine = QString::fromLocal8Bit(m_sim.readLine()).trimmed();
    m_port = freePort();
    m_rigctld.setProgram(rigctld);
    return startServer(why);
}

bool RigctldStation::restartServer(QString &why)
{
    stopServer();
    return startServer(why);
}

bool RigctldStation::startServer(QString &why)
{
    m_rigctld.setArguments({QStringLiteral("-m"), QStringLiteral("1029"), QStringLiteral("-r"), m_radioLine,
                            QStringLiteral("-s"), QStringLiteral("38400"), QStringLiteral("-t"),
                            QString::number(m_port), QStringLiteral("-T"), QStringLiteral("127.0.0.1")});
    m_rigctld.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_rigctld.start();
    if (!m_rigctld.waitForStarted(5000)) {
        why = QStringLiteral("rigctld did not start");
        return false;
    }
    // rigctld opens the radio, then listens.
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired() && m_rigctld.state() == QProcess::Running) {
        QTcpSocket probe;
        probe.connectToHost(QHostAddress::LocalHost, m_port);
        if (probe.waitForConnected(200)) {
            return true;
        }
        QTest::qWait(100);
    }
    why = QStringLiteral("rigctld did not open the simulated FT-2000: %1")
              .arg(QString::fromLocal8Bit(m_rigctld.readAllStandardOutput()));
    return false;
}

QByteArrayList RigctldStation::radioCommands() const
{
    QFile log(m_dir.filePath(QStringLiteral("radio.log")));
    if (!log.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArrayList commands = log.readAll().split('\n');
    commands.removeAll(QByteArray());
    return commands;
}

void RigctldStation::stopServer()
{
    endProcess(m_rigctld);
}

// flrig's stand-in

FlrigStandIn::FlrigStandIn(Ft2000Model &model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            ++m_accepted;
            socket->setParent(this);
            connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    });
}

bool FlrigStandIn::listen(quint16 port)
{
    return m_server.listen(QHostAddress::LocalHost, port);
}

void FlrigStandIn::stop()
{
    m_server.close();
    for (QTcpSocket *socket : findChildren<QTcpSocket *>()) {
        socket->abort();
        socket->deleteLater();
    }
}

void FlrigStandIn::serve(QTcpSocket *socket)
{
    QByteArray buffer = socket->property("buffer").toByteArray() + socket->readAll();
    for (;;) {
        const qsizetype headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0) {
            break;
        }
        static const QRegularExpression lengthField(QStringLiteral("content-length:\\s*(\\d+)"),
                                                    QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch length = lengthField.match(QString::fromLatin1(buffer.left(headerEnd)));
        const qsizetype bodyLength = length.hasMatch() ? length.captured(1).toLongLong() : 0;
        if (buffer.size() < headerEnd + 4 + bodyLength || !buffer.startsWith("POST /RPC2 ")) {
            break;
        }
        const QString body = QString::fromLatin1(buffer.mid(headerEnd + 4, bodyLength));
        buffer.remove(0, headerEnd + 4 + bodyLength);
        static const QRegularExpression methodName(QStringLiteral("<methodName>([^<]*)</methodName>"));
        static const QRegularExpression firstString(QStringLiteral("<value>(?:<string>)?([^<]*)"));
        const QByteArray method = methodName.match(body).captured(1).toLatin1();
        QByteArray argument = firstString.match(body).captured(1).toLatin1();
        argument.replace("&lt;", "<").replace("&gt;", ">").replace("&amp;", "&");
        m_methods.append(method);
        const QByteArray result = call(method, argument);
        const QByteArray response = "<?xml version=\"1.0\"?>\r\n<methodResponse><params><param>\r\n\t" + result
                                    + "\r\n</param></params></methodResponse>\r\n";
        socket->write("HTTP/1.1 200 OK\r\nServer: XMLRPC++ 0.8\r\nContent-Type: text/xml\r\nContent-length: "
                      + QByteArray::number(response.size()) + "\r\n\r\n" + response);
        socket->flush();
        if (m_closeAfterAnswer) {
            socket->disconnectFromHost();
            return;
        }
    }
    socket->setProperty("buffer", buffer);
}

QByteArray FlrigStandIn::call(const QByteArray &method, const QByteArray &argument)
{
    const auto text = [](QByteArray value) {
        return "<value>" + value.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;") + "</value>";
    };
    if (method == "rig.get_vfo") {
        return text(QByteArray::number(m_model.frequencyA));
    }
    if (method == "rig.get_mode") {
        return text(m_model.mode == '3' ? "CW" : m_model.mode == '1' ? "LSB" : "USB");
    }
    if (method != "rig.cat_string" && method != "rig.cat_priority") {
        return "<value><i4>0</i4></value>";
    }
    const bool hex = argument.contains('x');
    QByteArray command;
    if (hex) {
        for (qsizetype at = argument.indexOf('x'); at >= 0; at = argument.indexOf('x', at + 3)) {
            command += char(argument.mid(at + 1, 2).toUInt(nullptr, 16));
        }
    } else {
        command = argument;
    }
    m_catStrings.append(command);
    const QByteArray reply = m_model.receive(command);
    if (method == "rig.cat_priority") {
        return text("OK");
    }
    if (reply.isEmpty()) {
        return text("No response: FT-2000");
    }
    if (!hex) {
        return text(reply);
    }
    QByteArray hexReply;
    for (const char c : reply) {
        hexReply += 'x' + QByteArray::number(uchar(c), 16).toUpper().rightJustified(2, '0') + ' ';
    }
    return text(hexReply);
}

// The logger

PollingLogger::PollingLogger(Server server, quint16 port)
    : m_thread([this, server, port] {
        run(server, port);
        m_finished = true;
    })
{
}

PollingLogger::~PollingLogger()
{
    stop();
}

void PollingLogger::stop()
{
    m_stop = true;
    // A server in this thread (the flrig stand-in) must go on answering the
    // logger's last request meanwhile.
    while (!m_finished) {
        QTest::qWait(5);
    }
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

void PollingLogger::run(Server server, quint16 port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!socket.waitForConnected(3000)) {
        ++m_failures;
        return;
    }
    const auto ask = [&](const QByteArray &request, const QByteArray &end) {
        QElapsedTimer clock;
        clock.start();
        socket.write(request);
        QByteArray answer;
        while (!answer.contains(end) && socket.waitForReadyRead(3000)) {
            answer += socket.readAll();
        }
        const double waited = double(clock.nsecsElapsed()) / 1e6;
        if (!answer.contains(end)) {
            ++m_failures;
            return;
        }
        ++m_answers;
        if (waited > m_longest.load()) {
            m_longest = waited;
        }
    };
    const auto xmlCall = [](const QByteArray &method) {
        const QByteArray body =
            "<?xml version=\"1.0\"?><methodCall><methodName>" + method + "</methodName><params></params></methodCall>";
        return "POST /RPC2 HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml\r\nContent-Length: "
               + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    };
    while (!m_stop) {
        if (server == Server::Rigctld) {
            ask("+f\n", "RPRT");
            ask("+m\n", "RPRT");
        } else {
            ask(xmlCall("rig.get_vfo"), "</methodResponse>");
            ask(xmlCall("rig.get_mode"), "</methodResponse>");
        }
        for (int i = 0; i < 10 && !m_stop; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}
