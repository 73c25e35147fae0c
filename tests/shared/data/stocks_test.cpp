#include "shared/data/WebTestSupport.h"
#include "shared/data/stocks/StocksProvider.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::FixtureServer;
using velk::test::ScopedEnv;

namespace {

// 2025-06-05 13:30 UTC (9:30 in New York), then every half hour.
constexpr qint64 kOpen = 1749130200;

QByteArray chart(const QJsonValue& closes, const QJsonValue& timestamps, const QJsonValue& previousClose = 100.0,
                 const QJsonValue& price = 110.0)
{
    QJsonObject meta{{"currency", "USD"}};
    if (!price.isUndefined()) meta.insert("regularMarketPrice", price);
    if (!previousClose.isUndefined()) meta.insert("chartPreviousClose", previousClose);
    QJsonObject result{{"meta", meta},
                       {"indicators", QJsonObject{{"quote", QJsonArray{QJsonObject{{"close", closes}}}}}}};
    if (!timestamps.isUndefined()) result.insert("timestamp", timestamps);
    return QJsonDocument(
               QJsonObject{{"chart", QJsonObject{{"result", QJsonArray{result}}, {"error", QJsonValue::Null}}}})
        .toJson(QJsonDocument::Compact);
}

QJsonArray series(int n, double from = 10)
{
    QJsonArray a;
    for (int i = 0; i < n; ++i)
        a.append(from + i);
    return a;
}

QJsonArray times(int n)
{
    QJsonArray a;
    for (int i = 0; i < n; ++i)
        a.append(kOpen + 1800 * i);
    return a;
}

std::optional<StockSnapshot> parse(const QByteArray& body)
{
    return StocksProvider::parseChart(body, "AAPL", test::WebTest::now(), *TimeZone::named("America/New_York"),
                                      Locale("en_US"));
}

// Point values and captions ("" for none) in order.
using Points = std::vector<std::pair<double, QString>>;
Points points(const StockSnapshot& s)
{
    Points out;
    for (const auto& p : s.points)
        out.push_back({p.value, p.label.value_or("")});
    return out;
}

StockSnapshot quoteAt(Date updated, double price = 1.0)
{
    StockSnapshot s = StockSnapshot::sample();
    s.price = price;
    s.updated = updated;
    return s;
}

class StocksTest : public test::WebTest {
protected:
    StocksTest() : env_("VELK_CHART_URL", server.baseUrl().toUtf8()) {}
    static void putCache(const QString& symbol, const StockSnapshot& s)
    {
        Defaults::shared().setData("velk.stock.cache." + symbol, *encodeJson(s));
    }
    ScopedEnv env_;
};

} // namespace

TEST(StocksParse, PointsAndCaptions)
{
    struct Case {
        const char* name;
        QJsonValue closes, timestamps;
        Points expected;
    };
    const Case cases[] = {
        {"12 closes: step 1, first eight",
         series(12),
         times(12),
         {{10, "9AM"}, {11, ""}, {12, "10AM"}, {13, ""}, {14, "11AM"}, {15, ""}, {16, "12PM"}, {17, ""}}},
        {"16 closes: step 2",
         series(16),
         times(16),
         {{10, "9AM"}, {12, ""}, {14, "11AM"}, {16, ""}, {18, "1PM"}, {20, ""}, {22, "3PM"}, {24, ""}}},
        {"3 closes", series(3), times(3), {{10, "9AM"}, {11, ""}, {12, "10AM"}}},
        // A null close takes its own timestamp with it, so 10 keeps the caption of 10:00.
        {"null close paired", QJsonArray{QJsonValue::Null, 10, 11}, times(3), {{10, "10AM"}, {11, ""}}},
        {"null close, unpaired lists", QJsonArray{QJsonValue::Null, 10, 11}, times(2), {{10, "9AM"}, {11, ""}}},
        {"fewer timestamps than points", series(5), times(2), {{10, "9AM"}, {11, ""}, {12, ""}, {13, ""}, {14, ""}}},
        {"no timestamps", series(3), QJsonValue(QJsonValue::Undefined), {{10, ""}, {11, ""}, {12, ""}}},
        {"no closes", QJsonValue(QJsonValue::Undefined), times(3), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto s = parse(chart(c.closes, c.timestamps));
        ASSERT_TRUE(s);
        EXPECT_EQ(points(*s), c.expected);
        EXPECT_EQ(s->symbol, "AAPL");
        EXPECT_DOUBLE_EQ(s->price, 110);
        EXPECT_DOUBLE_EQ(s->changePercent, 10);
        EXPECT_EQ(s->updated, test::WebTest::now());
    }
}

TEST(StocksParse, ChangeAgainstThePreviousClose)
{
    const QJsonValue none(QJsonValue::Undefined);
    EXPECT_DOUBLE_EQ(parse(chart(series(3, 50), none, none))->changePercent, 120) << "first close";
    EXPECT_DOUBLE_EQ(parse(chart(QJsonArray(), none, none))->changePercent, 0) << "price itself";
    EXPECT_DOUBLE_EQ(parse(chart(series(3), none, 0.0))->changePercent, 0);
    EXPECT_DOUBLE_EQ(parse(chart(series(3), none, -5.0))->changePercent, 0);
    // A previous close next to nothing would make the change inf: no change instead.
    EXPECT_DOUBLE_EQ(parse(chart(series(3), none, 1e-320))->changePercent, 0);
    // One out of range is no previous close: the first close stands in.
    EXPECT_DOUBLE_EQ(parse(chart(series(3, 50), none, 1e308))->changePercent, 120);

    const auto recorded = parse(FixtureServer::fixture("chart_aapl.json"));
    ASSERT_TRUE(recorded);
    EXPECT_DOUBLE_EQ(recorded->price, 243.18);
    EXPECT_DOUBLE_EQ(recorded->changePercent, (243.18 - 246.13) / 246.13 * 100);
    EXPECT_EQ(recorded->points.size(), 8u);
    EXPECT_EQ(recorded->points[2].label, "11AM");
}

TEST(StocksParse, ClosesOutOfRangeAreNoPoints)
{
    const auto s = parse(chart(QJsonArray{10, 1e308, 11, -1e300, 12}, times(5)));
    ASSERT_TRUE(s);
    EXPECT_EQ(points(*s), (Points{{10, "9AM"}, {11, ""}, {12, "11AM"}}));
}

TEST(StocksParse, UnusableAnswers)
{
    const QJsonValue none(QJsonValue::Undefined);
    const std::pair<const char*, QByteArray> cases[] = {
        {"no chart member", FixtureServer::fixture("chart_unauthorized.json")},
        {"null result", FixtureServer::fixture("chart_not_found.json")},
        {"empty result", R"({"chart":{"result":[]}})"},
        {"no price", chart(series(3), times(3), 100.0, none)},
        {"close that is text", chart(QJsonArray{1, "2"}, times(2))},
        {"fractional timestamp", chart(series(2), QJsonArray{1.5, 2})},
        {"html", "<html></html>"},
        {"price of 1e308", chart(series(3), times(3), 100.0, 1e308)},
        {"price of -1e300", chart(series(3), times(3), 100.0, -1e300)},
    };
    for (const auto& [name, body] : cases)
        EXPECT_FALSE(parse(body)) << name;
}

TEST(StocksProvider, NormalisedSymbols)
{
    const std::pair<const char*, const char*> cases[] = {
        {" aapl ", "AAPL"}, {"\taapl\u00a0", "AAPL"},   {"brk b", "BRK B"}, {"aapl\n", "AAPL\n"},
        {"", ""},           {"stra\u00dfe", "STRASSE"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(StocksProvider::normalizedSymbol(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST_F(StocksTest, FreshCacheAnswersWithoutARequest)
{
    server.route("/v8/finance/chart/AAPL", FixtureResponse::file("chart_aapl.json"));
    putCache("AAPL", quoteAt(ago(899)));
    EXPECT_EQ(StocksProvider::snapshot(" aapl ")->price, 1.0);
    EXPECT_EQ(server.requestCount(), 0);

    putCache("AAPL", quoteAt(ago(900)));
    const auto fetched = StocksProvider::snapshot(" aapl ");
    ASSERT_TRUE(fetched);
    EXPECT_EQ(fetched->symbol, "AAPL");
    EXPECT_DOUBLE_EQ(fetched->price, 243.18);
    ASSERT_EQ(server.requestCount(), 1);
    const auto request = server.requests()[0];
    EXPECT_EQ(request.target, "/v8/finance/chart/AAPL?range=1d&interval=30m&includePrePost=false");
    EXPECT_EQ(request.headers.value("user-agent"), "Mozilla/5.0");
    EXPECT_EQ(decodeJson<StockSnapshot>(*Defaults::shared().data("velk.stock.cache.AAPL")), fetched);
}

TEST_F(StocksTest, TypedSymbolsStayInThePath)
{
    StocksProvider::snapshot("^gspc");
    StocksProvider::snapshot("brk b/../x?y");
    ASSERT_EQ(server.requestCount(), 2);
    EXPECT_EQ(server.requests()[0].url().path(QUrl::FullyEncoded), "/v8/finance/chart/%5EGSPC");
    EXPECT_EQ(server.requests()[1].url().path(QUrl::FullyEncoded), "/v8/finance/chart/BRK%20B%2F..%2FX%3FY");
    EXPECT_EQ(server.requests()[1].url().query(), "range=1d&interval=30m&includePrePost=false");
}

TEST_F(StocksTest, FailedFetchFallsBackToTheCacheOfAnyAge)
{
    ScopedEnv timeout("VELK_HTTP_TIMEOUT_MS", "300");
    auto answers = test::brokenAnswers(FixtureServer::fixture("chart_aapl.json"));
    answers.push_back({"error document", FixtureResponse::file("chart_unauthorized.json", 401)});
    answers.push_back({"unknown symbol", FixtureResponse::file("chart_not_found.json", 404)});
    const StockSnapshot old = quoteAt(ago(30 * 86400), 7.0);
    for (const auto& [name, answer] : answers) {
        SCOPED_TRACE(name);
        server.route("/v8/finance/chart/MSFT", answer);
        Defaults::shared().remove("velk.stock.cache.MSFT");
        EXPECT_FALSE(StocksProvider::snapshot("msft"));
        putCache("MSFT", old);
        EXPECT_EQ(StocksProvider::snapshot("msft"), old);
        EXPECT_EQ(decodeJson<StockSnapshot>(*Defaults::shared().data("velk.stock.cache.MSFT")), old);
    }
}
