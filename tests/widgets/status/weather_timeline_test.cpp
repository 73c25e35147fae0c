// The weather widgets' timeline against a local forecast server: three entries ten minutes apart
// with the configured place's forecast in the configured unit, the sample and a quicker retry
// when nothing could be had, and what reaches the views through the widget definitions.
#include "widgets/status/weather/WeatherTimelineProvider.h"
#include "widgets/status/weather/WeatherWidgets.h"

#include "platform/core/Defaults.h"
#include "shared/data/WebTestSupport.h"
#include "shared/look/TreeQuery.h"

#include <QUrlQuery>
#include <memory>

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::FixtureServer;
using velk::test::ScopedEnv;
using velk::test::WebTest;
using velk::testing::inspectAt;
using velk::testing::textsOf;

namespace {

using Place = WeatherProvider::Place;
const Place kDenver{"Denver, US", 39.7392, -104.9903};
const Place kOslo{"Oslo, NO", 59.9139, 10.7522};

WeatherConfigIntent configured(std::optional<Place> place, TempUnitOption unit = TempUnitOption::celsius,
                               SurfaceOption surface = SurfaceOption::glass)
{
    WeatherConfigIntent c;
    if (place) c.place = WeatherPlaceEntity::of(*place);
    c.unit = unit;
    c.surface = surface;
    return c;
}

void putCache(const Place& place, const WeatherSnapshot& s)
{
    const QString suffix = *WeatherProvider::cacheSuffix(place);
    Defaults::shared().setData(WeatherProvider::kCacheKeyPrefix + suffix,
                               *encodeJson(WeatherProvider::Cache{suffix, s}));
}

WeatherSnapshot cachedSnapshot(const QString& place, qint64 temperature, double ageSeconds)
{
    WeatherSnapshot s = WeatherSnapshot::sample();
    s.place = place;
    s.temperature = temperature;
    s.updated = WebTest::ago(ageSeconds);
    return s;
}

QString queryItem(const test::RecordedRequest& r, const char* name)
{
    return QUrlQuery(r.url()).queryItemValue(QLatin1String(name));
}

class WeatherTimeline : public WebTest {
protected:
    WeatherTimeline() : env_("VELK_FORECAST_URL", server.baseUrl().toUtf8())
    {
        server.route("/v1/forecast", FixtureResponse::file("forecast_7day.json"));
    }

    timeline::Timeline<WeatherTimelineProvider::Entry> timelineFor(const WeatherConfigIntent& c) const
    {
        return provider.timeline(c, {});
    }

    WeatherTimelineProvider provider;

private:
    ScopedEnv env_;
};

} // namespace

TEST_F(WeatherTimeline, AFetchedForecastGivesThreeEntriesTenMinutesApartAndAReloadInHalfAnHour)
{
    const auto tl = timelineFor(configured(kDenver));

    ASSERT_EQ(tl.entries.size(), 3u);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(tl.entries[i].date, now().addingSeconds(600.0 * double(i)));
        EXPECT_EQ(tl.entries[i].data, tl.entries[0].data);
        EXPECT_EQ(tl.entries[i].surface, SurfaceOption::glass);
    }
    EXPECT_EQ(tl.policy, timeline::ReloadPolicy::after(now().addingSeconds(30 * 60)));

    // The recorded answer, named for the configured place and asked for at its coordinates.
    const WeatherSnapshot& data = tl.entries[0].data;
    EXPECT_EQ(data.place, "Denver, US");
    EXPECT_EQ(data.temperature, 18);
    EXPECT_EQ(data.condition, "Overcast");
    EXPECT_EQ(data.days.size(), 6u);
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(queryItem(server.requests()[0], "latitude"), "39.7392");
    EXPECT_EQ(queryItem(server.requests()[0], "longitude"), "-104.9903");

    // A second weather widget on the same place within the cache's freshness asks nothing more.
    EXPECT_EQ(timelineFor(configured(kDenver, TempUnitOption::celsius, SurfaceOption::solid)).entries[0].data, data);
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(WeatherTimeline, EachTileShowsItsOwnPlace)
{
    // Oslo has a fresh forecast of its own in the cache; Denver has none and is fetched.
    putCache(kOslo, cachedSnapshot("Oslo, NO", -4, 60));
    const WeatherSnapshot oslo = timelineFor(configured(kOslo)).entries[0].data;
    const WeatherSnapshot denver = timelineFor(configured(kDenver)).entries[0].data;
    EXPECT_EQ(oslo.place, "Oslo, NO");
    EXPECT_EQ(oslo.temperature, -4);
    EXPECT_EQ(denver.place, "Denver, US");
    EXPECT_EQ(denver.temperature, 18);
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(queryItem(server.requests()[0], "latitude"), "39.7392");
    // And Denver's answer went into Denver's cache, not Oslo's.
    EXPECT_EQ(WeatherProvider::cached(kOslo)->temperature, -4);
    EXPECT_EQ(WeatherProvider::cached(kDenver)->temperature, 18);
}

TEST_F(WeatherTimeline, WithoutAPlaceTheDefaultPlaceIsAskedForAndFollowsTheStoredLocation)
{
    const auto here = [](const Place& p) {
        Defaults::shared().setData(WeatherProvider::kMyLocationKey, *encodeJson(p));
    };
    here(kDenver);
    EXPECT_EQ(timelineFor(configured(std::nullopt)).entries[0].data.place, "Denver, US");
    here(kOslo);
    EXPECT_EQ(timelineFor(configured(std::nullopt)).entries[0].data.place, "Oslo, NO");
    ASSERT_EQ(server.requestCount(), 2);
    EXPECT_EQ(queryItem(server.requests()[1], "latitude"), "59.9139");
}

TEST_F(WeatherTimeline, NothingToShowGivesTheSampleAndARetryInTenMinutes)
{
    // The service answering with an error page, and no service at all.
    std::unique_ptr<FixtureServer> gone = std::make_unique<FixtureServer>();
    const QByteArray goneUrl = gone->baseUrl().toUtf8();
    gone.reset();
    FixtureResponse page;
    page.status = 503;
    page.contentType = "text/html";
    page.body = "<html><body>down for maintenance</body></html>";

    for (const bool serverDown : {false, true}) {
        SCOPED_TRACE(serverDown ? "server down" : "error page");
        server.route("/v1/forecast", page);
        std::optional<ScopedEnv> down;
        if (serverDown) down.emplace("VELK_FORECAST_URL", goneUrl);

        const auto tl = timelineFor(configured(kDenver));
        ASSERT_EQ(tl.entries.size(), 3u);
        for (const auto& e : tl.entries)
            EXPECT_EQ(e.data, WeatherSnapshot::sample());
        EXPECT_EQ(tl.entries[2].date, now().addingSeconds(20 * 60));
        EXPECT_EQ(tl.policy, timeline::ReloadPolicy::after(now().addingSeconds(10 * 60)));
        // Nothing was cached from the failure.
        EXPECT_FALSE(WeatherProvider::cached(kDenver));

        // Each of the four tiles draws the sample, never an empty face.
        for (const timeline::WidgetDefinition& w : {WeatherCurrentWidget{}.body(), WeatherNightWidget{}.body(),
                                                    WeatherForecastWidget{}.body(), WeatherRainWidget{}.body()}) {
            SCOPED_TRACE(w.kind().toStdString());
            const QStringList texts =
                textsOf(inspectAt(w.render(timeline::AnyEntry(tl.entries[0])), timeline::designSize(w.family())));
            // The sample's 23° (the night face sets its degree sign apart), or its 40% chance of rain.
            const char* expected = w.kind() == "velk.weather.rain"    ? "40%"
                                   : w.kind() == "velk.weather.night" ? "23"
                                                                      : "23°";
            EXPECT_TRUE(texts.contains(expected)) << texts.join(" | ").toStdString();
            EXPECT_TRUE(w.kind() == "velk.weather.rain" || texts.contains("LONDON"));
        }
    }
}

TEST_F(WeatherTimeline, AStaleCacheStandsInForAFailedFetchAndCountsAsAnAnswer)
{
    server.route("/v1/forecast", FixtureResponse::json("{}", 500));
    putCache(kDenver, cachedSnapshot("Denver, US", 9, 6 * 3600));
    const auto tl = timelineFor(configured(kDenver));
    ASSERT_EQ(tl.entries.size(), 3u);
    EXPECT_EQ(tl.entries[0].data.temperature, 9);
    EXPECT_EQ(tl.policy, timeline::ReloadPolicy::after(now().addingSeconds(30 * 60)));
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(WeatherTimeline, TheUnitConvertsEverythingButThePlaceholderAndThePreview)
{
    struct Case {
        const char* name;
        TempUnitOption unit;
        const char* locale;
        qint64 temperature; // of the fetched 18 °C
    };
    for (const Case& c : {Case{"fahrenheit", TempUnitOption::fahrenheit, "en_GB", 64},
                          Case{"celsius", TempUnitOption::celsius, "en_US", 18},
                          Case{"system, US measures", TempUnitOption::system, "en_US", 64},
                          Case{"system, metric", TempUnitOption::system, "en_GB", 18}}) {
        SCOPED_TRACE(c.name);
        LocalePin locale(QString::fromLatin1(c.locale));
        const WeatherConfigIntent config = configured(kDenver, c.unit);
        EXPECT_EQ(timelineFor(config).entries[0].data.temperature, c.temperature);
        EXPECT_EQ(provider.snapshot(config, {}).data.temperature, c.temperature);

        const auto preview = provider.snapshot(config, {timeline::WidgetFamily::small, {160, 160}, true});
        EXPECT_EQ(preview.data, WeatherSnapshot::sample());
        EXPECT_EQ(preview.surface, SurfaceOption::glass);
        const auto placeholder = provider.placeholder({});
        EXPECT_EQ(placeholder.data, WeatherSnapshot::sample());
        EXPECT_EQ(placeholder.surface, SurfaceOption::followApp);
    }
    // Neither the placeholder nor the preview asked the service; the first timeline did.
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(WeatherTimeline, TheSampleIsConvertedToo)
{
    server.route("/v1/forecast", FixtureResponse::json("{}", 500));
    const WeatherConfigIntent config = configured(kDenver, TempUnitOption::fahrenheit);
    EXPECT_EQ(timelineFor(config).entries[0].data, WeatherSnapshot::sample().inFahrenheit());
    EXPECT_EQ(provider.snapshot(config, {}).data, WeatherSnapshot::sample().inFahrenheit());
}

TEST(WeatherWidgets, DeclaredAsTheGalleryListsThemAndATapOpensTheWeatherApp)
{
    using timeline::WidgetFamily;
    struct Row {
        timeline::WidgetDefinition w;
        const char* kind;
        const char* name;
        const char* description;
        WidgetFamily family;
    };
    for (const Row& r : {Row{WeatherCurrentWidget{}.body(), "velk.weather.current", "Conditions",
                             "Now, with highs and lows.", WidgetFamily::small},
                         Row{WeatherNightWidget{}.body(), "velk.weather.night", "Feels Like",
                             "Temperature and how it feels.", WidgetFamily::small},
                         Row{WeatherForecastWidget{}.body(), "velk.weather.forecast", "6-Day Forecast",
                             "The week ahead.", WidgetFamily::medium},
                         Row{WeatherRainWidget{}.body(), "velk.weather.rain", "Rain Radar",
                             "Rain chance over the next 12 hours.", WidgetFamily::medium}}) {
        SCOPED_TRACE(r.kind);
        EXPECT_EQ(r.w.kind(), r.kind);
        EXPECT_EQ(r.w.displayName(), QString::fromUtf8(r.name));
        EXPECT_EQ(r.w.description(), QString::fromUtf8(r.description));
        EXPECT_EQ(r.w.family(), r.family);
        EXPECT_EQ(r.w.configurationIntent(), "WeatherConfigIntent");
        EXPECT_TRUE(r.w.isContentMarginsDisabled());
        const QSizeF size = timeline::designSize(r.family);
        ClockPin pin(WebTest::now());
        const view::LaidOutTree tree =
            view::layout(r.w.render(r.w.provider().placeholder({r.family, size, false})), size);
        EXPECT_EQ(view::widgetURL(tree), QUrl("velkwidgets://open/weather"));
    }
}
