#pragma once
// The dot-matrix drawing pieces: a row of dots showing a fraction, a field of dots showing a
// count, and a chart of dot columns with labels. They read no context: the caller passes its
// palette colours and its scale unit. Lengths are design points, drawn times `u`.
#include "platform/core/Color.h"
#include "platform/view/View.h"

#include <QString>
#include <QUuid>
#include <optional>
#include <vector>

namespace velk {

// One row of round dots across the width offered, dotSize high. The first dots are lit in
// `fill`, the over segment follows them in `over`, the rest are `track`.
struct DotBar {
    double fraction = 0;
    double overFraction = 0;
    qreal pitch = 6;
    qreal dotSize = 4;
    Color track;
    Color fill;
    Color over;
    qreal u = 1;

    view::View body() const;
    operator view::View() const { return body(); }

    struct Counts {
        int dots = 1;
        int lit = 0;
        int over = 0;
    };
    // How many dots fit in `width` (the last may overhang by a fifth of a pitch, and there is
    // always one), and how many of them are lit and over. The counts never exceed the row and
    // a fraction that is not a number lights nothing.
    Counts counts(qreal width) const;
};

// A field of dots spread so the outer dots touch the edges of the space offered; the first
// `filledDots` in reading order are lit, and one dot may be highlighted and drawn larger.
struct DotGrid {
    int columns = 0;
    int rows = 0;
    int filledDots = 0;
    qreal dotSize = 4;
    Color track;
    Color fill;
    std::optional<int> highlightIndex;
    Color highlight;
    qreal u = 1;

    view::View body() const;
    operator view::View() const { return body(); }
};

// Bars drawn as columns of dots growing up from a common baseline, each with a label below.
struct DotBarChart {
    struct Bar {
        Bar(double value, std::optional<Color> color, QString label, std::optional<Color> labelColor = std::nullopt)
            : value(value), color(color), label(std::move(label)), labelColor(labelColor)
        {}

        // Keys the bar within its chart only; every bar made gets a new one.
        QUuid id = QUuid::createUuid();
        // Height as a share of the chart height.
        double value = 0;
        std::optional<Color> color;
        QString label;
        std::optional<Color> labelColor;
    };

    std::vector<Bar> bars;
    qreal barWidth = 8;
    qreal chartHeight = 40;
    qreal dotPitch = 4;
    qreal dotSize = 3;
    Color defaultColor;
    view::Font labelFont;
    Color defaultLabelColor;
    qreal u = 1;

    view::View body() const;
    operator view::View() const { return body(); }

    // Rows and dots per row of a bar's column; a bar always shows at least one of each.
    struct Column {
        int rows = 1;
        int dotsPerRow = 1;
    };
    Column column(const Bar& bar) const;

private:
    view::View dotColumn(const Bar& bar) const;
};

} // namespace velk
