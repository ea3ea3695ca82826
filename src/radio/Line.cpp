// SPDX-License-Identifier: GPL-3.0-or-later
#include "radio/Line.h"

bool Line::open(const LineSettings &settings)
{
    m_settings = settings;
    return settings.usable() && openLine();
}

void Line::reopen()
{
    const bool ok = open(m_settings);
    // Told once the caller has returned, as a line that connects later does.
    QMetaObject::invokeMethod(
        this, [this, ok] { emit reopened(ok); }, Qt::QueuedConnection);
}

bool Line::accountFor(const QByteArray &data, bool written)
{
    if (written) {
        emit commandSent(data);
    } else {
        emit commandDropped(data, DropReason::LineDown);
    }
    return written;
}
