// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommandLine.h"

#include <QList>

#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {
// Columns a terminal gives the text: two for a Japanese character.
qsizetype columns(const QString &text)
{
    qsizetype width = 0;
    for (const QChar c : text) {
        width += c.unicode() >= 0x1100 ? 2 : 1;
    }
    return width;
}

void print(const QString &text, bool error)
{
#ifdef Q_OS_WIN
    // A program started from Explorer has no console to print on; Qt shows
    // its own answers in a message box then, and so does this.
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    if (!GetConsoleWindow() && !(startup.dwFlags & STARTF_USESTDHANDLES)) {
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t *>(text.utf16()),
                    reinterpret_cast<const wchar_t *>(QCoreApplication::applicationName().utf16()),
                    MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
        return;
    }
#endif
    std::fputs(text.toLocal8Bit().constData(), error ? stderr : stdout);
}
} // namespace

CommandLine::CommandLine()
    : m_help({QStringLiteral("h"), QStringLiteral("help")}, tr("このヘルプを表示して終了します。"))
    , m_helpAll(QStringLiteral("help-all"), tr("Qt のオプションも含めたヘルプを表示して終了します。"))
    , m_version({QStringLiteral("v"), QStringLiteral("version")}, tr("バージョンを表示して終了します。"))
    , m_demo(QStringLiteral("demo"), tr("シリアルポートの代わりに、内蔵の模擬 FT2000 を相手に動きます。"))
    , m_ini(QStringLiteral("ini"), tr("この設定ファイルを使います。"), tr("ファイル"))
    , m_trace(QStringLiteral("trace"), tr("送ったコマンドと受け取った応答を、時刻を付けてこのファイルに追記します。"),
              tr("ファイル"))
    , m_language(QStringLiteral("language"),
                 tr("表示の言語: ja (日本語) または en (英語)。指定がなければ環境変数 %1 が、"
                    "それもなければシステムの言語が決めます。")
                     .arg(QLatin1String(Language::Variable)),
                 tr("言語"))
{
    m_parser.setApplicationDescription(tr("FT2000 トランシーバーを CAT のシリアル回線で操作します。"));
    // Qt's own help and version options: Qt answers --help-all itself, and
    // lists the window system's options with it.
    m_parser.addHelpOption();
    m_parser.addVersionOption();
    m_parser.addOptions({m_demo, m_ini, m_trace, m_language});
}

bool CommandLine::parse(const QStringList &arguments)
{
    return m_parser.parse(arguments) && !languageUnknown();
}

bool CommandLine::languageUnknown() const
{
    return m_parser.isSet(m_language) && !Language::fromName(m_parser.value(m_language));
}

std::optional<Language::Choice> CommandLine::language() const
{
    return Language::fromName(m_parser.value(m_language));
}

bool CommandLine::answersAlone() const
{
    return m_parser.isSet(QStringLiteral("help")) || m_parser.isSet(QStringLiteral("version")) || languageUnknown();
}

int CommandLine::answer() const
{
    if (languageUnknown()) {
        print(QCoreApplication::applicationName() + QStringLiteral(": ")
                  + tr("%1 は RIGDECK の言語ではありません (ja または en)。").arg(m_parser.value(m_language))
                  + QLatin1Char('\n'),
              true);
        return 1;
    }
    if (m_parser.isSet(QStringLiteral("help"))) {
        print(helpText(), false);
        return 0;
    }
    print(QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion()
              + QLatin1Char('\n'),
          false);
    return 0;
}

void CommandLine::process(const QCoreApplication &application)
{
    m_parser.process(application);
}

QString CommandLine::helpText() const
{
    const QList<const QCommandLineOption *> options = {&m_help, &m_helpAll, &m_version, &m_demo,
                                                       &m_ini,  &m_trace,   &m_language};
    QStringList forms;
    qsizetype width = 0;
    for (const QCommandLineOption *option : options) {
        QStringList names;
        for (const QString &name : option->names()) {
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        }
        QString form = names.join(QStringLiteral(", "));
        if (!option->valueName().isEmpty()) {
            form += QStringLiteral(" <") + option->valueName() + QLatin1Char('>');
        }
        forms << form;
        width = qMax(width, columns(form));
    }
    QString text = tr("使い方: %1 [オプション]").arg(QCoreApplication::applicationName()) + QLatin1Char('\n')
                   + m_parser.applicationDescription() + QStringLiteral("\n\n") + tr("オプション:") + QLatin1Char('\n');
    for (qsizetype i = 0; i < options.size(); ++i) {
        text += QStringLiteral("  ") + forms[i] + QString(width - columns(forms[i]) + 2, QLatin1Char(' '))
                + options[i]->description() + QLatin1Char('\n');
    }
    return text;
}
