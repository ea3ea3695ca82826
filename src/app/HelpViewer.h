// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

// A help window showing an HTML document that sits beside the executable,
// or with an installed program's data. The main window keeps one at most and
// ends it when the program ends.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    // Documents are looked for in folder only, or, when it is empty, beside
    // the executable and then where an installed program keeps them.
    explicit HelpViewer(const QString &folder = QString());

    // Shows fileName (a bare name such as "RIGDECK.html") at its top. A
    // missing document is said so inside the window; no message box.
    void showContents(const QString &fileName);

    QTextBrowser *browser() const { return m_browser; }
    // The text the window shows when the document is not there.
    static QString missingDocumentText(const QString &path);

private:
    QString documentPath(const QString &fileName) const;
    void goToTop();
    void updateTitle();

    QString m_folder;
    QTextBrowser *m_browser;
    QPushButton *m_contentsButton;
    QPushButton *m_backButton;
};

inline constexpr char HelpWindowTitleSource[] = QT_TRANSLATE_NOOP("HelpViewer", "RIGDECK ヘルプ");
inline const QString HelpWindowTitle = QString::fromUtf8(HelpWindowTitleSource);
