// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

// The window was designed in twips; at 15 twips a pixel.
inline constexpr int TwipsPerPixel = 15;

constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel);
}
