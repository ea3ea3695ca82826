// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/RadioCapabilities.h"
#include "radio/RadioLink.h"

#include <QObject>
#include <QString>

#include <optional>

// The radio as the panels see it: its capabilities and plain operations, each
// one command through the link. Indexes count from 0 (the first memory,
// channel or mode of the window). Nothing here waits for the radio except the
// start-up questions.
class Radio : public QObject
{
    Q_OBJECT
public:
    explicit Radio(RadioLink &link, const RadioCapabilities &capabilities = Ft2000Capabilities,
                   QObject *parent = nullptr);

    const RadioCapabilities &capabilities() const { return m_capabilities; }

    // Operations. False only when the line failed the command.
    void playMessageMemory(int index);
    void playTextMemory(int index);
    // The radio is then given its moment to take the new speed.
    void setKeySpeed(int wpm);
    void setBreakIn(bool on);
    bool setMode(int index);
    void recordVoice(int channel);
    void stopVoiceRecording();
    void playVoice(int channel);
    void stopVoicePlayback();
    void startAudioRecording();
    void stopAudioRecording();
    void startAudioPlayback();
    void stopAudioPlayback();

    // Start-up asks the radio its present state, one question at a time.
    enum class Asked { TextMemory, BreakIn, Mode, KeySpeed };
    struct Question {
        Asked what;
        int index = 0; // the text memory asked for
        QString query;
    };
    QList<Question> startupQuestions() const;
    // Sends the question, pauses, and waits for its answer.
    RadioLink::QueryResult ask(const Question &question, QString &reply);

    // How the answers read. The text memory to show: empty for a refusal and
    // for an empty memory, nothing when the reply is too short to hold one.
    static std::optional<QString> textMemory(const QString &reply);
    static bool breakInOn(const QString &reply);
    // The mode the reply names: nothing when it is no main-band report, -1
    // for a mode the window does not offer.
    std::optional<int> modeIndex(const QString &reply) const;
    // The speed caption as the radio gives it ("025WPM") and its value.
    struct KeySpeed {
        QString caption;
        int wpm = 0;
    };
    static KeySpeed keySpeed(const QString &reply);

private:
    RadioLink &m_link;
    const RadioCapabilities &m_capabilities;
};
