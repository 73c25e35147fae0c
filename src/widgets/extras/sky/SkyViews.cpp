#include "widgets/extras/sky/SkyViews.h"

#include "platform/core/TimeZone.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/look/Captions.h"
#include "shared/look/DotPieces.h"
#include "widgets/extras/system/ExtrasLook.h"

#include <cmath>

namespace velk {

using namespace view;
using extras::drawnShare;

// ---- MoonView ---------------------------------------------------------------------------------

View MoonView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const qreal disc = 72 * u;
    const qreal litWidth = disc * drawnShare(data.illuminated);
    // The lit side: the right while waxing, the left while waning.
    const Alignment litSide = data.waxing ? Alignment::trailing : Alignment::leading;
    const auto dots = [&](Color c) {
        return DotGrid{8, 8, 64, 4, c, c, std::nullopt, Color::clear(), u}.body().frame(disc, disc);
    };
    const View grey = dots(extras::kFixedGrey).clipShape(Circle());
    const View lit = dots(pal.fill)
                         .mask(Rectangle().fill(Color::white(1)).frame(litWidth, std::nullopt), litSide)
                         .clipShape(Circle());
    return VStack(HAlign::leading, 0,
                  {Caption{QStringLiteral("Moon"), 9, 0.16, pal.inkDim, ctx},
                   ZStack({grey, lit}).frame(Frame::maxWidthInfinity()).padding(Edge::top, 10 * u), Spacer(0),
                   Caption{data.phaseName, 10, 0.1, pal.ink, ctx},
                   Caption{data.detail(), 9, 0, pal.inkFaint, ctx}.body().padding(Edge::top, 3 * u)})
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

// ---- DaylightView -----------------------------------------------------------------------------

double DaylightView::progress(const DaylightInfo& data, Date date)
{
    const double span = std::max(data.sunset.secondsSince(data.sunrise), 1.0);
    return drawnShare(date.secondsSince(data.sunrise) / span);
}

int DaylightView::sunIndex(double progress)
{
    return int(std::round(6 * drawnShare(progress)));
}

View DaylightView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const double p = progress(data, date);
    const int sun = sunIndex(p);

    const View arc = GeometryReader([p, sun, pal, u](QSizeF size) -> View {
        Views dots;
        for (int i = 0; i <= 6; ++i) {
            const double f = i / 6.0;
            const qreal x = size.width() * (0.06 + 0.88 * f);
            const qreal y = size.height() * (0.95 - 0.9 * (1 - (2 * f - 1) * (2 * f - 1)));
            const bool isSun = i == sun;
            const qreal d = (isSun ? 14 : 8) * u;
            const Color c = isSun ? pal.accent : p > f ? pal.inkFaint : pal.ink;
            dots.push_back(Circle().fill(c).frame(d, d).position(x, y));
        }
        return ZStack(std::move(dots));
    });

    const TimeZone zone = TimeZone::current();
    return VStack(
               HAlign::center, 0,
               {HStack({Caption{QStringLiteral("Daylight"), 10, 0.16, pal.inkDim, ctx}, Spacer(),
                        Caption{data.lengthLabel(), 10, 0, pal.inkDim, ctx}}),
                arc.padding(Edge::top, 6 * u),
                HStack({Caption{ClockFormat::hhmm(data.sunrise, zone) + QStringLiteral(" rise"), 10, 0, pal.ink, ctx},
                        Spacer(),
                        Caption{ClockFormat::hhmm(data.sunset, zone) + QStringLiteral(" set"), 10, 0, pal.ink, ctx}})
                    .padding(Edge::top, 8 * u)})
        .padding(EdgeInsets{20 * u, 26 * u, 20 * u, 26 * u})
        .frame(Frame::maxInfinity());
}

// ---- AirQualityView ---------------------------------------------------------------------------

View AirQualityView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const bool hot = data.aqi >= kHotIndex;
    const Color ink = hot ? pal.alert : pal.ink;
    return VStack(
               HAlign::leading, 0,
               {Caption{QStringLiteral("Air quality"), 9, 0.16, pal.inkDim, ctx},
                numeralFit(Text(QString::number(data.aqi)).font(ctx.numerals(52, Weight::black)).foregroundColor(ink))
                    .padding(Edge::top, 8 * u),
                Spacer(0),
                DotBar{drawnShare(double(data.aqi) / 150.0), 0, 6, 5, pal.track, hot ? pal.alert : pal.fill,
                       Color::clear(), u}
                    .body()
                    .padding(Edge::bottom, 8 * u),
                // The longest band's name is a little wider than the widget in the tracked
                // monospaced caption; it shrinks a little rather than lose its last word.
                Caption{data.category(), 10, 0.1, ink, ctx}.body().minimumScaleFactor(0.8)})
        .padding(EdgeInsets{20 * u, 22 * u, 20 * u, 22 * u})
        .frame(Frame::maxInfinity(Alignment::topLeading));
}

} // namespace velk
