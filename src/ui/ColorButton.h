// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// A command button whose background colour shows and can be changed at run
// time. Native styles on Windows and some Linux desktops ignore a palette
// change on a push button, so these buttons paint through a style sheet of
// their own, the same in every style and on every platform.
class ColorButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(quint32 backColor READ backColor WRITE setBackColor)
public:
    explicit ColorButton(const QString &caption, QWidget *parent = nullptr);

    quint32 backColor() const { return m_backColor; }
    void setBackColor(quint32 color);

protected:
    void changeEvent(QEvent *event) override;

private:
    void applyColor();

    quint32 m_backColor;
};
