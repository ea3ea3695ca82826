// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/RadioCapabilities.h"

#include <QByteArray>
#include <QString>

#include <optional>

// The FT2000's CAT language as the program speaks it: every command text it
// sends, the start-up queries and how their replies are read. Commands are
// two capital letters, parameters and ";"; replies repeat the command's
// letters (and selector) before the value. Only the radio layer speaks it.
namespace Ft2000Cat {

// Keyer selectors of the text memories 1-5; message memories are "1".."5".
inline constexpr char TextMemorySelector[] = {'6', '7', '8', '9', 'A'};

// Commands. Indexes count from 0 (memory, channel or mode label 0 is the first).
QString textMemoryPlay(int index);    // "KY6;".."KYA;"
QString messageMemoryPlay(int index); // "KY1;".."KY5;"
QString keySpeedSet(int wpm);         // "KS025;"
QString breakInSet(bool on);          // "BI1;" / "BI0;"
// "MD01;".."MD03;": the mode of that index in the table's (the window's) order.
QString modeSet(int index, const RadioCapabilities &capabilities = Ft2000Capabilities);
QString voiceRecord(int channel); // "LM01;".."LM05;"
QString voicePlay(int channel);   // "PB01;".."PB05;"
inline const QString VoiceRecordStop = QStringLiteral("LM00;");
inline const QString VoicePlayStop = QStringLiteral("PB00;");
inline const QString AudioRecordStart = QStringLiteral("LM11;");
inline const QString AudioRecordStop = QStringLiteral("LM10;");
inline const QString AudioPlayStart = QStringLiteral("PB11;");
inline const QString AudioPlayStop = QStringLiteral("PB10;");

// Start-up queries.
QString keyerMemoryQuery(int number); // "KM1;".."KM5;"
inline const QString BreakInQuery = QStringLiteral("BI;");
inline const QString ModeQuery = QStringLiteral("MD0;");
inline const QString KeySpeedQuery = QStringLiteral("KS;");

// The numeric value of the leading digits of a text, 0 when it has none.
int leadingNumber(const QString &text);

// The memory text to show: empty for "?;" and for an empty memory (KM2};),
// otherwise the reply without "KMn" and the final ";" ("}" stays). Nothing
// when the reply is too short to hold a memory.
std::optional<QString> textMemory(const QString &reply);
// Break-in is off only when the third character is "0"; "?;" counts as on.
bool breakInOn(const QString &reply);
// The mode label the reply names: nothing when the reply is not a main-band
// report (third character not "0"); -1 for a mode the window does not offer.
std::optional<int> modeIndex(const QString &reply, const RadioCapabilities &capabilities = Ft2000Capabilities);
// The speed caption ("025WPM") and the value its leading digits give.
struct KeySpeed {
    QString caption;
    int wpm = 0;
};
KeySpeed keySpeed(const QString &reply);

// True when a complete message on the line cannot be the answer to query:
// the query itself, come back from a line that echoes what it is sent, or a
// message that begins with two capital letters other than the query's own
// (a dial report "FA07030000;" while waiting for "MD0;").
bool isNotTheAnswer(const QByteArray &message, const QByteArray &query);

} // namespace Ft2000Cat
