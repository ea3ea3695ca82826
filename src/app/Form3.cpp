// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Form3.h"

#include "ui/Accessibility.h"
#include "ui/OleColor.h"
#include "ui/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

Form3::Form3(QWidget *parent)
    : QWidget(parent, Qt::Dialog)
{
    Accessibility::presentDialogsAsDialogs();
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(tr("バージョン", "window title"));
    // Closing discards the window; the next request builds it afresh.
    setAttribute(Qt::WA_DeleteOnClose);
    // A little taller than drawn, so that the disclaimer fits in full.
    setFixedSize(4935 / TwipsPerPixel, 4020 / TwipsPerPixel);

    m_frame1 = new QGroupBox(tr("プログラム名称"), this);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twips(180, 240, 3375, 990));
    m_label1 = new QLabel(tr("ＲＩＧＤＥＣＫ"), m_frame1);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twips(510, 360, 2490, 390));

    m_frame2 = new QGroupBox(tr("プログラムバージョン"), this);
    m_frame2->setObjectName(QStringLiteral("Frame2"));
    m_frame2->setGeometry(twips(180, 1455, 3390, 765));
    m_label2 = new QLabel(tr("バージョン", "label"), m_frame2);
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setGeometry(twips(495, 315, 960, 315));
    m_label4 = new QLabel(ProgramVersion, m_frame2);
    m_label4->setObjectName(QStringLiteral("Label4"));
    // As tall as its neighbour: drawn at 10 pixels it would cut the text.
    m_label4->setGeometry(twips(1710, 315, 915, 315));

    m_frame3 = new QGroupBox(tr("免責事項"), this);
    m_frame3->setObjectName(QStringLiteral("Frame3"));
    m_frame3->setGeometry(twips(210, 2340, 3390, 1560));
    m_label3 = new QLabel(tr(DisclaimerSource), m_frame3);
    m_label3->setObjectName(QStringLiteral("Label3"));
    m_label3->setWordWrap(true);
    m_label3->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label3->setAutoFillBackground(true);
    QPalette notice = m_label3->palette();
    notice.setColor(QPalette::Window, OleColor::toQColor(OleColor::LightYellow));
    notice.setColor(QPalette::WindowText, OleColor::toQColor(OleColor::Red));
    m_label3->setPalette(notice);
    m_label3->setGeometry(twips(150, 300, 3090, 1170));

    m_command1 = new QPushButton(tr("閉じる"), this);
    m_command1->setObjectName(QStringLiteral("Command1"));
    m_command1->setGeometry(twips(3870, 2970, 915, 615));
    connect(m_command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    Accessibility::describe(m_command1, m_command1->text(), tr("バージョン情報を閉じます。"));
}

void Form3::Command1_Click()
{
    close();
}
