#include "widgets/time/ClockWidgets.h"

#include "shared/data/config/TimeZoneEntity.h"
#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/time/AnalogFaces.h"
#include "widgets/time/ClockTimeline.h"
#include "widgets/time/DotDialFace.h"
#include "widgets/time/DualClockFace.h"
#include "widgets/time/MatrixFaces.h"
#include "widgets/time/WorldClockFace.h"

namespace velk {

using timeline::WidgetDefinition;
using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;
using view::View;

namespace {

WidgetDefinition singleZone(const WidgetIdentity& identity,
                            std::function<View(const VelkEntry<ClockConfigIntent>&, const WCtx&)> face)
{
    return velkWidget<ClockConfigIntent>(identity, ClockProvider{}, std::move(face));
}

using ClockEntry = VelkEntry<ClockConfigIntent>;

} // namespace

std::optional<QString> clockPlace(const ClockConfigIntent& configuration)
{
    if (!configuration.city) return std::nullopt;
    return cityName(configuration.city->id);
}

DualZones dualZones(const DualClockConfigIntent& configuration)
{
    const TimeZone current = TimeZone::current();
    return DualZones{
        configuration.home ? configuration.home->timeZone() : current,
        configuration.away ? configuration.away->timeZone()
                           : TimeZone::named(QStringLiteral("Australia/Sydney")).value_or(current),
    };
}

WidgetDefinition AnalogClassicWidget::body() const
{
    return singleZone({kinds::analogClassic, "Analog Classic", "A classic dial with the VELK second hand.",
                       WidgetFamily::small, Tone::light},
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockAnalogClassic{e.date, e.data.timeZone(), std::nullopt, false, ctx};
                      });
}

WidgetDefinition AnalogMinimalWidget::body() const
{
    return singleZone(
        {kinds::analogMinimal, "Analog Minimal", "Four dots and two hands.", WidgetFamily::small, Tone::dark},
        [](const ClockEntry& e, const WCtx& ctx) -> View {
            return ClockAnalogMinimal{e.date, e.data.timeZone(), std::nullopt, false, ctx};
        });
}

WidgetDefinition HybridClassicWidget::body() const
{
    return singleZone({kinds::hybridClassic, "Hybrid Classic", "Analog dial with a digital readout.",
                       WidgetFamily::small, Tone::light},
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockAnalogClassic{e.date, e.data.timeZone(), std::nullopt, true, ctx};
                      });
}

WidgetDefinition HybridMinimalWidget::body() const
{
    return singleZone({kinds::hybridMinimal, "Hybrid Minimal", "Minimal dial with a digital readout.",
                       WidgetFamily::small, Tone::dark},
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockAnalogMinimal{e.date, e.data.timeZone(), std::nullopt, true, ctx};
                      });
}

WidgetDefinition MatrixSmallWidget::body() const
{
    return singleZone(
        {kinds::matrixSmall, "Matrix Digital", "Dot-matrix time with the date.", WidgetFamily::small, Tone::light},
        [](const ClockEntry& e, const WCtx& ctx) -> View {
            return ClockMatrixSmall{e.date, e.data.timeZone(), clockPlace(e.data), ctx};
        });
}

WidgetDefinition StackedClockWidget::body() const
{
    return singleZone({kinds::stackedClock, "Stacked", "Hours over minutes.", WidgetFamily::small, Tone::dark},
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockStacked{e.date, e.data.timeZone(), ctx};
                      });
}

WidgetDefinition MatrixMediumWidget::body() const
{
    return singleZone({kinds::matrixMedium, "Matrix Digital", "Big dot-matrix time with hour progress.",
                       WidgetFamily::medium, Tone::dark},
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockMatrixMedium{e.date, e.data.timeZone(), ctx};
                      });
}

WidgetDefinition WorldClockWidget::body() const
{
    return velkWidget<WorldClockConfigIntent>(
        {kinds::worldClock, "World Clock", "Three cities side by side.", WidgetFamily::medium, Tone::light},
        WorldClockProvider{}, [](const VelkEntry<WorldClockConfigIntent>& e, const WCtx& ctx) -> View {
            const auto zones = e.data.zones();
            return ClockWorld{e.date, {zones.begin(), zones.end()}, 0, ctx};
        });
}

WidgetDefinition DotDialWidget::body() const
{
    return singleZone({kinds::dotDial, "Dot Dial", "Numbered dial in dot matrix.", WidgetFamily::small, Tone::dark},
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockDotDial{e.date, e.data.timeZone(), std::nullopt, ctx};
                      });
}

WidgetDefinition DualClockWidget::body() const
{
    return velkWidget<DualClockConfigIntent>(
        {kinds::dualClock, "Dual Time", "Home plus one more city.", WidgetFamily::medium, Tone::dark},
        DualClockProvider{}, [](const VelkEntry<DualClockConfigIntent>& e, const WCtx& ctx) -> View {
            const DualZones zones = dualZones(e.data);
            return ClockDual{e.date, zones.home, zones.away, ctx};
        });
}

} // namespace velk
