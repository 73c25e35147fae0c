#include "shared/data/WebTestSupport.h"
#include "shared/data/weather/AirQualityProvider.h"

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::FixtureServer;
using velk::test::ScopedEnv;

namespace {

const WeatherProvider::Place kLondon{"London", 51.5, -0.12};
const WeatherProvider::Place kParis{"Paris", 48.8566, 2.3522};
const char* kPath = "/v1/air-quality";

class AirQualityTest : public test::WebTest {
protected:
    AirQualityTest() : env_("VELK_AIR_QUALITY_URL", server.baseUrl().toUtf8()) {}
    static void putCache(qint64 aqi, Date updated, const QString& placeKey)
    {
        Defaults::shared().setData("velk.aq.cache.v1", *encodeJson(AirQualityProvider::Cache{aqi, updated, placeKey}));
    }
    static std::optional<QByteArray> stored() { return Defaults::shared().data("velk.aq.cache.v1"); }
    ScopedEnv env_;
};

} // namespace

TEST_F(AirQualityTest, FreshReadingOfThePlaceAnswersWithoutARequest)
{
    server.route(kPath, FixtureResponse::file("air_quality.json"));
    putCache(17, ago(1799), "5150,-12");
    EXPECT_EQ(AirQualityProvider::snapshot(kLondon), (AirQualitySnapshot{17, ago(1799)}));
    EXPECT_EQ(server.requestCount(), 0);

    putCache(17, ago(1800), "5150,-12");
    EXPECT_EQ(AirQualityProvider::snapshot(kLondon), (AirQualitySnapshot{42, now()}));
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests()[0].target, "/v1/air-quality?latitude=51.5&longitude=-0.12&current=us_aqi");
    // Stored with its place, and still readable as a plain snapshot.
    EXPECT_EQ(decodeJson<AirQualitySnapshot>(*stored()), (AirQualitySnapshot{42, now()}));
    EXPECT_EQ(decodeJson<AirQualityProvider::Cache>(*stored())->placeKey, "5150,-12");
}

TEST_F(AirQualityTest, AnotherPlacesReadingIsNeverShown)
{
    ScopedEnv timeout("VELK_HTTP_TIMEOUT_MS", "300");
    putCache(150, ago(60), "5150,-12");
    server.route(kPath, FixtureResponse::file("air_quality.json"));
    EXPECT_EQ(AirQualityProvider::snapshot(kParis)->aqi, 42) << "fresh, but London's";
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests()[0].target, "/v1/air-quality?latitude=48.8566&longitude=2.3522&current=us_aqi");

    // The service fails: the one stored reading is now Paris's, so London has none left.
    server.route(kPath, FixtureResponse::json("{}", 500));
    EXPECT_FALSE(AirQualityProvider::snapshot(kLondon));
    EXPECT_EQ(AirQualityProvider::snapshot(kParis)->aqi, 42);

    // A reading stored without its place belongs to no place.
    Defaults::shared().setData("velk.aq.cache.v1", *encodeJson(AirQualitySnapshot{99, ago(10)}));
    EXPECT_FALSE(AirQualityProvider::snapshot(kParis));
}

TEST_F(AirQualityTest, FailedReadingFallsBackToThePlacesOldReading)
{
    ScopedEnv timeout("VELK_HTTP_TIMEOUT_MS", "300");
    auto answers = test::brokenAnswers(FixtureServer::fixture("air_quality.json"));
    answers.push_back(
        {"no index", FixtureResponse::json(R"({"current":{"time":"2025-06-05T07:00","interval":3600}})")});
    answers.push_back({"null index", FixtureResponse::json(R"({"current":{"us_aqi":null}})")});
    answers.push_back({"fractional index", FixtureResponse::json(R"({"current":{"us_aqi":42.5}})")});
    answers.push_back({"error document", FixtureResponse::json(R"({"error":true,"reason":"Cannot initialize"})", 400)});
    for (const auto& [name, answer] : answers) {
        SCOPED_TRACE(name);
        server.route(kPath, answer);
        Defaults::shared().remove("velk.aq.cache.v1");
        EXPECT_FALSE(AirQualityProvider::snapshot(kLondon));
        putCache(77, ago(3 * 86400), "5150,-12");
        const QByteArray before = *stored();
        EXPECT_EQ(AirQualityProvider::snapshot(kLondon), (AirQualitySnapshot{77, ago(3 * 86400)}));
        EXPECT_EQ(*stored(), before) << "cache untouched";
    }
}

TEST_F(AirQualityTest, ZeroIsAReading)
{
    server.route(kPath, FixtureResponse::json(R"({"current":{"us_aqi":0}})"));
    putCache(60, ago(4000), "5150,-12");
    EXPECT_EQ(AirQualityProvider::snapshot(kLondon), (AirQualitySnapshot{0, now()}));
    EXPECT_EQ(decodeJson<AirQualitySnapshot>(*stored())->aqi, 0);
}

TEST(AirQualityParse, IndicesOutOfRangeAreNoReading)
{
    const std::pair<const char*, std::optional<qint64>> cases[] = {
        {"0", 0},
        {"500", 500},
        {"999", 999},
        {"1000", std::nullopt},
        {"-1", std::nullopt},
        {"-9223372036854775808", std::nullopt},
        {"9223372036854775807", std::nullopt},
        {"1e308", std::nullopt},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(AirQualityProvider::parseIndex(QByteArray(R"({"current":{"us_aqi":)") + text + "}}"), expected)
            << text;
}
