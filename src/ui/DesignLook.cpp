// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/DesignLook.h"

#include <QFont>
#include <QWidget>

namespace DesignLook {

void apply(QWidget *window)
{
    QFont designFont = window->font();
    designFont.setPointSize(9);
    window->setFont(designFont);
    window->setStyleSheet(QStringLiteral(
        "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 7px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 5px; padding: 0 1px; }"));
}

} // namespace DesignLook
