// SPDX-License-Identifier: GPL-3.0-or-later
#include "Ft2000Model.h"

#include <utility>

namespace {

// What the radio says to anything it cannot carry out.
const QByteArray Refused = QByteArrayLiteral("?;");

// Mode codes the FT2000 knows, whether or not RIGDECK has a button for them.
constexpr char ModeCodes[] = "123456789ABC";

constexpr char KeyerSelectors[] = "123456789A";

bool isDigits(const QByteArray &text)
{
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.isEmpty();
}

} // namespace

bool Ft2000Model::isModeCode(char code)
{
    return code != '\0' && QByteArray(ModeCodes).contains(code);
}

QByteArray Ft2000Model::receive(const QByteArray &bytes)
{
    QByteArray replies;
    // Byte by byte so that where the line happens to cut a command never
    // changes what the radio makes of it.
    for (const char byte : bytes) {
        if (byte == ';') {
            m_pending.append(byte);
            m_commands.append(std::exchange(m_pending, {}));
            replies += answer(m_commands.constLast());
        } else if (m_pending.size() == MaxPendingBytes) {
            m_pending.clear();
            replies += Refused;
        } else {
            m_pending.append(byte);
        }
    }
    return replies;
}

QList<QByteArray> Ft2000Model::commands() const
{
    return m_commands;
}

QByteArray Ft2000Model::answer(const QByteArray &command)
{
    if (command.size() < 3) {
        return Refused;
    }
    const QByteArray name = command.left(2);
    const QByteArray parameters = command.mid(2, command.size() - 3);
    if (name == "KM") {
        return answerKeyerMemory(parameters);
    }
    if (name == "BI") {
        return answerBreakIn(parameters);
    }
    if (name == "MD") {
        return answerMode(parameters);
    }
    if (name == "KS") {
        return answerKeySpeed(parameters);
    }
    if (name == "KY") {
        return answerKeyerPlay(parameters);
    }
    if (name == "LM") {
        return answerVoice(parameters, voiceRecording, audioRecording);
    }
    if (name == "PB") {
        return answerVoice(parameters, voicePlaying, audioPlaying);
    }
    if (name == "FA" || name == "FB") {
        return answerFrequency(name, parameters);
    }
    if (name == "EX") {
        return answerMenu(parameters);
    }
    if (name == "IF" && parameters.isEmpty()) {
        return answerInformation();
    }
    if (name == "ID" && parameters.isEmpty()) {
        return QByteArrayLiteral("ID0251;");
    }
    return answerStatus(name, parameters);
}

// One-character switches: asked with "XX;", answered and set as "XXc;".
// SH and NA carry the receiver ("0" main) before their value.
QByteArray Ft2000Model::answerStatus(const QByteArray &name, const QByteArray &parameters)
{
    const auto flag = [&](char &value, const char *allowed) -> QByteArray {
        if (parameters.isEmpty()) {
            return name + value + ';';
        }
        if (parameters.size() == 1 && QByteArray(allowed).contains(parameters[0])) {
            value = parameters[0];
            return {};
        }
        return Refused;
    };
    if (name == "AI") {
        return flag(autoInformation, "01");
    }
    if (name == "VS") {
        return flag(receiveVfo, "01");
    }
    if (name == "FT") {
        return flag(transmitVfo, "01");
    }
    if (name == "PS") {
        char power = powerOn ? '1' : '0';
        const QByteArray answer = flag(power, "01");
        powerOn = power == '1';
        return answer;
    }
    if (name == "SH" && parameters == "0") {
        return "SH0" + QByteArray::number(filterWidth).rightJustified(2, '0') + ';';
    }
    if (name == "SH" && parameters.size() == 3 && parameters[0] == '0' && isDigits(parameters.mid(1))) {
        filterWidth = parameters.mid(1).toInt();
        return {};
    }
    if (name == "NA" && parameters == "0") {
        return narrow ? "NA01;" : "NA00;";
    }
    if (name == "NA" && (parameters == "00" || parameters == "01")) {
        narrow = parameters == "01";
        return {};
    }
    return Refused;
}

// "FA;" answers the frequency in Hz as eight digits; "FA14074000;" sets it.
QByteArray Ft2000Model::answerFrequency(const QByteArray &name, const QByteArray &parameters)
{
    long long &frequency = name == "FA" ? frequencyA : frequencyB;
    if (parameters.isEmpty()) {
        return name + QByteArray::number(frequency).rightJustified(8, '0') + ';';
    }
    if (parameters.size() == 8 && isDigits(parameters)) {
        frequency = parameters.toLongLong();
        return {};
    }
    return Refused;
}

// Only menu 029, the CAT time-out, is kept: "EX029;" reads it, "EX0291;" sets it.
QByteArray Ft2000Model::answerMenu(const QByteArray &parameters)
{
    if (parameters == "029") {
        return QByteArray("EX029") + catTimeOut + ';';
    }
    if (parameters.size() == 4 && parameters.startsWith("029") && parameters[3] >= '0' && parameters[3] <= '3') {
        catTimeOut = parameters[3];
        return {};
    }
    return Refused;
}

// "IF;": memory channel (3), VFO A frequency (8), clarifier offset (+0000),
// RX and TX clarifier, mode, VFO/memory, tone mode, tone number (2), shift:
// 27 bytes with "IF" and ";".
QByteArray Ft2000Model::answerInformation() const
{
    return "IF001" + QByteArray::number(frequencyA).rightJustified(8, '0') + "+000000" + mode + "0000" + "0;";
}

QByteArray Ft2000Model::answerKeyerMemory(const QByteArray &parameters) const
{
    if (parameters.size() != 1 || parameters[0] < '1' || parameters[0] >= '1' + MemoryCount) {
        return Refused;
    }
    // The radio closes every memory text with "}", so an empty memory reads "KMn};".
    return "KM" + parameters + textMemory[parameters[0] - '1'] + "};";
}

QByteArray Ft2000Model::answerBreakIn(const QByteArray &parameters)
{
    if (parameters.isEmpty()) {
        return breakIn ? "BI1;" : "BI0;";
    }
    if (parameters == "0" || parameters == "1") {
        breakIn = parameters == "1";
        return {};
    }
    return Refused;
}

QByteArray Ft2000Model::answerMode(const QByteArray &parameters)
{
    // The "0" selects the main receiver, the only one RIGDECK talks to.
    if (parameters == "0") {
        return QByteArray("MD0") + mode + ';';
    }
    if (parameters.size() == 2 && parameters[0] == '0' && isModeCode(parameters[1])) {
        mode = parameters[1];
        return {};
    }
    return Refused;
}

QByteArray Ft2000Model::answerKeySpeed(const QByteArray &parameters)
{
    if (parameters.isEmpty()) {
        return "KS" + QByteArray::number(keySpeed).rightJustified(3, '0') + ';';
    }
    if (parameters.size() != 3 || !isDigits(parameters)) {
        return Refused;
    }
    const int speed = parameters.toInt();
    if (speed < MinKeySpeed || speed > MaxKeySpeed) {
        return Refused;
    }
    keySpeed = speed;
    return {};
}

QByteArray Ft2000Model::answerKeyerPlay(const QByteArray &parameters)
{
    if (parameters.size() != 1 || parameters[0] == '\0' || !QByteArray(KeyerSelectors).contains(parameters[0])) {
        return Refused;
    }
    keyerPlaying = parameters[0];
    return {};
}

// LM (record) and PB (play back) share their shape: "0n" works voice channel n
// (0 stops it), "1x" switches the audio recorder or player off (0) or on (1).
QByteArray Ft2000Model::answerVoice(const QByteArray &parameters, int &channel, bool &audio)
{
    if (parameters.size() != 2) {
        return Refused;
    }
    const char which = parameters[0];
    const char value = parameters[1];
    if (which == '0' && value >= '0' && value < '1' + VoiceChannelCount) {
        channel = value - '0';
        return {};
    }
    if (which == '1' && (value == '0' || value == '1')) {
        audio = value == '1';
        return {};
    }
    return Refused;
}
