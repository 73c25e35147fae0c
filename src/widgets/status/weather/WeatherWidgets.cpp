#include "widgets/status/weather/WeatherWidgets.h"

#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/status/weather/WeatherTimelineProvider.h"
#include "widgets/status/weather/WeatherViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

namespace {

template <class WeatherView>
timeline::WidgetDefinition weatherWidget(const char* kind, const char* name, const char* description,
                                         WidgetFamily family, Tone tone)
{
    return velkWidget<WeatherConfigIntent>(
        {kind, name, description, family, tone, kWeatherWidgetURL}, WeatherTimelineProvider{},
        [](const WeatherTimelineProvider::Entry& entry, const WCtx& ctx) -> view::View {
            return WeatherView{entry.data, ctx};
        });
}

} // namespace

timeline::WidgetDefinition WeatherCurrentWidget::body() const
{
    return weatherWidget<WeatherCurrent>(kinds::weatherCurrent, "Conditions", "Now, with highs and lows.",
                                         WidgetFamily::small, Tone::dark);
}

timeline::WidgetDefinition WeatherNightWidget::body() const
{
    return weatherWidget<WeatherNight>(kinds::weatherNight, "Feels Like", "Temperature and how it feels.",
                                       WidgetFamily::small, Tone::light);
}

timeline::WidgetDefinition WeatherForecastWidget::body() const
{
    return weatherWidget<WeatherForecast>(kinds::weatherForecast, "6-Day Forecast", "The week ahead.",
                                          WidgetFamily::medium, Tone::light);
}

timeline::WidgetDefinition WeatherRainWidget::body() const
{
    return weatherWidget<WeatherRain>(kinds::weatherRain, "Rain Radar", "Rain chance over the next 12 hours.",
                                      WidgetFamily::medium, Tone::dark);
}

} // namespace velk
