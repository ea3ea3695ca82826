// SPDX-License-Identifier: GPL-3.0-or-later
#include "keyer/KeyerPanel.h"

#include "ui/Accessibility.h"
#include "ui/Twips.h"
#include "radio/Radio.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>

KeyerPanel::KeyerPanel(Radio &radio, QWidget *window)
    : QObject(window)
    , m_radio(radio)
{
    m_frame1 = new QGroupBox(tr("コンテストメモリーキーヤー"), window);
    m_frame1->setObjectName(QStringLiteral("Frame1"));
    m_frame1->setGeometry(twips(180, 60, 10425, 3645));
    Accessibility::nameAfterTitle(m_frame1);

    constexpr int labelX = 16, textX = 64, textWidth = 420, buttonWidth = 84;
    constexpr int textButtonX = textX + textWidth + 14, messageButtonX = textButtonX + buttonWidth + 14;
    constexpr int headerY = 24, firstRowY = 48, rowPitch = 38, rowHeight = 28;

    auto *label3 = new QLabel(QStringLiteral("TEXT"), m_frame1);
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setAlignment(Qt::AlignCenter);
    label3->setGeometry(textButtonX, headerY, buttonWidth, 20);
    auto *label4 = new QLabel(QStringLiteral("MESSAGE"), m_frame1);
    label4->setObjectName(QStringLiteral("Label4"));
    label4->setAlignment(Qt::AlignCenter);
    label4->setGeometry(messageButtonX, headerY, buttonWidth, 20);

    const QString textMemoryTip = tr("あらかじめＦＴ２０００に登録が必要です。ＰＡＮＥＬＳＹＮＣでも登録可能");
    const QString keyerButtonTip = tr("送信は、ＢＫ＿ＩＮをＯＮ　テストはＢＫ＿ＩＮをＯＦＦ");
    const int channels = m_radio.capabilities().keyerMemories;
    m_label1.resize(channels);
    m_text1.resize(channels);
    m_command1.resize(channels);
    m_command2.resize(channels);
    for (int i = 0; i < channels; ++i) {
        const QString channel = QStringLiteral("CH-%1").arg(i + 1);
        const int y = firstRowY + i * rowPitch;

        m_label1[i] = new QLabel(channel, m_frame1);
        m_label1[i]->setObjectName(QStringLiteral("Label1_%1").arg(i));
        m_label1[i]->setGeometry(labelX, y, textX - labelX - 4, rowHeight);

        m_text1[i] = new QLineEdit(m_frame1);
        m_text1[i]->setObjectName(QStringLiteral("Text1_%1").arg(i));
        m_text1[i]->setToolTip(textMemoryTip);
        m_text1[i]->setGeometry(textX, y, textWidth, rowHeight);

        m_command1[i] = new QPushButton(channel, m_frame1);
        m_command1[i]->setObjectName(QStringLiteral("Command1_%1").arg(i));
        m_command1[i]->setToolTip(keyerButtonTip);
        m_command1[i]->setGeometry(textButtonX, y, buttonWidth, rowHeight);
        connect(m_command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });

        m_command2[i] = new QPushButton(channel, m_frame1);
        m_command2[i]->setObjectName(QStringLiteral("Command2_%1").arg(i));
        m_command2[i]->setToolTip(keyerButtonTip);
        m_command2[i]->setGeometry(messageButtonX, y, buttonWidth, rowHeight);
        connect(m_command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });

        // Both buttons of a row read "CH-n"; a screen reader must say which
        // memory each one plays. The window binds F1-F5 to the message
        // memories and Shift+F1-F5 to the text memories.
        const int n = i + 1;
        Accessibility::describe(m_text1[i], tr("テキストメモリー %1 の内容").arg(n),
                                tr("無線機に登録されているテキストメモリー %1 の文字列。").arg(n));
        Accessibility::describe(m_command1[i], tr("テキストメモリー %1 (%2)").arg(n).arg(channel),
                                tr("無線機のテキストメモリー %1 を再生します。ショートカットキー: Shift+F%1。").arg(n));
        Accessibility::describe(m_command2[i], tr("メッセージメモリー %1 (%2)").arg(n).arg(channel),
                                tr("無線機のメッセージメモリー %1 を再生します。ショートカットキー: F%1。").arg(n));
    }
    buildShortcuts(window);
}

void KeyerPanel::buildShortcuts(QWidget *window)
{
    // They press the buttons, so a locked keyer stays locked.
    for (int i = 0; i < m_command2.size(); ++i) {
        const auto functionKey = Qt::Key(Qt::Key_F1 + i);
        auto *message = new QShortcut(QKeySequence(functionKey), window);
        message->setObjectName(QStringLiteral("MessageMemoryKey_%1").arg(i));
        // A held key plays its memory once, as a held button does.
        message->setAutoRepeat(false);
        connect(message, &QShortcut::activated, m_command2[i], &QPushButton::click);
        auto *text = new QShortcut(QKeySequence(Qt::SHIFT | functionKey), window);
        text->setObjectName(QStringLiteral("TextMemoryKey_%1").arg(i));
        text->setAutoRepeat(false);
        connect(text, &QShortcut::activated, m_command1[i], &QPushButton::click);
    }
}

void KeyerPanel::Command1_Click(int index)
{
    m_radio.playTextMemory(index);
}

void KeyerPanel::Command2_Click(int index)
{
    m_radio.playMessageMemory(index);
}

bool KeyerPanel::showTextMemory(int index, const std::optional<QString> &text)
{
    if (text) {
        m_text1[index]->setText(*text);
    }
    return text.has_value();
}
