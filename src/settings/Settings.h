// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <utility>

// The program's stored values, kept in one INI file.

inline constexpr char SettingsFileName[] = "RIGDECK.INI";

namespace Section {
inline const QString Com = QStringLiteral("COM");
inline const QString Rec = QStringLiteral("REC");
inline const QString Voice = QStringLiteral("VOICE");
// What each port number names: a serial device, or a radio across the network.
inline const QString Device = QStringLiteral("DEVICE");
} // namespace Section

namespace Key {
inline const QString Port = QStringLiteral("PORT");
// "REC_TIME" followed by the number, e.g. REC_TIME2.
QString recTime(int i);
// "COMMENT" followed by the number, e.g. COMMENT3.
QString comment(int i);
// "COM" followed by the port number, e.g. COM2 in section DEVICE.
QString device(int port);
} // namespace Key

// What ReadSetting gives back for a value that is not stored.
inline const QString SettingMissing = QStringLiteral("ERROR");

// The most bytes of a stored value that a read gives back.
inline constexpr int SettingMaxBytes = 254;

// In the functions below, file is a path, or a bare file name such as SettingsFileName, which is looked for in the
// folder of SettingsFilePath().

// The stored value (at most SettingMaxBytes bytes of it), or SettingMissing.
QString ReadSetting(const QString &key, const QString &section, const QString &file);
// The same for several keys, {key, section} each, from one reading of the file.
QStringList ReadSettings(const QList<std::pair<QString, QString>> &keys, const QString &file);
// Creates the settings folder when it does not exist yet. false, a warning on stderr and a call of the failure handler
// when the value could not be stored.
bool WriteSetting(const QString &value, const QString &key, const QString &section, const QString &file);

// Told of every value that could not be stored (the window says so); none by default. Returns the previous handler.
using StoreFailureHandler = std::function<void(const QString &key, const QString &section, const QString &file)>;
StoreFailureHandler setStoreFailureHandler(StoreFailureHandler handler);

// Where the settings file lives: RIGDECK.INI beside the executable when it exists there or when that folder is
// writable; otherwise <per-user config folder>/rigdeck/RIGDECK.INI. Computed afresh on every call. The environment
// variable RIGDECK_INI, when set, names the file instead (used by tests and for running several setups); a relative
// name there is relative to the current folder, and comes back as an absolute path.
QString SettingsFilePath();
