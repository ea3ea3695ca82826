// SPDX-License-Identifier: GPL-3.0-or-later
#include "settings/Settings.h"

#include "settings/ProfileFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QTemporaryFile>
#endif

namespace {

bool folderIsWritable(const QString &folder)
{
#ifdef Q_OS_WIN
    // Folder permissions there are not reflected by QFileInfo (e.g. Program Files
    // looks writable); only trying to create a file tells.
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("rigdeck-XXXXXX.tmp")));
    return probe.open();
#else
    return QFileInfo(folder).isWritable();
#endif
}

StoreFailureHandler &storeFailureHandler()
{
    static StoreFailureHandler handler;
    return handler;
}

// A bare file name means the settings folder, not whatever the current folder happens to be.
QString resolveSettingsFile(const QString &file)
{
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file.contains(QLatin1Char('\\'))
        || !QFileInfo(file).isRelative()) {
        return file;
    }
    return QFileInfo(SettingsFilePath()).dir().filePath(file);
}

} // namespace

namespace Key {

QString recTime(int i)
{
    return QStringLiteral("REC_TIME") + QString::number(i);
}

QString comment(int i)
{
    return QStringLiteral("COMMENT") + QString::number(i);
}

QString device(int port)
{
    return QStringLiteral("COM") + QString::number(port);
}

} // namespace Key

QString ReadSetting(const QString &key, const QString &section, const QString &file)
{
    return ProfileFile::readString(section, key, SettingMissing, resolveSettingsFile(file), SettingMaxBytes);
}

QStringList ReadSettings(const QList<std::pair<QString, QString>> &keys, const QString &file)
{
    QList<ProfileFile::Name> names;
    for (const auto &[key, section] : keys) {
        names.append({section, key});
    }
    return ProfileFile::readStrings(names, SettingMissing, resolveSettingsFile(file), SettingMaxBytes);
}

bool WriteSetting(const QString &value, const QString &key, const QString &section, const QString &file)
{
    const QString path = resolveSettingsFile(file);
    bool stored = false;
    if (!path.isEmpty()) {
        // The per-user folder does not exist until the first value is stored.
        const QString folder = QFileInfo(path).absolutePath();
        if (!QFileInfo::exists(folder)) {
            QDir().mkpath(folder);
        }
        stored = ProfileFile::writeString(section, key, value, path);
    }
    if (!stored) {
        // The window goes on with the new value; the operator who looks is told it was not kept.
        qWarning("rigdeck: could not store %s in section %s of the settings file %s", qPrintable(key),
                 qPrintable(section), qPrintable(QDir::toNativeSeparators(path)));
        if (storeFailureHandler()) {
            storeFailureHandler()(key, section, path);
        }
    }
    return stored;
}

StoreFailureHandler setStoreFailureHandler(StoreFailureHandler handler)
{
    return std::exchange(storeFailureHandler(), std::move(handler));
}

QString SettingsFilePath()
{
    const QString chosen = qEnvironmentVariable("RIGDECK_INI");
    if (!chosen.isEmpty()) {
        // Relative to the folder the program was started in.
        return QDir::current().absoluteFilePath(chosen);
    }
    const QString fileName = QLatin1String(SettingsFileName);
    if (QCoreApplication::instance()) {
        const QString programFolder = QCoreApplication::applicationDirPath();
        const QString besideProgram = QDir(programFolder).filePath(fileName);
        // An installed program (its data in ../share/rigdeck) keeps settings
        // per user even when its folder is writable, as it is to root: one
        // run under sudo must not leave a file there that every user then
        // reads and nobody else can write.
        const bool installed = QFileInfo(QDir(programFolder).filePath(QStringLiteral("../share/rigdeck"))).isDir();
        if (QFileInfo::exists(besideProgram) || (!installed && folderIsWritable(programFolder))) {
            return besideProgram;
        }
    }
    const QString configFolder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(configFolder).filePath(QStringLiteral("rigdeck/") + fileName);
}
