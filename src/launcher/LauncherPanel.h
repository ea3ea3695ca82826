// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QObject>
#include <QString>

class QGroupBox;
class QPushButton;
class QWidget;

// The button that starts the companion spectrum and waterfall display.
class LauncherPanel : public QObject
{
    Q_OBJECT
public:
    explicit LauncherPanel(QWidget *window);

    QGroupBox *Frame12() const { return m_frame12; }
    QPushButton *Command15() const { return m_command15; }

    void Command15_Click();

    // Where the companion is looked for first; the executable's folder unless
    // a test says otherwise.
    void setProgramFolder(const QString &folder) { m_programFolder = folder; }

private:
    QGroupBox *m_frame12;
    QPushButton *m_command15;
    QString m_programFolder;
};

inline const QString CompanionProgram = QStringLiteral("WAVESCOPE.exe");
inline constexpr char CompanionMissingText[] = QT_TRANSLATE_NOOP(
    "LauncherPanel",
    "WAVESCOPE.EXEがインストールされていません。 WAVESCOPE.EXEをダウンロードし同じホルダーにインストールしてください｡ ");
inline const QString CompanionMissingMessage = QString::fromUtf8(CompanionMissingText);
