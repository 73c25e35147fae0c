#include "widgets/time/MatrixFaces.h"

#include "platform/core/Clock.h"
#include "platform/core/DateFormatter.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/data/config/TimeZoneEntity.h"
#include "shared/look/Captions.h"
#include "shared/look/ClockHands.h"
#include "shared/look/DotPieces.h"
#include "widgets/time/AnalogFaces.h"

namespace velk {

using namespace view;

namespace {

// A written-out date from a field template, in the user's locale and the desktop's own zone:
// the date line tells the user's day, while the digits beside it show the face's zone (a Tokyo
// face at 08:30 on Thursday still reads Wednesday on a desktop where it is Wednesday evening).
QString localDate(Date date, const QString& fields)
{
    DateFormatter f;
    f.setLocale(Locale::current());
    f.setTimeZone(TimeZone::current());
    f.setLocalizedDateFormatFromTemplate(fields);
    return f.string(date);
}

View numeralText(const QString& text, const Font& font, Color color)
{
    return Text(text).font(font).lineLimit(1).minimumScaleFactor(0.55).foregroundColor(color);
}

} // namespace

QString ClockMatrixSmall::placeLabel() const
{
    return place ? *place : cityName(timeZone.identifier());
}

QString ClockMatrixSmall::shortDate() const
{
    return localDate(date, QStringLiteral("MMMEd"));
}

View ClockMatrixSmall::body() const
{
    const qreal u = ctx.u;
    const auto& pal = ctx.pal;
    return VStack(HAlign::leading, 0,
                  {Caption{placeLabel(), 10, 0.14, pal.inkDim, ctx},
                   TimeText{date, timeZone, 44, pal.ink, Weight::black, ctx}.body().padding(
                       EdgeInsets{4 * u, 0, 6 * u, 0}),
                   DotCaption{shortDate(), 10, 0.14, pal.accent, pal.ink, ctx}})
        .frame(Frame::maxInfinity(Alignment::leading))
        .padding(Edge::horizontal, 22 * u);
}

View ClockStacked::body() const
{
    const qreal u = ctx.u;
    const auto& pal = ctx.pal;
    const ClockFormat::Parts digits = ClockFormat::parts(date, timeZone);
    const Font font = ctx.numerals(46, Weight::black);
    const View stack =
        VStack(HAlign::leading, 0, {numeralText(digits.hh, font, pal.ink), numeralText(digits.mm, font, pal.inkFaint)})
            .padding(Edge::leading, 30 * u);
    // The zone's offset as it stands when the face is drawn.
    const View label = Caption{ClockFormat::gmtLabel(timeZone, Clock::now()), 9, 0.2, pal.inkDim, ctx}
                           .body()
                           .fixedSize()
                           .rotationEffect(90)
                           .frame(Frame::maxWidthInfinity(Alignment::trailing))
                           .padding(Edge::trailing, 10 * u);
    return ZStack(Alignment::leading, {stack, label}).frame(Frame::maxInfinity(Alignment::leading));
}

QString ClockMatrixMedium::longDate() const
{
    return localDate(date, QStringLiteral("MMMMEEEEd"));
}

View ClockMatrixMedium::body() const
{
    const qreal u = ctx.u;
    const auto& pal = ctx.pal;
    const int minute = localSecondOfDay(date, timeZone) / 60 % 60;

    const View left = VStack(HAlign::leading, 8 * u,
                             {TimeText{date, timeZone, 64, pal.ink, Weight::black, ctx},
                              DotCaption{longDate(), 10, 0.16, pal.accent, pal.inkDim, ctx}});
    const View right = VStack(
        HAlign::trailing, 5 * u,
        {numeralText(QString::asprintf("%02d", minute), ctx.numerals(20, Weight::heavy), pal.inkFaint),
         DotBar{minute / 60.0, 0, 6, 5, pal.track, pal.accent, Color::clear(), u}.body().frame(44 * u, std::nullopt),
         Caption{QStringLiteral("Hour"), 8, 0.18, pal.inkFaint, ctx}});
    // Both columns are served before the spacer, so it takes only the width they leave and the
    // time keeps its full size.
    return HStack(VAlign::center, std::nullopt, {left.layoutPriority(1), Spacer(), right.layoutPriority(1)})
        .padding(Edge::horizontal, 30 * u)
        .frame(Frame::maxInfinity(Alignment::center));
}

} // namespace velk
