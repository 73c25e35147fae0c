// The location service: a replayed fix named by the fixture geocoder and stored, the naming
// rules, and a machine without a position source.
#include "app/services/LocationService.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/weather/WeatherProvider.h"
#include "support/FixtureServer.h"
#include "support/WaitFor.h"

#include <gtest/gtest.h>

using namespace velk;

namespace {

const QStringList kWeatherKinds{"velk.weather.current", "velk.weather.night",    "velk.weather.forecast",
                                "velk.weather.rain",    "velk.weather.daylight", "velk.weather.airquality"};

QString nmea()
{
    return qEnvironmentVariable("VELK_SOURCE_DIR") + QStringLiteral("/tests/platform/location/paris.nmea");
}

void forgetPlace()
{
    Defaults::shared().remove(QString::fromLatin1(WeatherProvider::kMyLocationKey));
}

} // namespace

TEST(LocationServiceTest, AReplayedFixIsNamedStoredAndReloads)
{
    forgetPlace();
    test::FixtureServer server;
    server.route("/reverse", test::FixtureResponse::json(R"({"address":{"suburb":"Le Marais","city":"Paris"}})"));
    test::ScopedEnv base("VELK_REVERSE_GEOCODING_URL", server.baseUrl().toUtf8());
    timeline::WidgetCenterRecorder reloads;

    LocationService service(PositionSource::replaying(nmea()));
    EXPECT_TRUE(service.authorized());
    EXPECT_EQ(service.placeName(), std::nullopt);
    service.request();
    ASSERT_TRUE(test::waitFor([] { return WeatherProvider::myLocation().has_value(); }));
    const WeatherProvider::Place place = *WeatherProvider::myLocation();
    EXPECT_EQ(place.name, QStringLiteral("Le Marais"));
    EXPECT_NEAR(place.latitude, 48.87, 1e-6);
    EXPECT_NEAR(place.longitude, 2.35, 1e-6);
    EXPECT_EQ(service.placeName(), QStringLiteral("Le Marais"));
    ASSERT_TRUE(test::waitFor([&] { return reloads.kinds().size() >= 6; }));
    EXPECT_EQ(reloads.kinds().mid(0, 6), kWeatherKinds);

    // A new service starts from the stored name.
    LocationService again(PositionSource::replaying(nmea()));
    EXPECT_EQ(again.placeName(), QStringLiteral("Le Marais"));
}

TEST(LocationServiceTest, NamesAndTheFallbackName)
{
    using P = ReverseGeocoder::Placemark;
    EXPECT_EQ(LocationService::nameOf(P{"District", "Town", "County"}), QStringLiteral("District"));
    EXPECT_EQ(LocationService::nameOf(P{std::nullopt, "Town", "County"}), QStringLiteral("Town"));
    EXPECT_EQ(LocationService::nameOf(P{std::nullopt, std::nullopt, "County"}), QStringLiteral("County"));
    EXPECT_EQ(LocationService::nameOf(P{}), std::nullopt);
    EXPECT_EQ(LocationService::nameOf(std::nullopt), std::nullopt);

    forgetPlace();
    LocationService service(PositionSource::replaying(nmea()), [](double, double) { return std::nullopt; });
    bool stored = false;
    QObject::connect(&service, &LocationService::placeStored, [&] { stored = true; });
    service.didUpdateLocations({});
    service.didUpdateLocations({{10.5, -20.25}});
    ASSERT_TRUE(test::waitFor([&] { return stored; }));
    EXPECT_EQ(WeatherProvider::myLocation(), (WeatherProvider::Place{"My Location", 10.5, -20.25}));
}

TEST(LocationServiceTest, WithoutAPositionSourceNothingIsStored)
{
    forgetPlace();
    LocationService service(PositionSource::replaying("/nonexistent.nmea"));
    EXPECT_FALSE(service.authorized());
    service.requestLocation();
    service.request();
    QCoreApplication::processEvents();
    EXPECT_FALSE(WeatherProvider::myLocation());
}
