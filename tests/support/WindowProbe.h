// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "radio/RadioCapabilities.h"
#include "ui/ClickLabel.h"
#include "app/Form1.h"
#include "app/Form2.h"
#include "mode/ModePanel.h"

#include <QAction>
#include <QApplication>
#include <QList>

// The visible top-level windows of one kind: the dialog, the about window.
template <typename Window>
QList<Window *> shownWindows()
{
    QList<Window *> windows;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *found = qobject_cast<Window *>(window);
        if (found && found->isVisible()) {
            windows << found;
        }
    }
    return windows;
}

// Chooses a menu entry of the main window, by its object name.
inline void triggerMenu(Form1 &w, const char *entry)
{
    w.findChild<QAction *>(QLatin1String(entry))->trigger();
}

// The window a menu entry of the main window opened, as the operator finds
// it on the screen: null unless exactly one of its kind is shown.
template <typename Window>
Window *openFromMenu(Form1 &w, const char *entry)
{
    triggerMenu(w, entry);
    const QList<Window *> windows = shownWindows<Window>();
    return windows.size() == 1 ? windows.first() : nullptr;
}

// The port dialog, opened from 設定 → ＲＳ２３２Ｃの設定.
inline Form2 *openPortDialog(Form1 &w)
{
    return openFromMenu<Form2>(w, "MENU_RS232C");
}

// The background colours of the five mode labels, in index order.
inline QList<quint32> modeColours(Form1 &w)
{
    QList<quint32> colours;
    for (int i = 0; i < int(Ft2000Capabilities.modes.size()); ++i) {
        colours << w.mode().Label2(i)->backColor();
    }
    return colours;
}
