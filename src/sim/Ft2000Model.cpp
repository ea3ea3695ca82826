#include "Ft2000Model.h"

#include <utility>

namespace {

// What the radio says to anything it cannot carry out.
const QByteArray Refused = QByteArrayLiteral("?;");

// Mode codes the FT2000 knows, whether or not RIGDECK has a button for them.
constexpr char ModeCodes[] = "123456789ABC";

constexpr char KeyerSelectors[] = "123456789A";

bool isDigits(const QByteArray& text)
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

QByteArray Ft2000Model::receive(const QByteArray& bytes)
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

QByteArray Ft2000Model::answer(const QByteArray& command)
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
    return Refused;
}

QByteArray Ft2000Model::answerKeyerMemory(const QByteArray& parameters) const
{
    if (parameters.size() != 1 || parameters[0] < '1' || parameters[0] >= '1' + MemoryCount) {
        return Refused;
    }
    // The radio closes every memory text with "}", so an empty memory reads "KMn};".
    return "KM" + parameters + textMemory[parameters[0] - '1'] + "};";
}

QByteArray Ft2000Model::answerBreakIn(const QByteArray& parameters)
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

QByteArray Ft2000Model::answerMode(const QByteArray& parameters)
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

QByteArray Ft2000Model::answerKeySpeed(const QByteArray& parameters)
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

QByteArray Ft2000Model::answerKeyerPlay(const QByteArray& parameters)
{
    if (parameters.size() != 1 || parameters[0] == '\0' || !QByteArray(KeyerSelectors).contains(parameters[0])) {
        return Refused;
    }
    keyerPlaying = parameters[0];
    return {};
}

// LM (record) and PB (play back) share their shape: "0n" works voice channel n
// (0 stops it), "1x" switches the audio recorder or player off (0) or on (1).
QByteArray Ft2000Model::answerVoice(const QByteArray& parameters, int& channel, bool& audio)
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
