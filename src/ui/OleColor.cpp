// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/OleColor.h"

#include <QApplication>
#include <QPalette>

QColor OleColor::toQColor(quint32 value)
{
    if (value & 0x80000000u) {
        const QPalette palette = QApplication::palette();
        switch (value & 0xFFu) {
        case 0x05:
            return palette.color(QPalette::Base);
        case 0x08:
            return palette.color(QPalette::Text);
        case 0x0F:
            return palette.color(QPalette::Button);
        default:
            return palette.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFFu), int((value >> 8) & 0xFFu), int((value >> 16) & 0xFFu));
}
