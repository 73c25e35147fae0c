#include "widgets/extras/activity/ActivityLook.h"

#include "platform/core/Locale.h"

#include <unicode/numfmt.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace velk::activity {

using namespace view;

Font textFont(const WCtx& ctx, qreal size)
{
    return Font::system(size * ctx.u, Weight::medium,
                        ctx.resolved.isMacFamily ? Design::proportional : Design::monospaced);
}

View paddedFace(View content, const WCtx& ctx, qreal side)
{
    const qreal u = ctx.u;
    return content.padding(EdgeInsets{20 * u, side * u, 20 * u, side * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

double unitFraction(double fraction)
{
    return std::isfinite(fraction) ? std::clamp(fraction, 0.0, 1.0) : 0.0;
}

double shareOf(double part, double whole)
{
    return whole > 0 ? unitFraction(part / whole) : 0.0;
}

QString groupedInteger(qint64 value)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> format(icu::NumberFormat::createInstance(Locale::current().icuLocale(), status));
    if (U_FAILURE(status) || !format) return QString::number(value);
    icu::UnicodeString text;
    format->format(int64_t(value), text);
    return icutext::fromIcu(text);
}

} // namespace velk::activity
