// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The language of everything the program shows. The program is written in
// Japanese; English comes from its translation. Commands, memory texts and
// stored settings are the same in both.
namespace Language {

enum class Choice { Japanese, English };

// The environment variable that chooses the language when no option does.
inline constexpr char Variable[] = "RIGDECK_LANGUAGE";

// "ja" or "en", or any locale name of those languages ("ja_JP", "en-GB");
// nothing for another language or a name that is none.
std::optional<Choice> fromName(const QString &name);

// The first of the system's user-interface languages that the program has.
// A system that names only other languages gets English; the "C" locale (no
// language set at all) keeps the program Japanese.
Choice fromSystem(const QStringList &uiLanguages);

// The explicit option's value when there is one, else the environment
// variable's (ignored with a warning when it names no language the program
// has), else the system's languages.
Choice choose(const std::optional<Choice> &option);

// Installs the program's translation and Qt's own for the choice on the
// running application, replacing what an earlier call installed.
void install(Choice choice);

} // namespace Language
