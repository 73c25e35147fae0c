#pragma once
// Breaking a text into lines for an offered size: word wrapping, the line limit, shrinking to
// fit down to a minimum scale, and tail truncation with an ellipsis.
#include "platform/view/Fonts.h"
#include <QStringList>

namespace velk::view {

struct TextParams {
    Font font;
    qreal tracking = 0;
    std::optional<int> lineLimit;
    qreal lineSpacing = 0;
    qreal minimumScaleFactor = 1;
};

struct TextLines {
    QStringList lines;
    qreal scale = 1; // font scale chosen by shrink-to-fit
    QSizeF size;
    qreal firstBaseline = 0;
    qreal lastBaseline = 0;
    bool truncated = false;
};

// `width`/`height` unset means the text's ideal size in that direction.
TextLines layoutText(const QString& text, const TextParams& params, std::optional<qreal> width,
                     std::optional<qreal> height);

// `text` when it fits `width`, else its longest head that fits with an ellipsis after it ("…"
// alone when nothing does). With `always`, the ellipsis is added even when the text fits.
QString elide(const FontEntry& font, const QString& text, qreal width, bool always = false);

// The shown text of a running timer at `now`: "m:ss" (minutes not folded into hours) or, with
// showsHours and an hour or more, "h:mm:ss". Counting down it shows the time left to `to`;
// counting up the time since `from`, never below zero or past the interval.
QString timerString(Date from, Date to, bool countsDown, bool showsHours, Date now);
// The share of the interval shown by a timer progress bar at `now`, 0...1.
qreal timerFraction(Date from, Date to, bool countsDown, Date now);

} // namespace velk::view
