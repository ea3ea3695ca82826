// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/Language.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include <optional>

// The program's options. Their descriptions are read in the language
// installed when the object is made.
class CommandLine
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
public:
    CommandLine();

    // Takes the arguments apart, including the program's name, without
    // needing an application object. False when an option is unknown or
    // lacks its value, or the language named is none the program has.
    bool parse(const QStringList &arguments);

    // --help, --version or a language the program does not have: answered
    // on the console, with no window.
    bool answersAlone() const;
    // --help-all lists the window system's options too, so it needs the
    // window system's application object.
    bool helpAll() const { return m_parser.isSet(QStringLiteral("help-all")); }
    // Prints what answersAlone() promised (the running application's
    // language) and gives the exit status.
    int answer() const;
    // The window system's options taken off, every other word is checked:
    // help, version and wrong words end the program here, as Qt does.
    void process(const QCoreApplication &application);

    std::optional<Language::Choice> language() const;
    bool demo() const { return m_parser.isSet(m_demo); }
    QString ini() const { return m_parser.value(m_ini); }
    QString trace() const { return m_parser.value(m_trace); }

    // --help's text, in the installed language.
    QString helpText() const;

private:
    bool languageUnknown() const;

    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_helpAll;
    QCommandLineOption m_version;
    QCommandLineOption m_demo;
    QCommandLineOption m_ini;
    QCommandLineOption m_trace;
    QCommandLineOption m_language;
};
