#pragma once
// What the media and activity faces share: how their numerals fit, the font of their plain
// text, and the guards every drawn share and count goes through. Stored values come from other
// processes and hand-edited suites, so a view never trusts them to be sane.
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <QString>
#include <QtGlobal>

namespace velk::activity {

// Medium weight, monospaced unless the theme uses the desktop font.
view::Font textFont(const WCtx& ctx, qreal size);

// The face of a widget: 20 points above and below, `side` points either side, then the whole
// widget with the content at its top-leading corner.
view::View paddedFace(view::View content, const WCtx& ctx, qreal side = 22);

// A share to draw: what is not a finite number counts as none, and it never leaves 0...1.
double unitFraction(double fraction);

// part / whole as a drawable share; none when the whole is not positive.
double shareOf(double part, double whole);

// An integer with the grouping of the user's locale (8,214 in English, 8.214 in German).
QString groupedInteger(qint64 value);

// A count to show: never below zero.
inline qint64 nonNegative(qint64 count)
{
    return count < 0 ? 0 : count;
}

} // namespace velk::activity
