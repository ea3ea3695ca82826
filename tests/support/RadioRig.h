// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Form1.h"
#include "radio/RadioPort.h"
#include "sim/Ft2000Model.h"
#include "sim-server/PtyRadio.h"
#include "support/EnvironmentOverride.h"
#include "support/MessageRecorder.h"
#include "support/RadioReplies.h"

#include <QHash>
#include <QTemporaryDir>

#include <chrono>
#include <memory>

// The program's main window on a real serial port, a pseudo-terminal with the
// simulated FT2000 at its far end, and a settings file in a temporary folder.
class RadioRig
{
public:
    // A pseudo-terminal, or the radio served on a TCP port of 127.0.0.1.
    enum class Line { Serial, Tcp };
    // Port 1 names the radio's line; a test can point other ports at it.
    explicit RadioRig(int port = 1, Line line = Line::Serial);
    ~RadioRig();

    Ft2000Model model;
    PtyRadio &radio() { return *m_radio; }
    RadioPort &port() { return *m_port; }
    Form1 &window() { return *m_window; }
    MessageRecorder &messages() { return m_messages; }

    QString settingsFile() const;
    // Writes the settings file whole before start-up.
    void writeSettings(const QByteArray &contents) const;
    QByteArray readSettings() const;

    // Answers the radio gives instead of the model's: a command not in the
    // table gets no answer at all; "|" splits an answer into separate writes. Commands still reach the model's state.
    void script(const QHash<QByteArray, QByteArray> &replies);

    // Creates the window (again, for a restart) and runs start-up; with
    // settings, writes the settings file whole first.
    void start(const QByteArray &settings = QByteArray());
    // Start-up against the normal replies, but this answer to this query.
    void startAnswering(const QByteArray &query, const QByteArray &reply);
    // start(), then the window shown.
    Form1 &startShown(const QByteArray &settings = QByteArray());
    // How long start-up waits for each reply; the program's own five seconds
    // unless a test needs less.
    std::chrono::milliseconds responseTime{300};
    // Everything the program wrote, as the radio received it, once the bytes
    // have crossed the line.
    QByteArrayList commandsAfterSettling();

private:
    QTemporaryDir m_dir;
    std::unique_ptr<PtyRadio> m_radio;
    std::unique_ptr<RadioPort> m_port;
    std::unique_ptr<Form1> m_window;
    MessageRecorder m_messages;
    QByteArray m_deviceVariable;
    std::unique_ptr<EnvironmentOverride> m_device;
    // Port 8 names a device that does not exist, whatever this machine has.
    EnvironmentOverride m_missingDevice{"RIGDECK_COM8", "/nonexistent/ttyRIGDECK"};
    QMetaObject::Connection m_scriptConnection;
};

// A rig through a complete start-up (with these settings, if any), its window
// shown and the radio's record of start-up forgotten.
class StartedRig : public RadioRig
{
public:
    explicit StartedRig(const QByteArray &settings = QByteArray());
};
