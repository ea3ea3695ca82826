// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/RadioRig.h"

#include "radio/RadioLink.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

RadioRig::RadioRig(int port, Line line)
{
    m_radio = std::make_unique<PtyRadio>(model);
    const bool up = line == Line::Tcp ? m_radio->listenTcp(0) : m_radio->open();
    if (!up) {
        qFatal("cannot open the simulated radio's line");
    }
    m_deviceVariable = QStringLiteral("RIGDECK_COM%1").arg(port).toLatin1();
    m_device = std::make_unique<EnvironmentOverride>(m_deviceVariable.constData(), m_radio->devicePath().toLocal8Bit());
}

RadioRig::~RadioRig()
{
    m_window.reset();
    m_port.reset();
}

QString RadioRig::settingsFile() const
{
    return m_dir.filePath(QStringLiteral("RIGDECK.INI"));
}

void RadioRig::writeSettings(const QByteArray &contents) const
{
    QFile file(settingsFile());
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size()) {
        qFatal("cannot write the settings file");
    }
}

QByteArray RadioRig::readSettings() const
{
    QFile file(settingsFile());
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

void RadioRig::start(const QByteArray &settings)
{
    if (!settings.isEmpty()) {
        writeSettings(settings);
    }
    m_window.reset();
    m_port = std::make_unique<RadioPort>();
    m_window = std::make_unique<Form1>(*m_port);
    m_window->setSettingsFile(settingsFile());
    m_window->link().setResponseTime(responseTime);
    m_window->Form_Load();
}

void RadioRig::startAnswering(const QByteArray &query, const QByteArray &reply)
{
    auto replies = normalReplies();
    replies.insert(query, reply);
    script(replies);
    start();
}

Form1 &RadioRig::startShown(const QByteArray &settings)
{
    start(settings);
    m_window->show();
    return *m_window;
}

QByteArrayList RadioRig::commandsAfterSettling()
{
    // Let the line carry what was written: wait until no new byte has arrived
    // for a short while.
    qsizetype seen = -1;
    while (seen != m_radio->received().size()) {
        seen = m_radio->received().size();
        QTest::qWait(30);
    }
    return m_radio->commands();
}

void RadioRig::script(const QHash<QByteArray, QByteArray> &replies)
{
    m_radio->setSilent(true);
    QObject::disconnect(m_scriptConnection);
    m_scriptConnection = QObject::connect(
        m_radio.get(), &PtyRadio::commandReceived, m_radio.get(), [this, replies](const QByteArray &command) {
            model.receive(command);
            const auto reply = replies.constFind(command);
            if (reply == replies.constEnd()) {
                return;
            }
            // "|" splits a reply into writes a few
            // milliseconds apart.
            const QByteArrayList pieces = reply->split('|');
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                QTimer::singleShot(int(i) * 3, m_radio.get(), [this, piece = pieces[i]] { m_radio->sendRaw(piece); });
            }
        });
}

StartedRig::StartedRig(const QByteArray &settings)
{
    start(settings);
    if (commandsAfterSettling() != StartupQueries) {
        qFatal("start-up did not ask what it should");
    }
    radio().clear();
    window().show();
    if (!QTest::qWaitForWindowExposed(&window())) {
        qFatal("window not shown");
    }
    window().activateWindow();
}
