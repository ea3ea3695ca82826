// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QGroupBox;
class QLabel;
class QString;
class QWidget;

// What a screen reader speaks for a control, beside the caption and tooltip
// the operator sees: a name that tells the control apart from its neighbours
// (several buttons share the caption "CH-1"), and a description of what it
// does.
namespace Accessibility {

// Once a description is set, screen readers no longer fall back to the
// tooltip, so the widget's tooltip is appended to the description here.
// Called again when the state the description tells of changes; screen
// readers are told of the change.
void describe(QWidget *widget, const QString &name, const QString &description);

// Qt names a widget without a name after the frame around it, so a frame
// inside another frame would take its parent's caption. Frames are named by
// their own captions; their tooltip becomes their description.
void nameAfterTitle(QGroupBox *frame);

// Our dialogs are plain widgets shown as dialog windows, which Qt presents
// as a bare pane: a screen reader would not say that a dialog opened. Called
// first thing in such a window's constructor, before anything asks for it.
void presentDialogsAsDialogs();

// A label showing a changing value (the seconds counter, the key speed)
// keeps its fixed name; the value shown becomes its description, so that a
// screen reader hears the new value.
void announceValue(QLabel *label);

} // namespace Accessibility
