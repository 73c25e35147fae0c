#include "widgets/status/weather/WeatherViews.h"

#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/status/weather/DotChartStyle.h"

#include <algorithm>
#include <cmath>

namespace velk {

using namespace view;

namespace {

// The weather code a snapshot without one is drawn with: partly cloudy.
constexpr qint64 kDefaultCode = 2;

QString degrees(qint64 value)
{
    return QString::number(value) + QStringLiteral("°");
}

QString highLow(const WeatherSnapshot& data)
{
    return QStringLiteral("H ") + degrees(data.high) + QStringLiteral(" · L ") + degrees(data.low);
}

View conditionGlyph(const WeatherSnapshot& data, qreal size, Color color)
{
    return Image(conditionSymbol(data)).font(Font::system(size, Weight::light)).foregroundColor(color);
}

View bigTemperature(const QString& text, Color color, const WCtx& ctx)
{
    return numeralFit(Text(text).font(ctx.numerals(56, Weight::black)).foregroundColor(color));
}

// Rain chances are shares of 1 by the data model; a corrupt cached value is held to that range
// so neither the percentage nor a bar can run off the widget.
double shownChance(double chance)
{
    return std::isfinite(chance) ? std::clamp(chance, 0.0, 1.0) : 0.0;
}

} // namespace

QString conditionSymbol(const WeatherSnapshot& data)
{
    return WeatherSnapshot::symbol(data.code.value_or(kDefaultCode), data.isNight);
}

// ---- WeatherCurrent ---------------------------------------------------------------------------

View WeatherCurrent::weatherContent() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    return VStack(HAlign::leading, 0,
                  {Caption{data.place, 10, 0.16, pal.inkDim, ctx},
                   bigTemperature(degrees(data.temperature), pal.ink, ctx).padding(Edge::top, 8 * u), Spacer(0),
                   Caption{data.condition, 10, 0.1, pal.ink, ctx},
                   Caption{highLow(data), 10, 0, pal.inkDim, ctx}.body().padding(Edge::top, 3 * u)});
}

View WeatherCurrent::body() const
{
    const qreal u = ctx.u;
    return ZStack(
        Alignment::topTrailing,
        {conditionGlyph(data, 20 * u, ctx.pal.inkDim).padding(Edge::top, 20 * u).padding(Edge::trailing, 22 * u),
         weatherContent()
             .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
             .frame(Frame::maxInfinity(Alignment::leading))});
}

// ---- WeatherNight -----------------------------------------------------------------------------

View WeatherNight::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const View column =
        VStack(HAlign::leading, 0,
               {Caption{data.place, 10, 0.16, pal.inkDim, ctx},
                HStack(VAlign::top, 0,
                       {bigTemperature(QString::number(data.temperature), pal.ink, ctx),
                        bigTemperature(QStringLiteral("°"), pal.accent, ctx)})
                    .padding(Edge::top, 8 * u),
                Spacer(0), Caption{data.condition, 10, 0.1, pal.ink, ctx},
                Caption{QStringLiteral("Feels ") + degrees(data.feelsLike), 10, 0, pal.inkDim, ctx}.body().padding(
                    Edge::top, 3 * u)});
    return ZStack(
        Alignment::topTrailing,
        {conditionGlyph(data, 22 * u, pal.ink).padding(Edge::top, 18 * u).padding(Edge::trailing, 20 * u),
         column.padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u}).frame(Frame::maxInfinity(Alignment::leading))});
}

// ---- WeatherForecast --------------------------------------------------------------------------

View WeatherForecast::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;

    const View header = HStack(
        VAlign::top, std::nullopt,
        {numeralFit(Text(degrees(data.temperature)).font(ctx.numerals(36, Weight::black)).foregroundColor(pal.ink)),
         Spacer(),
         VStack(HAlign::trailing, 3 * u,
                {Caption{data.condition, 10, 0.1, pal.ink, ctx}, Caption{data.place, 9.5, 0.12, pal.inkDim, ctx},
                 Caption{highLow(data), 9.5, 0, pal.inkDim, ctx}})});

    Views columns;
    columns.reserve(data.days.size());
    for (const WeatherSnapshot::Day& day : data.days) {
        const Color peak = day.isPeak ? pal.accent : pal.ink;
        columns.push_back(
            VStack(HAlign::center, 0,
                   {Caption{day.label, 9, 0, day.isPeak ? pal.accent : pal.inkDim, ctx},
                    numeralFit(Text(degrees(day.high)).font(ctx.numerals(17, Weight::heavy)).foregroundColor(peak))
                        .padding(Edge::top, 4 * u),
                    Caption{degrees(day.low), 8.5, 0, pal.inkFaint, ctx}.body().padding(Edge::top, 2 * u)})
                .frame(Frame::maxWidthInfinity()));
    }

    return VStack(HAlign::center, 0,
                  {header, Rectangle().fill(pal.hairline).frame(std::nullopt, 1).padding(Edge::top, 14 * u),
                   HStack(VAlign::center, 0, std::move(columns)).padding(Edge::top, 12 * u)})
        .padding(EdgeInsets{20 * u, 26 * u, 20 * u, 26 * u})
        .frame(Frame::maxInfinity());
}

// ---- WeatherRain ------------------------------------------------------------------------------

QString WeatherRain::percentText(double chance)
{
    return QString::number(qint64(shownChance(chance) * 100)) + QStringLiteral("%");
}

View WeatherRain::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;

    std::vector<DotBarChart::Bar> bars;
    bars.reserve(data.rainHours.size());
    for (const WeatherSnapshot::RainHour& hour : data.rainHours) {
        const double chance = shownChance(hour.chance);
        if (hour.isPeak)
            bars.emplace_back(chance, pal.accent, hour.label, pal.accent);
        else
            bars.emplace_back(chance, chance >= 0.5 ? pal.fill : kChartGrey, hour.label);
    }

    return VStack(HAlign::center, 0,
                  {HStack(VAlign::firstTextBaseline, std::nullopt,
                          {DotCaption{QStringLiteral("Rain · Next 12h"), 10, 0.14, pal.accent, pal.ink, ctx}, Spacer(),
                           numeralFit(Text(percentText(data.rainChance))
                                          .font(ctx.numerals(20, Weight::heavy))
                                          .foregroundColor(pal.ink))}),
                   Spacer(0),
                   DotBarChart{std::move(bars), 32, 64, 8, 6.4, pal.track, chartLabelFont(ctx), pal.inkFaint, u}})
        .padding(EdgeInsets{20 * u, 26 * u, 16 * u, 26 * u})
        .frame(Frame::maxInfinity());
}

} // namespace velk
