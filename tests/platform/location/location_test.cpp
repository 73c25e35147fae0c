// Position fixes from a replayed NMEA recording, and naming a position through the fixture
// reverse geocoder.
#include "platform/location/PositionSource.h"
#include "platform/location/ReverseGeocoder.h"
#include "support/FixtureServer.h"
#include "support/WaitFor.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrlQuery>
#include <gtest/gtest.h>

#include <cmath>
#include <sys/stat.h>

using velk::PositionSource;
using velk::ReverseGeocoder;

namespace {

QString nmeaFixture()
{
    return qEnvironmentVariable("VELK_SOURCE_DIR") + QStringLiteral("/tests/platform/location/paris.nmea");
}

// The replay's fix is the fixture's last one, in Paris.
void expectTheFixturesFix(PositionSource& source)
{
    ASSERT_TRUE(source.hasSource());
    std::optional<std::pair<double, double>> fix;
    QObject::connect(&source, &PositionSource::located, [&](double lat, double lon) { fix.emplace(lat, lon); });
    ASSERT_TRUE(source.requestLocation());
    ASSERT_TRUE(velk::test::waitFor([&] { return fix.has_value(); }, 20000));
    EXPECT_NEAR(fix->first, 48.87, 1e-6);
    EXPECT_NEAR(fix->second, 2.35, 1e-6);
}

} // namespace

TEST(PositionSourceTest, AReplayedRecordingGivesOneFix)
{
    const auto source = PositionSource::replaying(nmeaFixture());
    EXPECT_EQ(source->authorizationStatus(), PositionSource::authorizedAlways);
    expectTheFixturesFix(*source);
}

TEST(PositionSourceTest, WithoutASourceNothingIsAskedFor)
{
    // A FIFO with no writer and a link to an endless device must not hold up the caller.
    QTemporaryDir dir;
    const QString fifo = dir.filePath("track.nmea"), zero = dir.filePath("zero.nmea");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", zero));
    for (const QString& path : {QStringLiteral("/nonexistent/track.nmea"), fifo, zero, dir.path()}) {
        SCOPED_TRACE(path.toStdString());
        const auto source = PositionSource::replaying(path);
        EXPECT_FALSE(source->hasSource());
        EXPECT_EQ(source->authorizationStatus(), PositionSource::restricted);
        EXPECT_FALSE(source->requestLocation());
    }
}

TEST(PositionSourceTest, ALongRecordingKeepsItsNewestLines)
{
    // An older journey in Oslo, a long stretch of noise, then the fixture's fixes in Paris.
    QFile paris(nmeaFixture());
    ASSERT_TRUE(paris.open(QIODevice::ReadOnly));
    QByteArray track = "$GPGGA,110000.00,5955.0000,N,01045.0000,E,1,08,0.9,35.0,M,47.0,M,,*54\n"
                       "$GPRMC,110000.00,A,5955.0000,N,01045.0000,E,0.0,0.0,101226,,,A*54\n";
    for (int i = 0; i < 150'000; ++i)
        track += "x\n";
    track += paris.readAll();
    QTemporaryDir dir;
    QFile file(dir.filePath("long.nmea"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(track) == track.size());
    file.close();

    expectTheFixturesFix(*PositionSource::replaying(file.fileName()));
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

    // A name past the bound is passed over for the next field, never taken.
    const QString huge(ReverseGeocoder::kMaxNameChars + 1, u'a');
    const auto padded = ReverseGeocoder::parse(
        QStringLiteral(R"({"address":{"suburb":"%1","city":"Paris","county":"%1"}})").arg(huge).toUtf8());
    ASSERT_TRUE(padded);
    EXPECT_EQ(padded->subLocality, std::nullopt);
    EXPECT_EQ(padded->locality, QStringLiteral("Paris"));
    EXPECT_EQ(padded->subAdministrativeArea, std::nullopt);
    const QString longest(ReverseGeocoder::kMaxNameChars, u'b');
    EXPECT_EQ(ReverseGeocoder::parse(QStringLiteral(R"({"address":{"city":"%1"}})").arg(longest).toUtf8())->locality,
              longest);

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
