// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QList>

// The FT2000 as seen from its CAT port: the commands RIGDECK sends, the
// replies it reads, and the bits of radio state those commands touch. It knows
// nothing about the line, so the demo mode can run it in-process and the
// pseudo-terminal radio can serve it to a real serial port.
class Ft2000Model
{
public:
    // A command longer than this without its ";" is line noise, not a command.
    static constexpr qsizetype MaxPendingBytes = 4096;
    static constexpr int MemoryCount = 5;
    static constexpr int VoiceChannelCount = 5;
    static constexpr int MinKeySpeed = 4;
    static constexpr int MaxKeySpeed = 60;

    // True for the mode codes the radio accepts after "MD0".
    static bool isModeCode(char code);

    // Takes bytes as they arrive from the line (commands may be split across calls or several may come in one);
    // returns the bytes the radio answers to every command completed by them, in order.
    QByteArray receive(const QByteArray &bytes);
    // Every complete command received so far, with its ";".
    QList<QByteArray> commands() const;

    // State, public for tests and the command line.
    QByteArray textMemory[MemoryCount] = {"CQ TEST DE JA1ZZZ", "TU 5NN 13", "", "QRZ?", "JA1ZZZ"};
    bool breakIn = false;
    char mode = '2';        // '1' LSB, '2' USB, '3' CW, '4' FM, '5' AM, others as the radio has them
    int keySpeed = 25;      // WPM
    char keyerPlaying = 0;  // selector of the keyer memory last played ('1'..'9', 'A'), 0 none
    int voiceRecording = 0; // voice channel 1..5 being recorded, 0 none
    int voicePlaying = 0;   // voice channel 1..5 playing, 0 none
    bool audioRecording = false;
    bool audioPlaying = false;

    // What a rig-control server (Hamlib's rigctld) asks when it opens the
    // radio and polls it: identity, VFO frequencies and selection, status.
    long long frequencyA = 14025000; // Hz, VFO A (main)
    long long frequencyB = 7010000;  // Hz, VFO B (sub)
    char receiveVfo = '0';           // VS: '0' VFO A, '1' VFO B
    char transmitVfo = '0';          // FT: '0' main, '1' sub
    char autoInformation = '0';      // AI: '0' off, '1' on (stored only; the radio never reports by itself here)
    char catTimeOut = '0';           // menu 029, the CAT time-out: '0' 10 ms, '1' 100 ms, '2' 1000 ms, '3' 3000 ms
    int filterWidth = 16;            // SH0: the width code of the main receiver's filter
    bool narrow = false;             // NA0
    bool powerOn = true;             // PS

private:
    QByteArray answer(const QByteArray &command);
    QByteArray answerKeyerMemory(const QByteArray &parameters) const;
    QByteArray answerBreakIn(const QByteArray &parameters);
    QByteArray answerMode(const QByteArray &parameters);
    QByteArray answerKeySpeed(const QByteArray &parameters);
    QByteArray answerKeyerPlay(const QByteArray &parameters);
    static QByteArray answerVoice(const QByteArray &parameters, int &channel, bool &audio);
    QByteArray answerStatus(const QByteArray &name, const QByteArray &parameters);
    QByteArray answerFrequency(const QByteArray &name, const QByteArray &parameters);
    QByteArray answerMenu(const QByteArray &parameters);
    QByteArray answerInformation() const;

    QByteArray m_pending;
    QList<QByteArray> m_commands;
};
