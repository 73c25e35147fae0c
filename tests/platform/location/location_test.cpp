// Position fixes from a replayed NMEA recording, and naming a position through the fixture
// reverse geocoder.
#include "platform/location/PositionSource.h"
#include "platform/location/ReverseGeocoder.h"
#include "support/WaitFor.h"
#include "support/FixtureServer.h"

#include <QUrlQuery>
#include <gtest/gtest.h>

#include <cmath>

using velk::PositionSource;
using velk::ReverseGeocoder;

namespace {

QString nmeaFixture()
{
    return qEnvironmentVariable("VELK_SOURCE_DIR") + QStringLiteral("/tests/platform/location/paris.nmea");
}

} // namespace

TEST(PositionSourceTest, AReplayedRecordingGivesOneFix)
{
    const auto source = PositionSource::replaying(nmeaFixture());
    ASSERT_TRUE(source->hasSource());
    EXPECT_EQ(source->authorizationStatus(), PositionSource::authorizedAlways);
    std::optional<std::pair<double, double>> fix;
    QObject::connect(source.get(), &PositionSource::located, [&](double lat, double lon) { fix.emplace(lat, lon); });
    ASSERT_TRUE(source->requestLocation());
    ASSERT_TRUE(velk::test::waitFor([&] { return fix.has_value(); }, 20000));
    EXPECT_NEAR(fix->first, 48.87, 1e-6);
    EXPECT_NEAR(fix->second, 2.35, 1e-6);
}

TEST(PositionSourceTest, WithoutASourceNothingIsAskedFor)
{
    const auto source = PositionSource::replaying(QStringLiteral("/nonexistent/track.nmea"));
    EXPECT_FALSE(source->hasSource());
    EXPECT_EQ(source->authorizationStatus(), PositionSource::restricted);
    EXPECT_FALSE(source->requestLocation());
}

TEST(ReverseGeocoderTest, TheAddressGivesDistrictTownAndCounty)
{
    const auto full = ReverseGeocoder::parse(R"({"address":{"suburb":"Le Marais","city":"Paris","county":"Paris"}})");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->subLocality, QStringLiteral("Le Marais"));
    EXPECT_EQ(full->locality, QStringLiteral("Paris"));

    const auto village = ReverseGeocoder::parse(R"({"address":{"village":"Grasmere","county":"Westmorland"}})");
    ASSERT_TRUE(village);
    EXPECT_EQ(village->subLocality, std::nullopt);
    EXPECT_EQ(village->locality, QStringLiteral("Grasmere"));
    EXPECT_EQ(village->subAdministrativeArea, QStringLiteral("Westmorland"));

    EXPECT_FALSE(ReverseGeocoder::parse(R"({"error":"Unable to geocode"})"));
    EXPECT_FALSE(ReverseGeocoder::parse("<html>"));
    EXPECT_FALSE(ReverseGeocoder::requestUrl(91, 0));
    EXPECT_FALSE(ReverseGeocoder::requestUrl(std::nan(""), 0));
}

TEST(ReverseGeocoderTest, AsksTheConfiguredService)
{
    velk::test::FixtureServer server;
    server.route("/reverse", velk::test::FixtureResponse::json(R"({"address":{"city":"Paris"}})"));
    velk::test::ScopedEnv base("VELK_REVERSE_GEOCODING_URL", server.baseUrl().toUtf8());
    const auto place = ReverseGeocoder::reverse(48.87, 2.35);
    ASSERT_TRUE(place);
    EXPECT_EQ(place->locality, QStringLiteral("Paris"));
    ASSERT_EQ(server.requestCount(), 1);
    const QUrlQuery query(server.requests().first().url());
    EXPECT_EQ(query.queryItemValue("lat"), QStringLiteral("48.870000"));
    EXPECT_EQ(query.queryItemValue("lon"), QStringLiteral("2.350000"));
    EXPECT_FALSE(server.requests().first().headers.value("user-agent").isEmpty());

    server.route("/reverse", velk::test::FixtureResponse::json("{}", 500));
    EXPECT_FALSE(ReverseGeocoder::reverse(48.87, 2.35));
}
