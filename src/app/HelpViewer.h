// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <QWidget>

class QPushButton;
class QTextBrowser;

// The help window: one for the whole program, showing an HTML document that
// sits beside the executable. It belongs to the window that last asked for it
// and goes away with that window.
class HelpViewer : public QWidget
{
    Q_OBJECT
public:
    // Shows fileName (a bare name such as "RIGDECK.html") from the document
    // folder at its top, in the one help window, opening the window if needed.
    // A missing document is said so inside the window; no message box.
    static void showContents(QWidget *owner, const QString &fileName);
    // Closes the help window when owner opened it.
    static void quit(QWidget *owner);

    // Where documents are looked for: the executable's folder unless a test
    // names another one (an empty text restores the executable's folder).
    static void setDocumentFolder(const QString &folder);
    static QString documentFolder();

    // The help window while it is open, otherwise nullptr.
    static HelpViewer *openWindow();

    QTextBrowser *browser() const { return m_browser; }
    // The text the window shows when the document is not there.
    static QString missingDocumentText(const QString &path);

private:
    HelpViewer();
    void setOwner(QWidget *owner);
    void showDocument(const QString &fileName);
    void goToTop();
    void updateTitle();

    QTextBrowser *m_browser;
    QPushButton *m_contentsButton;
    QPushButton *m_backButton;
    QPointer<QWidget> m_owner;
    QMetaObject::Connection m_ownerGone;
};

inline constexpr char HelpWindowTitleSource[] = QT_TRANSLATE_NOOP("HelpViewer", "RIGDECK ヘルプ");
inline const QString HelpWindowTitle = QString::fromUtf8(HelpWindowTitleSource);
