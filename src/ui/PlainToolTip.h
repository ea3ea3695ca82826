// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QPoint;
class QRect;
class QString;
class QWidget;

// Tooltips that show exactly a control's own text.
//
// Qt takes a tooltip that looks like markup for rich text (bold, tables,
// images it then loads), and over a control without a tooltip it shows the
// tooltip of the frame around it. A voice comment typed by the operator or
// read from the settings file is neither markup nor the frame's business.
namespace PlainToolTip {

// From now on the widget shows its tooltip character for character, and
// nothing at all (not its frame's tooltip) while its tooltip is empty.
void keepOwn(QWidget *widget);

// Shows text as it stands as the tooltip of widget at globalPos; rect and
// msecDisplayTime as for QToolTip::showText.
void show(const QPoint &globalPos, const QString &text, QWidget *widget, const QRect &rect, int msecDisplayTime = -1);

} // namespace PlainToolTip
