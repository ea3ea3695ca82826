#pragma once

#include "ui/ClickLabel.h"
#include "app/Form1.h"
#include "mode/ModePanel.h"

#include <QApplication>
#include <QList>

// The visible top-level windows of one kind: the dialog, the about window.
template<typename Window>
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

// The background colours of the five mode labels, in index order.
inline QList<quint32> modeColours(Form1 &w)
{
    QList<quint32> colours;
    for (int i = 0; i < ModePanel::Modes; ++i) {
        colours << w.mode().Label2(i)->backColor();
    }
    return colours;
}
