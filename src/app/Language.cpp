// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Language {

namespace {
// Marks the translators installed here, so that a second call replaces them.
const QString TranslatorName = QStringLiteral("rigdeck-language");

void installTranslator(const QString &file, const QStringList &folders)
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    translator->setObjectName(TranslatorName);
    for (const QString &folder : folders) {
        if (translator->load(file, folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    }
    delete translator;
}
} // namespace

std::optional<Choice> fromName(const QString &name)
{
    const QLocale locale(name);
    if (name.isEmpty() || locale.language() == QLocale::C) {
        return std::nullopt;
    }
    if (locale.language() == QLocale::Japanese) {
        return Choice::Japanese;
    }
    if (locale.language() == QLocale::English) {
        return Choice::English;
    }
    return std::nullopt;
}

Choice fromSystem(const QStringList &uiLanguages)
{
    for (const QString &name : uiLanguages) {
        if (name == QLatin1String("C") || name == QLatin1String("POSIX")) {
            return Choice::Japanese;
        }
        if (const std::optional<Choice> known = fromName(name)) {
            return *known;
        }
    }
    return Choice::English;
}

Choice choose(const std::optional<Choice> &option)
{
    if (option) {
        return *option;
    }
    const QString variable = qEnvironmentVariable(Variable);
    if (!variable.isEmpty()) {
        if (const std::optional<Choice> named = fromName(variable)) {
            return *named;
        }
        qWarning("rigdeck: %s=%s names no language of the program (ja or en); the system's language decides", Variable,
                 qPrintable(variable));
    }
    return fromSystem(QLocale::system().uiLanguages());
}

void install(Choice choice)
{
    QCoreApplication *application = QCoreApplication::instance();
    for (QTranslator *old : application->findChildren<QTranslator *>(TranslatorName, Qt::FindDirectChildrenOnly)) {
        QCoreApplication::removeTranslator(old);
        delete old;
    }
    if (choice == Choice::English) {
        // Qt's own texts are English already.
        installTranslator(QStringLiteral("rigdeck_en"), {QStringLiteral(":/i18n")});
        return;
    }
    // Beside the executable in a Windows folder; where Qt keeps them elsewhere.
    installTranslator(QStringLiteral("qtbase_ja"),
                      {QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("translations")),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
}

} // namespace Language
