// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

// The look the windows were drawn with: a 9-point font, and frames that carry
// their caption on the border line, so nested frames fit their designed
// bounds. Windows without an owner do not inherit it and are given it.
namespace DesignLook {
void apply(QWidget *window);
}
