#pragma once
// Small pieces of every widget's text and marks: the upper-case caption, the caption led by a
// coloured dot, and the done / not-done circle. They take the scale unit and the theme's font
// family from the widget context; lengths are design points.
#include "platform/core/Color.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <QString>

namespace velk {

// Title and label text: upper case, medium weight, tracked out in the monospaced design. The
// desktop-font themes set it in the proportional design without extra spacing.
struct Caption {
    QString text;
    qreal size = 10;
    // Letter spacing as a share of the font size.
    qreal em = 0;
    Color color;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// A caption led by a small round dot; the dot and the gap stay the same whatever the size.
struct DotCaption {
    QString text;
    qreal size = 10;
    qreal em = 0;
    Color dot;
    Color color;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// A filled circle with a tick when done, a thin ring when not.
struct CheckCircle {
    bool done = false;
    qreal diameter = 16;
    Color circleColor;
    Color checkColor;
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Numerals that keep to one line: they shrink to 0.55 of their size before they truncate.
view::View numeralFit(view::View text);

} // namespace velk
