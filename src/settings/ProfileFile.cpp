// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/ProfileFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStringDecoder>
#include <QThread>

#ifdef Q_OS_WIN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif

#include <chrono>

namespace {

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

// Another writer of the same file holds the lock only for one read-modify-write,
// a few milliseconds. Writes run on the window's thread, so a lock that is not
// given up within this time is taken for stuck and the write reported as failed;
// a lock file older than this that its owner no longer guards is taken over.
constexpr std::chrono::milliseconds LockWait{1000};
constexpr std::chrono::milliseconds LockStaleAfter{1000};

// Blanks around names and values as the Windows profile functions see them:
// space, tab, VT, FF and ^Z.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\x0b' || c == '\x0c' || c == '\x1a';
}

bool isLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Other control bytes belong to the name or value.
QByteArrayView trimBlanks(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(text[end - 1])) {
        --end;
    }
    return text.sliced(begin, end - begin);
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// ASCII only: bytes of multibyte characters must match exactly, or e.g. UTF-8
// continuation bytes would be folded as if they were Latin-1 letters.
bool sameName(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size()) {
        return false;
    }
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

QByteArray withoutLineBreaks(QByteArray text)
{
    text.removeIf([](char c) { return isLineBreak(c); });
    return text;
}

struct Line {
    qsizetype begin = 0; // first byte of the line's text
    qsizetype end = 0;   // one past the text, where the line end starts
    qsizetype next = 0;  // start of the following line; equals end for a last line without line end
};

// Walks the lines of a file once, accepting CRLF, LF and CR as line ends.
class LineReader
{
public:
    explicit LineReader(QByteArrayView data)
        : m_data(data)
        , m_pos(data.startsWith(Utf8Bom) ? Utf8Bom.size() : 0)
    {
    }

    bool next(Line &line)
    {
        const qsizetype size = m_data.size();
        if (m_pos >= size) {
            return false;
        }
        const char *bytes = m_data.data();
        qsizetype i = m_pos;
        while (i < size && !isLineBreak(bytes[i])) {
            ++i;
        }
        line.begin = m_pos;
        line.end = i;
        if (i < size) {
            i += (bytes[i] == '\r' && i + 1 < size && bytes[i + 1] == '\n') ? 2 : 1;
        }
        line.next = i;
        m_pos = i;
        return true;
    }

private:
    QByteArrayView m_data;
    qsizetype m_pos;
};

enum class LineKind { Blank, Section, Key, Other };

struct ParsedLine {
    LineKind kind = LineKind::Other;
    QByteArrayView name;  // section or key name without surrounding blanks
    QByteArrayView value; // key value without surrounding blanks, quotes still on
};

ParsedLine parseLine(QByteArrayView text)
{
    ParsedLine parsed;
    const QByteArrayView content = trimBlanks(text);
    if (content.isEmpty()) {
        parsed.kind = LineKind::Blank;
        return parsed;
    }
    // A header's name runs to the last "]" of its line; what follows it is
    // ignored. A line starting with "[" but without "]" is no header: it is an
    // ordinary line of the section it stands in.
    if (content.front() == '[') {
        const qsizetype close = content.lastIndexOf(']');
        if (close > 0) {
            parsed.kind = LineKind::Section;
            parsed.name = trimBlanks(content.sliced(1, close - 1));
            return parsed;
        }
    }
    const qsizetype equals = content.indexOf('=');
    if (equals < 0) {
        return parsed;
    }
    parsed.kind = LineKind::Key;
    parsed.name = trimBlanks(content.first(equals));
    parsed.value = trimBlanks(content.sliced(equals + 1));
    return parsed;
}

QByteArrayView withoutQuotes(QByteArrayView value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.sliced(1, value.size() - 2);
    }
    return value;
}

// A value is handed over as a C string: it ends at its first NUL.
QByteArrayView toFirstNul(QByteArrayView value)
{
    const qsizetype nul = value.indexOf('\0');
    return nul < 0 ? value : value.first(nul);
}

bool isUtf8Continuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

qsizetype utf8SequenceLength(char lead)
{
    const auto byte = static_cast<unsigned char>(lead);
    if (byte >= 0xF0 && byte <= 0xF7) {
        return 4;
    }
    if (byte >= 0xE0) {
        return 3;
    }
    if (byte >= 0xC0) {
        return 2;
    }
    return 1;
}

// Cutting at maxBytes may split a multibyte character; the cut backs off to the
// start of that character so the caller never gets half a character as junk.
QByteArrayView cutUtf8(QByteArrayView value, qsizetype maxBytes)
{
    qsizetype start = maxBytes;
    while (start > 0 && maxBytes - start < 3 && isUtf8Continuation(value[start])) {
        --start;
    }
    if (start < maxBytes && !isUtf8Continuation(value[start]) && start + utf8SequenceLength(value[start]) > maxBytes) {
        return value.first(start);
    }
    // Stray continuation bytes that belong to no character are cut where they fall.
    return value.first(maxBytes);
}

QByteArrayView cutToBytes(QByteArrayView value, qsizetype maxBytes)
{
    if (maxBytes <= 0) {
        return {};
    }
    if (value.size() <= maxBytes) {
        return value;
    }
#ifdef Q_OS_WIN
    if (GetACP() != CP_UTF8) {
        // Double-byte code pages: walk whole characters from the start, since a
        // trail byte cannot be told from a single-byte character on its own.
        qsizetype kept = 0;
        while (kept < value.size()) {
            const bool doubleByte = IsDBCSLeadByteEx(CP_ACP, static_cast<BYTE>(value[kept])) && kept + 1 < value.size();
            const qsizetype step = doubleByte ? 2 : 1;
            if (kept + step > maxBytes) {
                break;
            }
            kept += step;
        }
        return value.first(kept);
    }
#endif
    return cutUtf8(value, maxBytes);
}

QByteArray platformLineEnd()
{
#ifdef Q_OS_WIN
    return QByteArrayLiteral("\r\n");
#else
    return QByteArrayLiteral("\n");
#endif
}

// New lines follow the style the file already uses, judged by its first line end.
QByteArray lineEndOf(QByteArrayView data)
{
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == '\n') {
            return QByteArrayLiteral("\n");
        }
        if (data[i] == '\r') {
            return (i + 1 < data.size() && data[i + 1] == '\n') ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\r");
        }
    }
    return platformLineEnd();
}

bool isReadOnly(const QFileInfo &info)
{
    if (!info.isWritable()) {
        return true;
    }
    // isWritable() asks the system whether we may write, which is always yes for an
    // administrator; a file nobody may write was made read-only on purpose and stays so.
#ifdef Q_OS_WIN
    // There the read-only attribute already answers isWritable() for everyone.
    return false;
#else
    const QFile::Permissions anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return !(info.permissions() & anyWrite);
#endif
}

// The file a write to path really changes: links followed to the file they
// name (which need not exist yet), folder links resolved, so that every path
// to one file locks and writes the same. Empty when there is no such file to
// be had: a loop of links, a missing folder.
QString writtenFile(const QString &path)
{
    QFileInfo info(path);
    for (int links = 0; info.isSymLink(); ++links) {
        if (links == 40) {
            return QString();
        }
        info.setFile(info.symLinkTarget());
    }
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    if (folder.isEmpty() || info.fileName().isEmpty()) {
        return QString();
    }
    return QDir(folder).filePath(info.fileName());
}

// Takes the lock within the wait, asking often: another writer that writes
// one value after another frees the lock only for a moment each time, and
// a waiter that slept for long stretches would miss every one of them.
bool lockWithin(QLockFile &lock, std::chrono::milliseconds wait)
{
    const QDeadlineTimer deadline(wait);
    for (;;) {
        // Also takes over a lock found stale.
        if (lock.tryLock(0)) {
            return true;
        }
        if (lock.error() != QLockFile::LockFailedError || deadline.hasExpired()) {
            return false;
        }
        QThread::usleep(QRandomGenerator::global()->bounded(500, 3000));
    }
}

// The current content of the file to be rewritten; an empty text for a file that
// does not exist yet. false when the file exists but must not or cannot be replaced,
// as writing then would lose what it holds.
bool loadForRewrite(const QString &path, QByteArray &data)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        data.clear();
        return !info.isSymLink(); // a dangling link would be replaced by a plain file
    }
    if (!info.isFile() || isReadOnly(info)) {
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.isSequential()) {
        return false;
    }
    data = file.readAll();
    return file.error() == QFile::NoError;
}

QByteArray keyLine(const QByteArray &key, const QByteArray &value)
{
    return key + '=' + value;
}

// The file's bytes with the key set: the key's line replaced, or a new line added
// to the section, or a new section added at the end. Nothing else changes.
QByteArray withSetting(const QByteArray &data, const QByteArray &section, const QByteArray &key,
                       const QByteArray &value)
{
    const QByteArrayView sectionName = trimBlanks(section);
    const QByteArrayView keyName = trimBlanks(key);
    const QByteArray lineEnd = lineEndOf(data);

    LineReader reader(data);
    Line line;
    Line anchor; // last non-blank line of the section, where a new key goes after
    bool inSection = false;
    bool sectionFound = false;
    while (reader.next(line)) {
        const ParsedLine parsed = parseLine(QByteArrayView(data).sliced(line.begin, line.end - line.begin));
        if (parsed.kind == LineKind::Section) {
            if (inSection) {
                break;
            }
            if (sameName(parsed.name, sectionName)) {
                inSection = true;
                sectionFound = true;
                anchor = line;
            }
            continue;
        }
        if (!inSection) {
            continue;
        }
        if (parsed.kind == LineKind::Key && sameName(parsed.name, keyName)) {
            // The line's own line end (or lack of one) is kept as it is.
            return data.left(line.begin) + keyLine(key, value) + data.mid(line.end);
        }
        if (parsed.kind != LineKind::Blank) {
            anchor = line;
        }
    }

    if (sectionFound) {
        QByteArray result = data.left(anchor.next);
        if (anchor.next == anchor.end) {
            result += lineEnd;
        }
        // A lone CR before the LF of the next line would join the two into
        // one line end, and a line of the file would be lost: the new line
        // then ends as the one before it does.
        const bool joins = lineEnd == "\r" && data.mid(anchor.next).startsWith('\n');
        result += keyLine(key, value) + (joins ? data.mid(anchor.end, anchor.next - anchor.end) : lineEnd);
        result += data.mid(anchor.next);
        return result;
    }

    QByteArray result = data;
    const qsizetype bomSize = data.startsWith(Utf8Bom) ? Utf8Bom.size() : 0;
    if (result.size() > bomSize && !isLineBreak(result.back())) {
        result += lineEnd;
    }
    result += '[' + section + ']' + lineEnd + keyLine(key, value) + lineEnd;
    return result;
}

// A value comes from the middle of the file: a zero-width no-break space at its
// start is a character of it, not a byte order mark to drop as the plain
// conversion would.
QString textOf(QByteArrayView value)
{
    QStringDecoder decode(QStringConverter::System,
                          QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    return decode(value);
}

// A lock on the settings file itself, for a file whose folder cannot be
// written (set up there for the operator by an administrator): no lock file
// can be made beside it. Every writer of ours that finds the folder so takes
// this lock instead.
class InPlaceLock
{
public:
    bool lockWithin(const QString &path, std::chrono::milliseconds wait)
    {
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::ReadWrite)) {
            return false;
        }
        const QDeadlineTimer deadline(wait);
        while (!tryLock()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::usleep(QRandomGenerator::global()->bounded(500, 3000));
        }
        return true;
    }

private:
    bool tryLock()
    {
#ifdef Q_OS_WIN
        // A range far beyond the end: locks on Windows keep other handles from
        // the bytes they cover, and the writer needs the real ones.
        OVERLAPPED beyond{};
        beyond.OffsetHigh = 0x7FFFFFFF;
        return LockFileEx(HANDLE(_get_osfhandle(m_file.handle())), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY,
                          0, 1, 0, &beyond);
#else
        return ::flock(m_file.handle(), LOCK_EX | LOCK_NB) == 0;
#endif
    }

    QFile m_file; // closing it gives the lock up
};

bool replaceFile(const QString &path, const QByteArray &content)
{
    // Temp file plus rename: a crash or a full disk leaves the old file whole.
    // Where no file can be made beside it, it is written in place.
    QSaveFile out(path);
    out.setDirectWriteFallback(true);
    if (!out.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (out.write(content) != content.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

namespace ProfileFile {

QString readString(const QString &section, const QString &key, const QString &defaultValue, const QString &path,
                   int maxBytes)
{
    return readStrings({{section, key}}, defaultValue, path, maxBytes).constFirst();
}

QStringList readStrings(const QList<Name> &names, const QString &defaultValue, const QString &path, int maxBytes)
{
    QStringList values(names.size(), defaultValue);
    if (path.isEmpty()) {
        return values;
    }
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) || file.isSequential()) {
        return values;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFile::NoError) {
        return values;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QByteArray sectionText = names[i].section.toLocal8Bit();
        const QByteArray keyText = names[i].key.toLocal8Bit();
        const QByteArrayView sectionName = trimBlanks(sectionText);
        const QByteArrayView keyName = trimBlanks(keyText);

        LineReader reader(data);
        Line line;
        bool inSection = false;
        while (reader.next(line)) {
            const ParsedLine parsed = parseLine(QByteArrayView(data).sliced(line.begin, line.end - line.begin));
            if (parsed.kind == LineKind::Section) {
                if (inSection) {
                    break; // only the first section of that name counts
                }
                inSection = sameName(parsed.name, sectionName);
                continue;
            }
            if (inSection && parsed.kind == LineKind::Key && sameName(parsed.name, keyName)) {
                values[i] = textOf(cutToBytes(toFirstNul(withoutQuotes(parsed.value)), maxBytes));
                break;
            }
        }
    }
    return values;
}

bool writeString(const QString &section, const QString &key, const QString &value, const QString &path)
{
    const QByteArray sectionText = withoutLineBreaks(section.toLocal8Bit());
    const QByteArray keyText = withoutLineBreaks(key.toLocal8Bit());
    const QByteArray valueText = withoutLineBreaks(value.toLocal8Bit());
    const QByteArrayView sectionName = trimBlanks(sectionText);
    const QByteArrayView keyName = trimBlanks(keyText);
    if (path.isEmpty() || sectionName.isEmpty() || sectionName.contains(']')) {
        return false;
    }
    if (keyName.isEmpty() || keyName.contains('=') || keyName.startsWith('[')) {
        return false;
    }

    const QString file = writtenFile(path);
    if (file.isEmpty()) {
        return false;
    }
    // Two writers reading the same old file would each drop the other's change.
    QLockFile lock(file + QStringLiteral(".lock"));
    lock.setStaleLockTime(LockStaleAfter);
    InPlaceLock inPlace;
    if (!lockWithin(lock, LockWait)
        && (lock.error() != QLockFile::PermissionError || !inPlace.lockWithin(file, LockWait))) {
        return false;
    }

    QByteArray data;
    if (!loadForRewrite(file, data)) {
        return false;
    }
    const QByteArray updated = withSetting(data, sectionText, keyText, valueText);
    if (updated == data && QFileInfo::exists(file)) {
        return true;
    }
    return replaceFile(file, updated);
}

} // namespace ProfileFile
