#include "widgets/time/ClockWidgets.h"

#include "shared/data/TimeZoneEntity.h"
#include "shared/look/WidgetRoot.h"
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

// A face of the entry's configuration and the root's context.
template <class Config>
using Face = std::function<View(const VelkEntry<Config>&, const WCtx&)>;

template <class Config, class Provider>
WidgetDefinition clockWidget(const char* kind, const char* name, const char* description, WidgetFamily family,
                             Tone tone, Face<Config> face)
{
    return timeline::AppIntentConfiguration<Config>(
               QString::fromLatin1(kind), Provider{},
               [family, tone, face = std::move(face)](const VelkEntry<Config>& entry) -> View {
                   return VelkWidgetRoot{tone, timeline::designSize(family), entry.surface,
                                         [entry, face](const WCtx& ctx) { return face(entry, ctx); }};
               })
        .configurationDisplayName(QString::fromUtf8(name))
        .description(QString::fromUtf8(description))
        .supportedFamilies(family)
        .contentMarginsDisabled();
}

WidgetDefinition singleZone(const char* kind, const char* name, const char* description, WidgetFamily family, Tone tone,
                            Face<ClockConfigIntent> face)
{
    return clockWidget<ClockConfigIntent, ClockProvider>(kind, name, description, family, tone, std::move(face));
}

using ClockEntry = VelkEntry<ClockConfigIntent>;

} // namespace

std::optional<QString> clockPlace(const ClockConfigIntent& configuration)
{
    if (!configuration.city)
        return std::nullopt;
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
    return singleZone(ClockKinds::analogClassic, "Analog Classic", "A classic dial with the VELK second hand.",
                      WidgetFamily::small, Tone::light, [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockAnalogClassic{e.date, e.data.timeZone(), std::nullopt, false, ctx};
                      });
}

WidgetDefinition AnalogMinimalWidget::body() const
{
    return singleZone(ClockKinds::analogMinimal, "Analog Minimal", "Four dots and two hands.", WidgetFamily::small,
                      Tone::dark, [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockAnalogMinimal{e.date, e.data.timeZone(), std::nullopt, false, ctx};
                      });
}

WidgetDefinition HybridClassicWidget::body() const
{
    return singleZone(ClockKinds::hybridClassic, "Hybrid Classic", "Analog dial with a digital readout.",
                      WidgetFamily::small, Tone::light, [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockAnalogClassic{e.date, e.data.timeZone(), std::nullopt, true, ctx};
                      });
}

WidgetDefinition HybridMinimalWidget::body() const
{
    return singleZone(ClockKinds::hybridMinimal, "Hybrid Minimal", "Minimal dial with a digital readout.",
                      WidgetFamily::small, Tone::dark, [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockAnalogMinimal{e.date, e.data.timeZone(), std::nullopt, true, ctx};
                      });
}

WidgetDefinition MatrixSmallWidget::body() const
{
    return singleZone(ClockKinds::matrixSmall, "Matrix Digital", "Dot-matrix time with the date.", WidgetFamily::small,
                      Tone::light, [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockMatrixSmall{e.date, e.data.timeZone(), clockPlace(e.data), ctx};
                      });
}

WidgetDefinition StackedClockWidget::body() const
{
    return singleZone(ClockKinds::stacked, "Stacked", "Hours over minutes.", WidgetFamily::small, Tone::dark,
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockStacked{e.date, e.data.timeZone(), ctx};
                      });
}

WidgetDefinition MatrixMediumWidget::body() const
{
    return singleZone(ClockKinds::matrixMedium, "Matrix Digital", "Big dot-matrix time with hour progress.",
                      WidgetFamily::medium, Tone::dark, [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockMatrixMedium{e.date, e.data.timeZone(), ctx};
                      });
}

WidgetDefinition WorldClockWidget::body() const
{
    return clockWidget<WorldClockConfigIntent, WorldClockProvider>(
        ClockKinds::world, "World Clock", "Three cities side by side.", WidgetFamily::medium, Tone::light,
        [](const VelkEntry<WorldClockConfigIntent>& e, const WCtx& ctx) -> View {
            const auto zones = e.data.zones();
            return ClockWorld{e.date, {zones.begin(), zones.end()}, 0, ctx};
        });
}

WidgetDefinition DotDialWidget::body() const
{
    return singleZone(ClockKinds::dotDial, "Dot Dial", "Numbered dial in dot matrix.", WidgetFamily::small, Tone::dark,
                      [](const ClockEntry& e, const WCtx& ctx) -> View {
                          return ClockDotDial{e.date, e.data.timeZone(), std::nullopt, ctx};
                      });
}

WidgetDefinition DualClockWidget::body() const
{
    return clockWidget<DualClockConfigIntent, DualClockProvider>(
        ClockKinds::dual, "Dual Time", "Home plus one more city.", WidgetFamily::medium, Tone::dark,
        [](const VelkEntry<DualClockConfigIntent>& e, const WCtx& ctx) -> View {
            const DualZones zones = dualZones(e.data);
            return ClockDual{e.date, zones.home, zones.away, ctx};
        });
}

} // namespace velk
