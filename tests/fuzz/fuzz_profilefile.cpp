// SPDX-License-Identifier: GPL-3.0-or-later
// Fuzz target for the settings file: any bytes as the file, read for the
// program's keys and some odd names, then one key written and read back.
//
// Input: byte 0 picks the key to write and the small read limit, byte 1 is
// the length n of the value, the next n bytes are the value (UTF-8), and the
// rest is the file. Shorter inputs are a file that is only read.
#include "settings/ProfileFile.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

struct Name {
    QString section;
    QString key;
};

// The program's own keys first, then names the reader must take as written:
// other case, blanks around, no ASCII at all, and names a write refuses.
const QList<Name> &names()
{
    static const QList<Name> all = [] {
        QList<Name> list{{Section::Com, Key::Port}};
        for (int i = 0; i < 5; ++i) {
            list.append({Section::Rec, Key::recTime(i)});
            list.append({Section::Voice, Key::comment(i)});
        }
        list.append({QStringLiteral("com"), QStringLiteral("port")});
        list.append({QStringLiteral(" REC\t"), QStringLiteral("\tREC_TIME0 ")});
        list.append({QStringLiteral("ボイス"), QStringLiteral("コメント")});
        list.append({QStringLiteral("[VOICE"), QStringLiteral("COMMENT 1")});
        list.append({QStringLiteral("A;B"), QStringLiteral("x]y")});
        list.append({QStringLiteral("COM"), QStringLiteral("=PORT")});
        list.append({QStringLiteral("COM"), QStringLiteral("[PORT")});
        list.append({QStringLiteral("COM]"), QStringLiteral("PORT")});
        list.append({QStringLiteral(" "), QStringLiteral("PORT")});
        list.append({QStringLiteral("COM"), QString()});
        return list;
    }();
    return all;
}

[[noreturn]] void fail(const char *what, const QString &detail = QString())
{
    std::fprintf(stderr, "fuzz_profilefile: %s %s\n", what, qPrintable(detail));
    std::abort();
}

// Blanks around names and values, as the Windows profile functions count
// them: space, tab, VT, FF and ^Z.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\x0b' || c == '\x0c' || c == '\x1a';
}

// What lies from the first byte that is no blank to the last one.
QByteArray trimmedBlanks(const QByteArray &text)
{
    const auto first = std::find_if_not(text.cbegin(), text.cend(), isBlank);
    const auto last = std::find_if_not(text.crbegin(), text.crend(), isBlank).base();
    return first < last ? QByteArray(first, last - first) : QByteArray();
}

QByteArray withoutLineBreaks(QByteArray text)
{
    text.removeIf([](char c) { return c == '\r' || c == '\n'; });
    return text;
}

// What the header promises about names, restated here so that the writer's
// own checks are tested rather than trusted.
bool writeAccepts(const Name &name)
{
    const QByteArray section = trimmedBlanks(withoutLineBreaks(name.section.toUtf8()));
    const QByteArray key = trimmedBlanks(withoutLineBreaks(name.key.toUtf8()));
    return !section.isEmpty() && !section.contains(']') && !key.isEmpty() && !key.contains('=') && !key.startsWith('[');
}

bool sameName(const QString &a, const QString &b)
{
    return trimmedBlanks(a.toUtf8()).toLower() == trimmedBlanks(b.toUtf8()).toLower();
}

// A value the file can hold unchanged: one line, no blanks at the ends (the
// reader trims them), not in matching quotes (the reader takes them off),
// no NUL (a value read back ends at its first), within the read limit.
bool storesExactly(const QByteArray &value)
{
    if (value.contains('\r') || value.contains('\n') || value.contains('\0') || value.size() > SettingMaxBytes) {
        return false;
    }
    if (!value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()))) {
        return false;
    }
    const bool quoted =
        value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front();
    return !quoted;
}

struct FileLine {
    QByteArray text;
    QByteArray end; // "\r\n", "\n", "\r", or nothing for a last line without one
};

// The file as lines the way every INI reader sees them, after a leading
// byte order mark.
QList<FileLine> linesOf(QByteArray data)
{
    if (data.startsWith("\xEF\xBB\xBF")) {
        data.remove(0, 3);
    }
    QList<FileLine> lines;
    qsizetype pos = 0;
    while (pos < data.size()) {
        qsizetype i = pos;
        while (i < data.size() && data[i] != '\r' && data[i] != '\n') {
            ++i;
        }
        FileLine line{data.sliced(pos, i - pos), {}};
        if (i < data.size()) {
            const qsizetype endSize = (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ? 2 : 1;
            line.end = data.sliced(i, endSize);
            i += endSize;
        }
        lines.append(line);
        pos = i;
    }
    return lines;
}

// The line end written lines get: the one that ends the first line of the
// old file; in a file without one, "\n", the line end of the systems the
// fuzzers run on.
QByteArray newLineEnd(const QList<FileLine> &before)
{
    for (const FileLine &line : before) {
        if (!line.end.isEmpty()) {
            return line.end;
        }
    }
    return QByteArrayLiteral("\n");
}

// Old lines kept byte for byte, in order, at the places the mapping gives;
// only the last old line may gain the line end it lacked, and new lines end
// with the new line end.
bool keptAsWere(const QList<FileLine> &before, const QList<FileLine> &after, qsizetype skipBefore, qsizetype firstNew,
                qsizetype newCount)
{
    const QByteArray lineEnd = newLineEnd(before);
    for (qsizetype k = firstNew; k < firstNew + newCount && k < after.size(); ++k) {
        // Except where a lone CR would join the LF of an empty line after it:
        // the new line then ends as the line before it.
        const bool joins = lineEnd == "\r" && k > 0 && k + 1 < after.size() && after[k + 1].text.isEmpty()
                           && after[k + 1].end.startsWith('\n');
        if (skipBefore < 0 && after[k].end != (joins ? after[k - 1].end : lineEnd)) {
            return false;
        }
    }
    qsizetype j = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (i == skipBefore) {
            ++j;
            continue;
        }
        if (j == firstNew) {
            j += newCount;
        }
        if (j >= after.size() || after[j].text != before[i].text) {
            return false;
        }
        const bool gainedEnd = i == before.size() - 1 && before[i].end.isEmpty() && after[j].end == lineEnd;
        if (after[j].end != before[i].end && !gainedEnd) {
            return false;
        }
        ++j;
    }
    if (firstNew == j) {
        j += newCount;
    }
    return j == after.size();
}

// The written file is the old one with one line replaced by the key's line,
// or the key's line inserted, or a new section with the key added at the end.
bool onlyTheKeyChanged(const QByteArray &oldData, const QByteArray &newData, const QByteArray &header,
                       const QByteArray &keyLine)
{
    if (oldData.startsWith("\xEF\xBB\xBF") != newData.startsWith("\xEF\xBB\xBF")) {
        return false;
    }
    const QList<FileLine> before = linesOf(oldData);
    const QList<FileLine> after = linesOf(newData);
    for (qsizetype k = 0; k < after.size(); ++k) {
        if (after[k].text != keyLine) {
            continue;
        }
        // A replaced line keeps its own line end, or its lack of one.
        if (after.size() == before.size() && after[k].end == before[k].end && keptAsWere(before, after, k, k, 1)) {
            return true;
        }
        if (after.size() == before.size() + 1 && keptAsWere(before, after, -1, k, 1)) {
            return true;
        }
        if (after.size() == before.size() + 2 && k == after.size() - 1 && after[k - 1].text == header
            && keptAsWere(before, after, -1, k - 1, 2)) {
            return true;
        }
    }
    return false;
}

// Text as the operator may have typed it: a zero-width no-break space at the
// start is a character like any other, not a byte order mark to drop.
QString textOf(const QByteArray &utf8)
{
    QStringDecoder decode(QStringDecoder::Utf8,
                          QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decode(utf8);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return QByteArray();
    }
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size()) {
        fail("cannot write the settings file in", path);
    }
}

// The next whole character of text at pos, a surrogate pair counted as one.
QString characterAt(const QString &text, qsizetype pos)
{
    const qsizetype length = (text[pos].isHighSurrogate() && pos + 1 < text.size()) ? 2 : 1;
    return text.mid(pos, length);
}

// A read under a byte limit gives the longest whole-character start of the
// value that fits; a valid value never comes back with half a character.
void checkCut(const QString &full, const QString &cut, int maxBytes)
{
    if (full.contains(QChar::ReplacementCharacter)) {
        return; // the bytes were no valid text to begin with
    }
    if (!full.startsWith(cut) || cut.toUtf8().size() > maxBytes) {
        fail("a limited read is not a start of the value that fits:", cut);
    }
    if (cut.size() < full.size() && (cut + characterAt(full, cut.size())).toUtf8().size() <= maxBytes) {
        fail("a limited read stopped short of the limit:", cut);
    }
}

const QString Missing = QStringLiteral("\x01missing");

QStringList readAll(const QString &path, int smallLimit)
{
    QStringList values;
    for (const Name &name : names()) {
        const QString full = ProfileFile::readString(name.section, name.key, Missing, path, INT_MAX);
        const QString value = ProfileFile::readString(name.section, name.key, Missing, path, SettingMaxBytes);
        if (value != Missing) {
            if (value.contains(QLatin1Char('\r')) || value.contains(QLatin1Char('\n'))) {
                fail("a value spans lines:", value);
            }
            checkCut(full, value, SettingMaxBytes);
            checkCut(full, ProfileFile::readString(name.section, name.key, Missing, path, smallLimit), smallLimit);
        }
        const QString setting = ReadSetting(name.key, name.section, path);
        if (setting != (value == Missing ? SettingMissing : value)) {
            fail("ReadSetting differs from the file's value:", setting);
        }
        values.append(value);
    }
    return values;
}

QString settingsPath()
{
    // Memory-backed where there is such a folder: every input is a write.
    static QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                 ? QStringLiteral("/dev/shm/fuzz_profilefile-XXXXXX")
                                 : QDir::tempPath() + QStringLiteral("/fuzz_profilefile-XXXXXX"));
    if (!dir.isValid()) {
        fail("no temporary folder");
    }
    return dir.filePath(QStringLiteral("RIGDECK.INI"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString path = settingsPath();
    const bool writes = input.size() >= 2;
    const auto pick = writes ? static_cast<unsigned char>(input[0]) : 0u;
    const qsizetype valueSize = writes ? qMin<qsizetype>(static_cast<unsigned char>(input[1]), input.size() - 2) : 0;
    const QByteArray valueBytes = writes ? input.sliced(2, valueSize) : QByteArray();
    const QByteArray file = writes ? input.sliced(2 + valueSize) : input;
    const int smallLimit = 1 + static_cast<int>(pick >> 5);

    writeFile(path, file);
    const QStringList before = readAll(path, smallLimit);
    if (!writes) {
        return 0;
    }

    const qsizetype target = pick % names().size();
    const Name &name = names()[target];
    const QString value = textOf(valueBytes);
    const bool written = ProfileFile::writeString(name.section, name.key, value, path);
    const QByteArray after = readFile(path);
    if (!writeAccepts(name)) {
        if (written || after != file) {
            fail("a refused name changed the file:", name.section + QLatin1Char('/') + name.key);
        }
        return 0;
    }
    if (!written) {
        fail("a write to a writable file failed:", name.section + QLatin1Char('/') + name.key);
    }

    const QByteArray stored = withoutLineBreaks(value.toUtf8());
    const QByteArray keyLine = withoutLineBreaks(name.key.toUtf8()) + '=' + stored;
    const QByteArray header = '[' + withoutLineBreaks(name.section.toUtf8()) + ']';
    if (!onlyTheKeyChanged(file, after, header, keyLine)) {
        fail("the write changed more than the key's line:", name.section + QLatin1Char('/') + name.key);
    }

    const QStringList now = readAll(path, smallLimit);
    for (qsizetype i = 0; i < names().size(); ++i) {
        const Name &other = names()[i];
        const bool sameKey = sameName(other.section, name.section) && sameName(other.key, name.key);
        if (sameKey && storesExactly(stored) && now[i] != textOf(stored)) {
            fail("the value read back differs from the one written:", now[i]);
        }
        if (!sameKey && now[i] != before[i]) {
            fail("writing one key changed another:", other.section + QLatin1Char('/') + other.key);
        }
    }
    return 0;
}
