#include "shared/data/WebTestSupport.h"
#include "shared/data/weather/WeatherConfigIntent.h"
#include "shared/data/weather/WeatherPlaceEntity.h"

#include <cmath>
#include <limits>

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::FixtureServer;
using velk::test::ScopedEnv;

namespace {

using Place = WeatherProvider::Place;

class WeatherPlaceTest : public test::WebTest {
protected:
    WeatherPlaceTest() : env_("VELK_GEOCODING_URL", server.baseUrl().toUtf8()) {}
    static void put(const char* key, const Place& place) { Defaults::shared().setData(key, *encodeJson(place)); }
    static std::optional<Place> storedDefault()
    {
        const auto bytes = Defaults::shared().data(WeatherProvider::kDefaultPlaceKey);
        return bytes ? decodeJson<Place>(*bytes) : std::nullopt;
    }
    ScopedEnv env_;
};

} // namespace

TEST(WeatherPlaceEntity, IdentifierPacksThePlace)
{
    const Place denver{"Denver, US", 39.7392, -104.9903};
    EXPECT_EQ(WeatherPlaceEntity::of(denver).id, "Denver, US|39.7392|-104.9903");
    EXPECT_EQ(WeatherPlaceEntity::of({"Equator", 40, 0.00001}).id, "Equator|40.0|1e-05");
    for (const Place& p : {denver, Place{"Tiny", 1e-05, -0.1 - 0.2}, Place{"Pole", -90, 180}})
        EXPECT_EQ(WeatherPlaceEntity::of(p).place(), p) << p.name.toStdString();

    const Place london{"London", 51.5072, -0.1276};
    const char* malformed[] = {
        "A|B|1|2",           // a name holding "|"
        "Denver|39.7",       // a missing piece
        "Denver|north|-104", // not a number
        "|1.0|2.0",          // an empty name leaves two pieces
        "Nowhere|nan|0",     "Nowhere|inf|0",
        "Nowhere|1e999|0",                        // not finite
        "Nowhere|90.5|0",    "Nowhere|0|-180.01", // off the globe
        "Nowhere| 1.0|2.0",  "",
    };
    for (const char* id : malformed) {
        EXPECT_EQ(WeatherPlaceEntity{id}.place(), london) << id;
        EXPECT_EQ(WeatherPlaceEntity{id}.displayTitle(), "London") << id;
    }
    EXPECT_EQ(WeatherPlaceEntity{"Oslo, NO|59.91|10.75"}.displayTitle(), "Oslo, NO");
    EXPECT_EQ(WeatherPlaceEntity{"||Rome|41.9|12.5|"}.place(), (Place{"Rome", 41.9, 12.5})) << "empty pieces dropped";
}

TEST(WeatherProviderTable, ZoneCoordinates)
{
    const std::tuple<const char*, double, double> rows[] = {
        {"America/Los_Angeles", 34.0522, -118.2437},
        {"America/Denver", 39.7392, -104.9903},
        {"America/Phoenix", 33.4484, -112.074},
        {"America/Chicago", 41.8781, -87.6298},
        {"America/New_York", 40.7128, -74.006},
        {"America/Toronto", 43.6532, -79.3832},
        {"America/Vancouver", 49.2827, -123.1207},
        {"America/Mexico_City", 19.4326, -99.1332},
        {"America/Sao_Paulo", -23.5505, -46.6333},
        {"Europe/Berlin", 52.52, 13.405},
        {"Europe/Madrid", 40.4168, -3.7038},
        {"Europe/Rome", 41.9028, 12.4964},
        {"Europe/Amsterdam", 52.3676, 4.9041},
        {"Asia/Shanghai", 31.2304, 121.4737},
        {"Asia/Hong_Kong", 22.3193, 114.1694},
        {"Asia/Singapore", 1.3521, 103.8198},
        {"Asia/Dubai", 25.2048, 55.2708},
        {"Asia/Kolkata", 28.6139, 77.209},
        {"Australia/Sydney", -33.8688, 151.2093},
        {"Pacific/Auckland", -36.8509, 174.7645},
    };
    for (const auto& [zone, lat, lon] : rows)
        EXPECT_EQ(WeatherProvider::timeZoneCoords(zone), std::make_pair(lat, lon)) << zone;
    for (const char* zone : {"Europe/London", "Europe/Paris", "Asia/Tokyo"})
        EXPECT_TRUE(WeatherProvider::timeZoneCoords(zone)) << zone;
    for (const char* zone : {"Europe/Oslo", "Asia/Calcutta", "america/chicago", ""})
        EXPECT_FALSE(WeatherProvider::timeZoneCoords(zone)) << zone;
}

TEST_F(WeatherPlaceTest, StoredPlacesComeFirst)
{
    TimeZonePin zone("America/Chicago");
    const Place here{"Home", 10.5, 20.25};
    const Place fallback{"Oslo, NO", 59.91273, 10.74609};

    EXPECT_EQ(WeatherProvider::defaultPlace(), (Place{"Chicago", 41.8781, -87.6298}));
    EXPECT_FALSE(storedDefault()) << "a table zone stores nothing";

    put(WeatherProvider::kDefaultPlaceKey, fallback);
    EXPECT_EQ(WeatherProvider::defaultPlace(), fallback);
    put(WeatherProvider::kMyLocationKey, here);
    EXPECT_EQ(WeatherProvider::myLocation(), here);
    EXPECT_EQ(WeatherProvider::defaultPlace(), here);

    Defaults::shared().setData(WeatherProvider::kMyLocationKey, R"({"name":"Home","latitude":10.5})");
    EXPECT_FALSE(WeatherProvider::myLocation());
    EXPECT_EQ(WeatherProvider::defaultPlace(), fallback);
    Defaults::shared().setData(WeatherProvider::kDefaultPlaceKey, "garbage");
    EXPECT_EQ(WeatherProvider::defaultPlace(), (Place{"Chicago", 41.8781, -87.6298}));
    EXPECT_EQ(Defaults::shared().data(WeatherProvider::kDefaultPlaceKey), "garbage") << "left in place";
    EXPECT_EQ(server.requestCount(), 0);
}

// A reload wave asks for the default place from every weather widget at once: while the
// zone's city is being looked up, later calls wait for that search instead of starting theirs.
TEST_F(WeatherPlaceTest, OneSearchServesTheCallsMadeWhileItRuns)
{
    TimeZonePin zone("Europe/Oslo");
    FixtureResponse slow = FixtureResponse::file("geocoding_oslo.json");
    slow.delayMs = 1500;
    server.route("/v1/search", slow);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(WeatherProvider::defaultPlace().name, "London");
    WeatherProvider::waitForBackgroundSearches();
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(WeatherProvider::defaultPlace(), (Place{"Oslo, NO", 59.91273, 10.74609}));
}

TEST_F(WeatherPlaceTest, ZoneOutsideTheTableSearchesInTheBackground)
{
    TimeZonePin zone("Europe/Oslo");
    server.route("/v1/search", FixtureResponse::json("{}", 503));
    // London's coordinates carry London's name until the zone's city is known.
    EXPECT_EQ(WeatherProvider::defaultPlace(), (Place{"London", 51.5072, -0.1276}));
    WeatherProvider::waitForBackgroundSearches();
    EXPECT_FALSE(storedDefault()) << "a failed search stores nothing";

    server.route("/v1/search", FixtureResponse::file("geocoding_none.json"));
    EXPECT_EQ(WeatherProvider::defaultPlace().name, "London");
    WeatherProvider::waitForBackgroundSearches();
    EXPECT_FALSE(storedDefault()) << "an empty search stores nothing";

    server.route("/v1/search", FixtureResponse::file("geocoding_oslo.json"));
    EXPECT_EQ(WeatherProvider::defaultPlace().name, "London");
    WeatherProvider::waitForBackgroundSearches();
    EXPECT_EQ(server.requests().last().target, "/v1/search?name=Oslo&count=8&language=en");
    const Place oslo{"Oslo, NO", 59.91273, 10.74609};
    EXPECT_EQ(storedDefault(), oslo);
    EXPECT_EQ(WeatherProvider::defaultPlace(), oslo);
    EXPECT_EQ(server.requestCount(), 3);
}

TEST_F(WeatherPlaceTest, Query)
{
    TimeZonePin zone("Asia/Tokyo");
    const WeatherPlaceQuery query;
    const auto byId = query.entitiesFor({"x", "Denver, US|39.7392|-104.9903", "x"});
    EXPECT_EQ(byId.size(), 3u);
    EXPECT_EQ(byId[0].id, "x");

    server.route("/v1/search", FixtureResponse::file("geocoding_oslo.json"));
    const auto found = query.entitiesMatching("Oslo");
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[0].id, "Oslo, NO|59.91273|10.74609");
    EXPECT_EQ(found[3].id, "Oslo Sea|60.0|10.0");
    server.route("/v1/search", FixtureResponse::json("<html>", 500));
    EXPECT_TRUE(query.entitiesMatching("Oslo").empty());

    const std::vector<WeatherPlaceEntity> tokyo = {{"Tokyo|35.6762|139.6503"}};
    EXPECT_EQ(query.suggestedEntities(), tokyo);
    EXPECT_EQ(query.defaultResult(), tokyo[0]);
}

TEST(WeatherConfigIntent, DefaultsAndUnits)
{
    const WeatherConfigIntent fresh;
    EXPECT_FALSE(fresh.place);
    EXPECT_EQ(fresh.unit, TempUnitOption::system);
    EXPECT_EQ(fresh.surface, SurfaceOption::followApp);

    const WeatherSnapshot& c = WeatherSnapshot::sample();
    const WeatherSnapshot f = c.inFahrenheit();
    const std::tuple<TempUnitOption, const char*, bool> cases[] = {
        {TempUnitOption::system, "en_US", true},     {TempUnitOption::system, "en_GB", false},
        {TempUnitOption::system, "de_DE", false},    {TempUnitOption::celsius, "en_US", false},
        {TempUnitOption::fahrenheit, "de_DE", true},
    };
    for (const auto& [unit, locale, fahrenheit] : cases) {
        LocalePin pin(locale);
        WeatherConfigIntent intent;
        intent.unit = unit;
        EXPECT_EQ(intent.localized(c), fahrenheit ? f : c) << locale;
    }

    const auto description = intents::describeIntent<WeatherConfigIntent>(true);
    EXPECT_EQ(description.title, "Weather Options");
    ASSERT_EQ(description.parameters.size(), 3u);
    EXPECT_EQ(description.parameters[0].title, "Place");
    EXPECT_EQ(description.parameters[0].type, "entity");
    EXPECT_TRUE(description.parameters[0].optional);
    EXPECT_EQ(description.parameters[1].title, "Units");
    EXPECT_EQ(description.parameters[2].title, "Background");
}
