#include "widgets/time/CalendarViews.h"

#include "platform/core/Calendar.h"
#include "platform/core/DateFormatter.h"
#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/time/RemindersRow.h"

#include <algorithm>
#include <cmath>

namespace velk {

using namespace view;

namespace {

// `date` in the user's locale, calendar and zone, by a template of fields.
QString dateText(const char* skeleton, Date date)
{
    DateFormatter f;
    f.setLocalizedDateFormatFromTemplate(QString::fromLatin1(skeleton));
    return f.string(date);
}

QString weekdayFull(Date d)
{
    return dateText("EEEE", d);
}
QString weekdayShort(Date d)
{
    return dateText("EEE", d);
}
QString monthFull(Date d)
{
    return dateText("MMMM", d);
}
QString monthAndYear(Date d)
{
    return dateText("yMMMM", d);
}
// Upper-cased the same way in every locale, as captions are.
QString monthAndDay(Date d)
{
    return dateText("MMMd", d).toUpper();
}

int dayOfMonth(Date d)
{
    return Calendar::current().component(CalendarComponent::day, d);
}

Font titleFont(const WCtx& ctx)
{
    return Font::system(12.5 * ctx.u, Weight::medium,
                        ctx.resolved.isMacFamily ? Design::proportional : Design::monospaced);
}

} // namespace

// ---- CalendarBigDate --------------------------------------------------------------------------

View CalendarBigDate::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    return VStack(HAlign::leading, 0,
                  {Caption{weekdayFull(date), 10, 0.18, pal.accent, ctx},
                   numeralFit(Text(QString::number(dayOfMonth(date)))
                                  .font(ctx.numerals(72, Weight::black))
                                  .foregroundColor(pal.ink))
                       .padding(Edge::top, 6 * u)
                       .offset(-3 * u, 0),
                   Spacer(0), Caption{monthAndYear(date), 10, 0.18, pal.inkDim, ctx}})
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::leading));
}

// ---- CalendarMonthGrid ------------------------------------------------------------------------

int CalendarMonthGrid::daysInMonth(Date date)
{
    const std::optional<CalendarRange> days =
        Calendar::current().range(CalendarComponent::day, CalendarComponent::month, date);
    return days ? days->count() : 30;
}

View CalendarMonthGrid::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const int day = dayOfMonth(date);
    const int days = daysInMonth(date);
    const int rows = (days + 6) / 7;
    return VStack(HAlign::leading, 0,
                  {HStack(VAlign::firstTextBaseline, std::nullopt,
                          {Caption{monthFull(date), 10, 0.18, pal.ink, ctx}, Spacer(),
                           Caption{QString::number(day), 10, 0, pal.inkDim, ctx}}),
                   DotGrid{7, rows, day, 5.5, pal.track, pal.fill, day - 1, pal.accent, u}
                       .body()
                       .frame(std::nullopt, rows * 16 * u)
                       .padding(Edge::top, 14 * u),
                   Spacer(0),
                   Caption{QString::number(days - day) + QStringLiteral(" days left"), 9, 0.14, pal.inkDim, ctx}})
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::leading));
}

// ---- CalendarDayEvents ------------------------------------------------------------------------

View CalendarDayEvents::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;

    std::vector<const EventItem*> upcoming;
    for (const EventItem& e : data.events)
        if (!e.isPast) upcoming.push_back(&e);

    Views list;
    if (upcoming.empty()) list.push_back(Caption{QStringLiteral("No more events today"), 11, 0, pal.inkDim, ctx});
    for (size_t i = 0; i < upcoming.size() && i < 2; ++i) {
        const EventItem& e = *upcoming[i];
        const QString time = e.end ? e.start + QStringLiteral(" – ") + *e.end : e.start;
        list.push_back(VStack(HAlign::leading, 2 * u,
                              {Caption{time, 10, 0, e.isNext ? pal.accent : pal.inkDim, ctx},
                               Text(e.title).font(titleFont(ctx)).foregroundColor(pal.ink).lineLimit(1)}));
    }

    const View dateColumn = VStack(
        HAlign::leading, 6 * u,
        {numeralFit(
             Text(QString::number(dayOfMonth(date))).font(ctx.numerals(56, Weight::black)).foregroundColor(pal.accent)),
         Caption{weekdayShort(date), 10, 0.16, pal.inkDim, ctx}});
    const View events = HStack(VAlign::center, 0,
                               {Rectangle().fill(pal.hairline).frame(1, std::nullopt),
                                VStack(HAlign::leading, 12 * u, std::move(list))
                                    .padding(Edge::leading, 24 * u)
                                    .frame(Frame::maxWidthInfinity(Alignment::leading))});
    return HStack(VAlign::center, 24 * u, {dateColumn, events})
        .padding(EdgeInsets{22 * u, 26 * u, 22 * u, 26 * u})
        .frame(Frame::maxInfinity(Alignment::leading));
}

// ---- CalendarAgenda ---------------------------------------------------------------------------

double CalendarAgenda::shownProgress(double dayProgress)
{
    // Truncating a non-finite or huge hundredfold to an integer has no defined result.
    return std::isfinite(dayProgress) ? std::clamp(dayProgress, 0.0, 1.0) : 0.0;
}

QString CalendarAgenda::progressText(double dayProgress)
{
    return QStringLiteral("Day %1%").arg(int(shownProgress(dayProgress) * 100));
}

View CalendarAgenda::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const bool mac = ctx.resolved.isMacFamily;

    const View header =
        HStack(VAlign::firstTextBaseline, 10 * u,
               {numeralFit(Text(monthAndDay(date))
                               .font(ctx.numerals(19, Weight::heavy))
                               .tracking(mac ? 0 : 1.14 * u)
                               .foregroundColor(pal.ink)),
                Caption{weekdayFull(date), 10, 0.16, pal.inkDim, ctx}, Spacer(),
                Caption{QString::number(data.events.size()) + QStringLiteral(" events"), 10, 0, pal.inkDim, ctx}});

    const size_t shown = std::min<size_t>(data.events.size(), 3);
    Views rows;
    for (size_t i = 0; i < shown; ++i) {
        const EventItem& e = data.events[i];
        const Color timeColor = e.isNext ? pal.accent : e.isPast ? pal.inkFaint : pal.inkDim;
        Views text{Text(e.title)
                       .font(titleFont(ctx))
                       .strikethrough(e.isPast)
                       .foregroundColor(e.isPast ? pal.inkFaint : pal.ink)
                       .lineLimit(1)};
        if (e.detail)
            text.push_back(Caption{*e.detail, 9.5, 0, e.isPast ? pal.inkFaint.opacity(0.7) : pal.inkDim, ctx});
        Views row{HStack(VAlign::top, 16 * u,
                         {Caption{e.start, 10, 0, timeColor, ctx}
                              .body()
                              .frame(48 * u, std::nullopt, Alignment::leading)
                              .padding(Edge::top, 2 * u),
                          VStack(HAlign::leading, 2 * u, std::move(text))})
                      .padding(Edge::vertical, 10 * u)};
        // Between shown rows only, never under the last.
        if (i + 1 < shown) row.push_back(Rectangle().fill(pal.hairline).frame(std::nullopt, 1));
        rows.push_back(VStack(HAlign::leading, 0, std::move(row)));
    }

    const View progress =
        HStack(VAlign::center, 10 * u,
               {DotBar{shownProgress(data.dayProgress), 0, 6, 5, pal.track, pal.fill, Color::clear(), u},
                Caption{progressText(data.dayProgress), 9, 0.14, pal.inkDim, ctx}.body().fixedSize()});

    return VStack(HAlign::leading, 0,
                  {header, VStack(HAlign::leading, 0, std::move(rows)).padding(Edge::top, 18 * u), Spacer(0), progress})
        .padding(26 * u)
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

} // namespace velk
