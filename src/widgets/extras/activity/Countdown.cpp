#include "widgets/extras/activity/Countdown.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "platform/core/DateFormatter.h"
#include "shared/look/Captions.h"
#include "widgets/extras/activity/ActivityLook.h"

#include <unicode/calendar.h>

#include <cmath>
#include <memory>

namespace velk {

using namespace view;

// ---- provider ---------------------------------------------------------------------------------

CountdownTimelineProvider::Entry CountdownTimelineProvider::placeholder(const timeline::TimelineContext&) const
{
    const Date now = Clock::now();
    return Entry{now,
                 {QStringLiteral("Launch"), Calendar::current().date(CalendarComponent::day, 12, now)},
                 SurfaceOption::followApp};
}

CountdownTimelineProvider::Entry CountdownTimelineProvider::snapshot(const CountdownConfigIntent& configuration,
                                                                     const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), {configuration.name, configuration.target}, configuration.surface};
}

timeline::Timeline<CountdownTimelineProvider::Entry>
CountdownTimelineProvider::timeline(const CountdownConfigIntent& configuration,
                                    const timeline::TimelineContext& context) const
{
    Entry entry = snapshot(configuration, context);
    const Calendar calendar = Calendar::current();
    const Date tomorrow =
        calendar.date(CalendarComponent::day, 1, entry.date).value_or(entry.date.addingSeconds(86400));
    return {{std::move(entry)}, timeline::ReloadPolicy::after(calendar.startOfDay(tomorrow))};
}

// ---- view -------------------------------------------------------------------------------------

qint64 CountdownView::daysLeft(Date target, Date now)
{
    const Calendar calendar = Calendar::current();
    const double from = calendar.startOfDay(now).unix() * 1000.0;
    const double to = calendar.startOfDay(target).unix() * 1000.0;
    if (!std::isfinite(from) || !std::isfinite(to) || to <= from) return 0;
    std::unique_ptr<icu::Calendar> icu = calendar.icuCalendar();
    UErrorCode status = U_ZERO_ERROR;
    icu->setTime(from, status);
    const int32_t days = icu->fieldDifference(to, UCAL_DATE, status);
    return U_SUCCESS(status) && days > 0 ? days : 0;
}

QString CountdownView::detail(Date target)
{
    DateFormatter format;
    format.setDateFormat(QStringLiteral("MMM d \u00B7 ha"));
    return format.string(target).toUpper();
}

View CountdownView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const qint64 days = target ? daysLeft(*target, Clock::now()) : 0;
    const QString count = target ? QString::number(days) : QStringLiteral("\u2014");
    return activity::paddedFace(
        VStack(HAlign::leading, 0,
               {DotCaption{name, 9, 0.16, pal.accent, pal.inkDim, ctx},
                numeralFit(Text(count).font(ctx.numerals(64, Weight::black)).foregroundColor(pal.ink))
                    .padding(Edge::top, 8 * u),
                Spacer(0),
                Caption{target && days == 1 ? QStringLiteral("Day left") : QStringLiteral("Days left"), 10, 0.14,
                        pal.ink, ctx},
                View(Caption{target ? detail(*target) : QStringLiteral("Set a date"), 9, 0, pal.inkFaint, ctx})
                    .padding(Edge::top, 3 * u)}),
        ctx);
}

} // namespace velk
