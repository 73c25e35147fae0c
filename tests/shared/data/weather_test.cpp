#include "shared/data/WebTestSupport.h"
#include "shared/data/weather/WeatherProvider.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cmath>
#include <functional>
#include <limits>

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::FixtureServer;
using velk::test::ScopedEnv;

namespace {

using Place = WeatherProvider::Place;
const Place kLondon{"London", 51.5, -0.12};

QByteArray forecastEdited(const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject doc = QJsonDocument::fromJson(FixtureServer::fixture("forecast_7day.json")).object();
    edit(doc);
    return QJsonDocument(doc).toJson(QJsonDocument::Compact);
}

void setMember(QJsonObject& doc, const char* object, const char* key, const QJsonValue& value)
{
    QJsonObject o = doc.value(QLatin1String(object)).toObject();
    o.insert(QLatin1String(key), value);
    doc.insert(QLatin1String(object), o);
}

QJsonArray firstOf(const QJsonObject& doc, const char* object, const char* key, int n)
{
    QJsonArray a = doc.value(QLatin1String(object)).toObject().value(QLatin1String(key)).toArray();
    while (a.size() > n)
        a.removeLast();
    return a;
}

QStringList rainLabels(const WeatherSnapshot& s)
{
    QStringList out;
    for (const auto& h : s.rainHours)
        out << h.label;
    return out;
}

QStringList dayLabels(const WeatherSnapshot& s)
{
    QStringList out;
    for (const auto& d : s.days)
        out << d.label;
    return out;
}

WeatherProvider::ForecastEnvironment env(bool uses24Hour = false)
{
    return {test::WebTest::now(), TimeZone::utc(), Locale("en_US"), uses24Hour};
}

WeatherSnapshot snapshotAt(Date updated, const QString& place = "Cached")
{
    WeatherSnapshot s = WeatherSnapshot::sample();
    s.place = place;
    s.updated = updated;
    return s;
}

void putCache(const Place& place, const WeatherSnapshot& s)
{
    const QString suffix = *WeatherProvider::cacheSuffix(place);
    Defaults::shared().setData("velk.weather.cache.v1" + suffix, *encodeJson(WeatherProvider::Cache{suffix, s}));
}

class WeatherTest : public test::WebTest {
protected:
    WeatherTest() : env_("VELK_FORECAST_URL", server.baseUrl().toUtf8()) {}
    ScopedEnv env_;
};

} // namespace

TEST(WeatherParse, RecordedSevenDayForecast)
{
    const auto s = WeatherProvider::parseForecast(FixtureServer::fixture("forecast_7day.json"), kLondon, env());
    ASSERT_TRUE(s);
    EXPECT_EQ(s->place, "London");
    EXPECT_EQ(s->temperature, 18); // 17.5, half away from zero
    EXPECT_EQ(s->feelsLike, 16);
    EXPECT_EQ(s->condition, "Overcast");
    EXPECT_EQ(s->code, 3);
    EXPECT_FALSE(s->isNight);
    EXPECT_EQ(s->high, 22);
    EXPECT_EQ(s->low, 12);
    EXPECT_EQ(s->updated, test::WebTest::now());

    // Today goes only into high and low; two days share the top high and the first is the peak;
    // -0.5 and -2.5 round away from zero.
    const std::vector<WeatherSnapshot::Day> days = {{"Fri", 23, 14, false}, {"Sat", 27, 15, true},
                                                    {"Sun", 27, 15, false}, {"Mon", 19, 11, false},
                                                    {"Tue", -1, -3, false}, {"Wed", 18, 10, false}};
    EXPECT_EQ(s->days, days);

    // 08:30 in London (the answer's zone, not the device's UTC): every second hour from 09:00.
    // A dry hour shows the 0.06 floor, while rainChance keeps the true maximum.
    const std::vector<WeatherSnapshot::RainHour> hours = {{"9", 0.8, true},   {"11", 0.4, false}, {"1", 0.45, false},
                                                          {"3", 0.55, false}, {"5", 0.1, false},  {"7", 0.06, false},
                                                          {"9", 0.06, false}};
    EXPECT_EQ(s->rainHours, hours);
    EXPECT_DOUBLE_EQ(s->rainChance, 0.8);

    const auto h24 = WeatherProvider::parseForecast(FixtureServer::fixture("forecast_7day.json"), kLondon, env(true));
    EXPECT_EQ(rainLabels(*h24), QStringList({"09", "11", "13", "15", "17", "19", "21"}));
}

TEST(WeatherParse, ShortOrOddArraysDropRowsInsteadOfReadingPastTheEnd)
{
    struct Case {
        const char* name;
        std::function<void(QJsonObject&)> edit;
        std::function<void(const WeatherSnapshot&)> check;
    };
    const Case cases[] = {
        {"daily max shorter than its dates",
         [](QJsonObject& d) {
             setMember(d, "daily", "temperature_2m_max", firstOf(d, "daily", "temperature_2m_max", 3));
         },
         [](const WeatherSnapshot& s) {
             EXPECT_EQ(dayLabels(s), QStringList({"Fri", "Sat"}));
         }},
        {"daily min empty", [](QJsonObject& d) { setMember(d, "daily", "temperature_2m_min", QJsonArray()); },
         [](const WeatherSnapshot& s) {
             EXPECT_TRUE(s.days.empty());
             EXPECT_EQ(s.high, 22);
             EXPECT_EQ(s.low, 0);
         }},
        {"daily all empty",
         [](QJsonObject& d) {
             for (const char* k : {"time", "temperature_2m_max", "temperature_2m_min"})
                 setMember(d, "daily", k, QJsonArray());
         },
         [](const WeatherSnapshot& s) {
             EXPECT_TRUE(s.days.empty());
             EXPECT_EQ(s.high, 0);
         }},
        {"one daily entry", [](QJsonObject& d) { setMember(d, "daily", "time", firstOf(d, "daily", "time", 1)); },
         [](const WeatherSnapshot& s) { EXPECT_TRUE(s.days.empty()); }},
        {"unparseable day skipped",
         [](QJsonObject& d) {
             QJsonArray t = firstOf(d, "daily", "time", 7);
             t[2] = "2025-06-31";
             setMember(d, "daily", "time", t);
         },
         [](const WeatherSnapshot& s) {
             EXPECT_EQ(dayLabels(s), QStringList({"Fri", "Sun", "Mon", "Tue", "Wed"}));
         }},
        {"probabilities end early",
         [](QJsonObject& d) {
             setMember(d, "hourly", "precipitation_probability", firstOf(d, "hourly", "precipitation_probability", 12));
         },
         [](const WeatherSnapshot& s) {
             EXPECT_EQ(rainLabels(s), QStringList({"9", "11"}));
         }},
        {"hourly times end early",
         [](QJsonObject& d) { setMember(d, "hourly", "time", firstOf(d, "hourly", "time", 14)); },
         [](const WeatherSnapshot& s) {
             EXPECT_EQ(rainLabels(s), QStringList({"9", "11", "1"}));
         }},
        {"hourly empty",
         [](QJsonObject& d) {
             setMember(d, "hourly", "time", QJsonArray());
             setMember(d, "hourly", "precipitation_probability", QJsonArray());
         },
         [](const WeatherSnapshot& s) {
             EXPECT_TRUE(s.rainHours.empty());
             EXPECT_EQ(s.rainChance, 0.0);
         }},
        {"all dry: first row is the peak",
         [](QJsonObject& d) {
             QJsonArray p;
             for (int i = 0; i < 168; ++i)
                 p.append(0);
             setMember(d, "hourly", "precipitation_probability", p);
         },
         [](const WeatherSnapshot& s) {
             ASSERT_EQ(s.rainHours.size(), 7u);
             EXPECT_TRUE(s.rainHours[0].isPeak);
             EXPECT_EQ(s.rainHours[0].chance, 0.06);
             EXPECT_EQ(s.rainChance, 0.0);
         }},
        {"unknown zone keeps the device's", [](QJsonObject& d) { d.insert("timezone", "Mars/Base"); },
         [](const WeatherSnapshot& s) {
             EXPECT_EQ(rainLabels(s), QStringList({"8", "10", "12", "2", "4", "6", "8"}));
         }},
        {"is_day neither 0 nor 1",
         [](QJsonObject& d) {
             setMember(d, "current", "is_day", 2);
             setMember(d, "current", "weather_code", 1);
         },
         [](const WeatherSnapshot& s) {
             EXPECT_EQ(s.condition, "Clear night");
             EXPECT_FALSE(s.isNight);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto s = WeatherProvider::parseForecast(forecastEdited(c.edit), kLondon, env());
        ASSERT_TRUE(s);
        c.check(*s);
    }
}

TEST(WeatherParse, MalformedAnswersAreNoForecast)
{
    const std::pair<const char*, QByteArray> cases[] = {
        {"error document", FixtureServer::fixture("forecast_error.json")},
        {"html", "<html>502</html>"},
        {"empty", ""},
        {"null in an array", forecastEdited([](QJsonObject& d) {
             QJsonArray a = firstOf(d, "daily", "temperature_2m_max", 7);
             a[3] = QJsonValue::Null;
             setMember(d, "daily", "temperature_2m_max", a);
         })},
        {"missing timezone", forecastEdited([](QJsonObject& d) { d.remove("timezone"); })},
        {"null current value",
         forecastEdited([](QJsonObject& d) { setMember(d, "current", "temperature_2m", QJsonValue::Null); })},
        {"fractional code", forecastEdited([](QJsonObject& d) { setMember(d, "current", "weather_code", 2.5); })},
        {"temperature beyond any whole number",
         forecastEdited([](QJsonObject& d) { setMember(d, "current", "temperature_2m", 1e300); })},
    };
    for (const auto& [name, body] : cases)
        EXPECT_FALSE(WeatherProvider::parseForecast(body, kLondon, env())) << name;
}

TEST(WeatherParse, ConditionTexts)
{
    const std::tuple<qint64, bool, const char*> cases[] = {
        {1, false, "Clear night"}, {0, false, "Clear night"},      {2, true, "Partly cloudy"},  {3, false, "Overcast"},
        {48, true, "Fog"},         {57, true, "Freezing drizzle"}, {67, true, "Freezing rain"}, {77, true, "Snow"},
        {82, true, "Showers"},     {95, true, "Thunderstorm"},     {99, true, "Hail storm"},    {4, true, "\u2014"},
        {-1, true, "\u2014"},      {100, false, "\u2014"},
    };
    for (const auto& [code, isDay, text] : cases)
        EXPECT_EQ(WeatherProvider::conditionText(code, isDay), QString::fromUtf8(text)) << code;
    EXPECT_NE(WeatherProvider::conditionText(0, true), WeatherProvider::conditionText(1, true));
    EXPECT_EQ(WeatherProvider::conditionText(85, true), WeatherProvider::conditionText(86, false));
}

TEST(WeatherCache, SuffixOfAPlace)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::tuple<double, double, std::optional<QString>> cases[] = {
        {1.5, -0.12, "150,-12"}, {1.509, -0.121, "150,-12"}, {4.71, -7.01, "471,-701"}, {-0.004, 0.004, "0,0"},
        {0.29, 0, "28,0"},       {90, -180, "9000,-18000"},  {nan, 0, std::nullopt},    {0, inf, std::nullopt},
        {90.5, 0, std::nullopt}, {0, -1e300, std::nullopt},
    };
    for (const auto& [lat, lon, suffix] : cases)
        EXPECT_EQ(WeatherProvider::cacheSuffix({"x", lat, lon}), suffix) << lat << "," << lon;
}

TEST_F(WeatherTest, CacheEntriesAreReadOnlyForTheirOwnKey)
{
    const Place a{"A", 1.5, -0.12};
    putCache(a, snapshotAt(ago(10), "A label"));
    ASSERT_TRUE(Defaults::shared().contains("velk.weather.cache.v1150,-12"));
    // Same hundredths, same entry, label included.
    EXPECT_EQ(WeatherProvider::cached({"B", 1.509, -0.121})->place, "A label");
    EXPECT_FALSE(WeatherProvider::cached({"C", 1.52, -0.12}));

    const QString key = "velk.weather.cache.v1150,-12";
    Defaults::shared().setData(key, *encodeJson(WeatherProvider::Cache{"151,-12", snapshotAt(ago(10))}));
    EXPECT_FALSE(WeatherProvider::cached(a)) << "edited place key";
    Defaults::shared().setData(key, "{not json");
    EXPECT_FALSE(WeatherProvider::cached(a));
    EXPECT_EQ(Defaults::shared().data(key), "{not json") << "left in place";
    Defaults::shared().setString(key, "text");
    EXPECT_FALSE(WeatherProvider::cached(a));
}

TEST_F(WeatherTest, FreshCacheAnswersWithoutARequest)
{
    server.route("/v1/forecast", FixtureResponse::file("forecast_7day.json"));
    putCache(kLondon, snapshotAt(ago(1499)));
    EXPECT_EQ(WeatherProvider::snapshot(kLondon)->place, "Cached");
    putCache(kLondon, snapshotAt(now().addingSeconds(3600))); // dated in the future: fresh
    EXPECT_EQ(WeatherProvider::snapshot(kLondon)->place, "Cached");
    EXPECT_EQ(server.requestCount(), 0);

    putCache(kLondon, snapshotAt(ago(1500)));
    const auto fetched = WeatherProvider::snapshot(kLondon);
    ASSERT_TRUE(fetched);
    EXPECT_EQ(fetched->place, "London");
    EXPECT_EQ(fetched->updated, now());
    EXPECT_EQ(server.requestCount(), 1);
    EXPECT_EQ(WeatherProvider::cached(kLondon), fetched) << "stored";
}

TEST_F(WeatherTest, RequestsTheForecastOfThePlace)
{
    server.route("/v1/forecast", FixtureResponse::file("forecast_7day.json"));
    ASSERT_TRUE(WeatherProvider::snapshot({"Somewhere", 13.0, -0.12}));
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests()[0].target,
              "/v1/forecast?latitude=13.0&longitude=-0.12"
              "&current=temperature_2m,apparent_temperature,weather_code,is_day"
              "&daily=temperature_2m_max,temperature_2m_min,weather_code&hourly=precipitation_probability"
              "&forecast_days=7&timezone=auto");

    // The user's clock setting reaches the rain labels; en_US alone would give "9".
    Defaults::shared().setInteger("velk.timeformat", 24);
    const auto h24 = WeatherProvider::snapshot({"Elsewhere", 20.0, 5.0});
    ASSERT_TRUE(h24);
    EXPECT_EQ(rainLabels(*h24).value(0), "09");
    Defaults::shared().setInteger("velk.timeformat", 12);
    EXPECT_EQ(rainLabels(*WeatherProvider::snapshot({"Elsewhere", 30.0, 5.0})).value(0), "9");
    ASSERT_EQ(server.requestCount(), 3);

    // Coordinates that no cache key or service can take make no request.
    EXPECT_FALSE(WeatherProvider::snapshot({"Nowhere", std::nan(""), 0}));
    EXPECT_FALSE(WeatherProvider::snapshot({"Nowhere", 95, 0}));
    EXPECT_EQ(server.requestCount(), 3);
}

TEST_F(WeatherTest, FailedFetchFallsBackToTheCacheOfAnyAge)
{
    ScopedEnv timeout("VELK_HTTP_TIMEOUT_MS", "300");
    auto answers = test::brokenAnswers(FixtureServer::fixture("forecast_7day.json"));
    answers.push_back({"error document", FixtureResponse::file("forecast_error.json", 400)});
    const WeatherSnapshot old = snapshotAt(ago(2 * 86400));
    for (const auto& [name, answer] : answers) {
        SCOPED_TRACE(name);
        server.route("/v1/forecast", answer);
        Defaults::shared().remove("velk.weather.cache.v15150,-12");
        EXPECT_FALSE(WeatherProvider::snapshot(kLondon));
        putCache(kLondon, old);
        EXPECT_EQ(WeatherProvider::snapshot(kLondon), old);
        EXPECT_EQ(WeatherProvider::cached(kLondon), old) << "nothing stored";
    }
}

TEST_F(WeatherTest, PlaceSearch)
{
    test::ScopedEnv geo("VELK_GEOCODING_URL", server.baseUrl().toUtf8());
    server.route("/v1/search", FixtureResponse::file("geocoding_oslo.json"));
    const auto places = WeatherProvider::searchPlaces(QString::fromUtf8("São Paulo+1 & co/x"));
    ASSERT_TRUE(places);
    EXPECT_EQ(server.requests().value(0).target,
              "/v1/search?name=S%C3%A3o%20Paulo%2B1%20%26%20co%2Fx&count=8&language=en");
    const std::vector<Place> expected = {{"Oslo, NO", 59.91273, 10.74609},
                                         {"Oslo, US", 48.19525, -97.13314},
                                         {"Oslo, US", 48.19525, -97.13314},
                                         {"Oslo Sea", 60.0, 10.0},
                                         {"Oslofjord", 59.5, 10.6}};
    EXPECT_EQ(*places, expected);

    // A hostile answer with far more results than asked for: the first eight are kept.
    QByteArray many = R"({"results":[)";
    for (int i = 0; i < 100000; ++i)
        many += (i ? "," : "") + QByteArray(R"({"name":"P","latitude":1,"longitude":2})");
    server.route("/v1/search", FixtureResponse::json(many + "]}"));
    EXPECT_EQ(WeatherProvider::searchPlaces("P")->size(), size_t(WeatherProvider::kMaxPlaces));

    server.route("/v1/search", FixtureResponse::file("geocoding_none.json"));
    EXPECT_EQ(WeatherProvider::searchPlaces(""), std::vector<Place>{});
    EXPECT_EQ(server.requests().last().target, "/v1/search?name=&count=8&language=en");

    ScopedEnv timeout("VELK_HTTP_TIMEOUT_MS", "300");
    auto failures = test::brokenAnswers(FixtureServer::fixture("geocoding_oslo.json"));
    failures.push_back(
        {"result without latitude",
         FixtureResponse::json(
             R"({"results":[{"name":"Oslo","longitude":10.7},{"name":"B","latitude":1,"longitude":2}]})")});
    failures.push_back(
        {"null name", FixtureResponse::json(R"({"results":[{"name":null,"latitude":1,"longitude":2}]})")});
    for (const auto& [name, answer] : failures) {
        server.route("/v1/search", answer);
        QString error;
        EXPECT_FALSE(WeatherProvider::searchPlaces("Oslo", &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
}
