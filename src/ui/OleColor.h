// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the window keeps them: a plain colour is 0x00BBGGRR, a value
// 0x800000nn names the system colour nn.
namespace OleColor {
inline constexpr quint32 Black = 0x000000;
inline constexpr quint32 Red = 0x0000FF;
inline constexpr quint32 Green = 0x00FF00;
inline constexpr quint32 White = 0xFFFFFF;
inline constexpr quint32 LightYellow = 0xC0FFFF;
inline constexpr quint32 WindowBackground = 0x80000005;
inline constexpr quint32 WindowText = 0x80000008;
inline constexpr quint32 ButtonFace = 0x8000000F;

// The colour to paint: system colours come from the application palette.
QColor toQColor(quint32 value);
} // namespace OleColor
