// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "settings/Settings.h"

#include <QList>
#include <QString>
#include <QStringList>

// INI files read and written the way the Windows profile functions do it, so a
// file edited by hand, by older tools or by us is understood the same by all.
//
// Names of sections and keys match case-insensitively (ASCII) with blanks
// (space, tab, VT, FF, ^Z) around them ignored; the first of duplicate
// sections or keys counts. A header's name runs to the last "]" of its line;
// a line starting with "[" without "]" is no header. A value read ends at its
// first NUL. Text is in the platform's narrow code page
// (QString::toLocal8Bit); everything in the file we do not change is kept
// byte for byte.
namespace ProfileFile {

// Value of key in section of the file at path, or defaultValue when the file, section or key is missing.
// At most maxBytes bytes (in the platform's narrow code page) of the value come back.
QString readString(const QString &section, const QString &key, const QString &defaultValue, const QString &path,
                   int maxBytes = SettingMaxBytes);

// The values of several keys, from one reading of the file, each as readString gives it.
struct Name {
    QString section;
    QString key;
};
QStringList readStrings(const QList<Name> &names, const QString &defaultValue, const QString &path,
                        int maxBytes = SettingMaxBytes);

// Creates the file, section or key as needed, replaces an existing value. false when the file could not be written,
// also when another writer's lock on it is not given up within a second. A path that is a link changes the file the
// link names (made if need be), not the link. The folder must already exist. A section name that is blank or holds
// "]" (which readers that end a name at its first "]" take for another), and a key name that is blank, holds "=" or
// starts with "[", are refused (false) because they would read back as something else. Line breaks in section, key
// and value are dropped so a value can never turn into further lines of the file.
bool writeString(const QString &section, const QString &key, const QString &value, const QString &path);

} // namespace ProfileFile
