#include "widgets/extras/sky/SkyWidgets.h"

#include "platform/core/Clock.h"
#include "shared/data/sky/SkyMath.h"
#include "shared/look/VelkWidget.h"
#include "shared/widget/LocalProvider.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/extras/sky/SkyProviders.h"
#include "widgets/extras/sky/SkyViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

timeline::WidgetDefinition MoonWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::moon, "Moon", "Tonight's phase.", WidgetFamily::small, Tone::dark},
        LocalProvider<MoonInfo>{MoonInfo{QStringLiteral("Waxing Gibbous"), 0.78, true, 6, 21},
                                [] { return SkyMath::moon(Clock::now()); }, 720},
        [](const VelkEntry<MoonInfo>& e, const WCtx& ctx) -> view::View {
            return MoonView{e.data, ctx};
        });
}

timeline::WidgetDefinition DaylightWidget::body() const
{
    return velkWidget<WeatherConfigIntent>(
        {kinds::daylight, "Daylight", "Sunrise to sunset, with the sun on its arc.", WidgetFamily::medium, Tone::light},
        DaylightTimelineProvider{}, [](const DaylightTimelineProvider::Entry& e, const WCtx& ctx) -> view::View {
            return DaylightView{e.data, e.date, ctx};
        });
}

timeline::WidgetDefinition AirQualityWidget::body() const
{
    return velkWidget<WeatherConfigIntent>(
        {kinds::airQuality, "Air Quality", "US AQI where you are.", WidgetFamily::small, Tone::light},
        AirQualityTimelineProvider{}, [](const AirQualityTimelineProvider::Entry& e, const WCtx& ctx) -> view::View {
            return AirQualityView{e.data, ctx};
        });
}

} // namespace velk
