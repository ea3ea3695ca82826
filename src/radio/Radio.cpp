// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/Radio.h"

#include "radio/Ft2000Cat.h"

#include <QThread>

Radio::Radio(RadioLink &link, const RadioCapabilities &capabilities, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_capabilities(capabilities)
{
    m_link.setAnswerRules({m_capabilities.queryPause, &Ft2000Cat::isNotTheAnswer});
}

void Radio::playMessageMemory(int index)
{
    m_link.SendCommand(Ft2000Cat::messageMemoryPlay(index));
}

void Radio::playTextMemory(int index)
{
    m_link.SendCommand(Ft2000Cat::textMemoryPlay(index));
}

void Radio::setKeySpeed(int wpm)
{
    m_link.SendCommand(Ft2000Cat::keySpeedSet(wpm));
    QThread::msleep(m_capabilities.keySpeedSettle.count());
}

void Radio::setBreakIn(bool on)
{
    m_link.SendCommand(Ft2000Cat::breakInSet(on));
}

bool Radio::setMode(int index)
{
    return m_link.SendCommand(Ft2000Cat::modeSet(index, m_capabilities));
}

void Radio::recordVoice(int channel)
{
    m_link.SendCommand(Ft2000Cat::voiceRecord(channel));
}

void Radio::stopVoiceRecording()
{
    m_link.SendCommand(Ft2000Cat::VoiceRecordStop);
}

void Radio::playVoice(int channel)
{
    m_link.SendCommand(Ft2000Cat::voicePlay(channel));
}

void Radio::stopVoicePlayback()
{
    m_link.SendCommand(Ft2000Cat::VoicePlayStop);
}

void Radio::startAudioRecording()
{
    m_link.SendCommand(Ft2000Cat::AudioRecordStart);
}

void Radio::stopAudioRecording()
{
    m_link.SendCommand(Ft2000Cat::AudioRecordStop);
}

void Radio::startAudioPlayback()
{
    m_link.SendCommand(Ft2000Cat::AudioPlayStart);
}

void Radio::stopAudioPlayback()
{
    m_link.SendCommand(Ft2000Cat::AudioPlayStop);
}

QList<Radio::Question> Radio::startupQuestions() const
{
    QList<Question> questions;
    for (int i = 0; i < m_capabilities.keyerMemories; ++i) {
        questions.append({Asked::TextMemory, i, Ft2000Cat::keyerMemoryQuery(i + 1)});
    }
    questions.append({Asked::BreakIn, 0, Ft2000Cat::BreakInQuery});
    questions.append({Asked::Mode, 0, Ft2000Cat::ModeQuery});
    questions.append({Asked::KeySpeed, 0, Ft2000Cat::KeySpeedQuery});
    return questions;
}

RadioLink::QueryResult Radio::ask(const Question &question, QString &reply)
{
    return m_link.Query(question.query, reply);
}

std::optional<QString> Radio::textMemory(const QString &reply)
{
    return Ft2000Cat::textMemory(reply);
}

bool Radio::breakInOn(const QString &reply)
{
    return Ft2000Cat::breakInOn(reply);
}

std::optional<int> Radio::modeIndex(const QString &reply) const
{
    return Ft2000Cat::modeIndex(reply, m_capabilities);
}

Radio::KeySpeed Radio::keySpeed(const QString &reply)
{
    const Ft2000Cat::KeySpeed speed = Ft2000Cat::keySpeed(reply);
    return {speed.caption, speed.wpm};
}
