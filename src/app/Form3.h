// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QWidget>

class QGroupBox;
class QLabel;
class QPushButton;

// The version window: program name, version and disclaimer.
class Form3 : public QWidget
{
    Q_OBJECT
public:
    explicit Form3(QWidget *parent = nullptr);

    void Command1_Click();

    QGroupBox *Frame1() const { return m_frame1; }
    QGroupBox *Frame2() const { return m_frame2; }
    QGroupBox *Frame3() const { return m_frame3; }
    QLabel *Label1() const { return m_label1; }
    QLabel *Label2() const { return m_label2; }
    QLabel *Label3() const { return m_label3; }
    QLabel *Label4() const { return m_label4; }
    QPushButton *Command1() const { return m_command1; }

private:
    QGroupBox *m_frame1;
    QGroupBox *m_frame2;
    QGroupBox *m_frame3;
    QLabel *m_label1;
    QLabel *m_label2;
    QLabel *m_label3;
    QLabel *m_label4;
    QPushButton *m_command1;
};

inline const QString ProgramVersion = QStringLiteral("V1.00");
inline constexpr char DisclaimerSource[] = QT_TRANSLATE_NOOP(
    "Form3", "免責：このプログラムの使用により発生したいかなる問題や損害に対して、当方は一切責任を負いません。"
             "利用者の責任においてご利用願います。");
inline const QString DisclaimerText = QString::fromUtf8(DisclaimerSource);
