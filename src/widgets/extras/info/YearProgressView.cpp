#include "widgets/extras/info/YearProgressView.h"

#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/extras/activity/ActivityLook.h"

#include <algorithm>
#include <cmath>

namespace velk {

using namespace view;
using namespace activity;

YearProgressView::Figures YearProgressView::figures(const YearInfo& info)
{
    const double ratio = shareOf(double(info.dayOfYear), double(info.daysInYear));
    Figures f;
    f.percent = std::llround(ratio * 100);
    f.filled = int(std::lround(ratio * kColumns * kRows));
    f.highlight = std::max(f.filled - 1, 0);
    f.remaining = nonNegative(qint64(info.daysInYear) - qint64(info.dayOfYear));
    return f;
}

View YearProgressView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const Figures f = figures(info);
    return paddedFace(
        VStack(HAlign::leading, 0,
               {HStack(VAlign::firstTextBaseline, std::nullopt,
                       {Caption{QStringLiteral("Year %1").arg(info.year), 10, 0.16, pal.inkDim, ctx}, Spacer(),
                        numeralFit(Text(QStringLiteral("%1%").arg(f.percent))
                                       .font(ctx.numerals(20, Weight::heavy))
                                       .foregroundColor(pal.ink))}),
                DotGrid{kColumns, kRows, f.filled, 6, pal.track, pal.fill, f.highlight, pal.accent, u}.body().padding(
                    Edge::vertical, 12 * u),
                Caption{QStringLiteral("Day %1 \u00B7 %2 remaining").arg(info.dayOfYear).arg(f.remaining), 9, 0,
                        pal.inkFaint, ctx}}),
        ctx, 26);
}

} // namespace velk
