// The ticker and the watchlist: what their faces show for a day's move, and how their
// timelines fetch from the chart service, up and down.
#include "widgets/extras/stocks/StockProviders.h"
#include "widgets/extras/stocks/StockViews.h"
#include "widgets/extras/stocks/StockWidgets.h"

#include "shared/data/WebTestSupport.h"
#include "shared/look/WidgetContext.h"
#include "system_support.h"

#include <cmath>
#include <limits>

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::ScopedEnv;
using velk::testing::colorOf;
using velk::testing::dotRuns;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::solidContext;
using velk::testing::textsOf;

namespace {

const QSizeF kMedium(344, 160);
const QString kMinus = QStringLiteral("\u2212");

StockSnapshot stock(const char* symbol, double price, double change, std::vector<double> points = {})
{
    StockSnapshot s{QString::fromLatin1(symbol), price, change, {}, test::WebTest::now()};
    for (double v : points)
        s.points.push_back({v, std::nullopt});
    return s;
}

class StockViews : public ::testing::Test {
protected:
    ClockPin pin{test::WebTest::now()};
    WCtx ctx = solidContext("green");
    const WidgetPalette& pal = ctx.pal;
};

TEST_F(StockViews, ChangeAndPriceTexts)
{
    EXPECT_EQ(stockChangeText(-1.2), kMinus + "1.2%");
    EXPECT_EQ(stockChangeText(0), "+0.0%");
    EXPECT_EQ(stockChangeText(2.46), "+2.5%");
    EXPECT_EQ(stockPriceText(1187.4), "1187.40");
    EXPECT_EQ(stockPriceText(12345.678), "12345.68");
}

TEST_F(StockViews, TickerHeaderAndBarColours)
{
    // Values 0.25, 1, 0.4, 0.625, 0.625: columns of 2, 7, 3, 5 and 5 rows, three dots wide.
    const std::vector<double> points{0, 100, 20, 50, 50};
    const QString grey = QStringLiteral("#4C4C4C");
    struct Case {
        double change;
        QString changeText, changeColor, lastTwo;
    };
    for (const Case& c : {Case{-1.2, kMinus + "1.2%", pal.alert.hex(), pal.alert.hex()},
                          Case{0, "+0.0%", pal.inkDim.hex(), pal.fill.hex()}}) {
        SCOPED_TRACE(c.change);
        const QJsonObject tree = inspectAt(StockView{stock("aapl", 243.18, c.change, points), ctx}, kMedium);
        const QStringList texts = textsOf(tree);
        ASSERT_GE(texts.size(), 3);
        EXPECT_EQ(texts.mid(0, 3), (QStringList{"AAPL", "243.18", c.changeText}));
        EXPECT_EQ(colorOf(tree, c.changeText), c.changeColor);
        const std::vector<std::pair<QString, int>> expected{
            {grey, 6}, {pal.fill.hex(), 21}, {grey, 9}, {c.lastTwo, 30}};
        EXPECT_EQ(dotRuns(tree), expected);
    }
}

TEST_F(StockViews, BarValuesStayOnTheChart)
{
    EXPECT_EQ(StockView::barValues({{5, {}}}), std::vector<double>{0.25});
    EXPECT_EQ(StockView::barValues({{3, {}}, {3, {}}}), (std::vector<double>{0.25, 0.25}));
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double v : StockView::barValues({{nan, {}}, {1, {}}, {inf, {}}, {-inf, {}}})) {
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
    }
    // One point: one bar at a quarter, coloured by the day's sign; no points, no bars.
    const QJsonObject one = inspectAt(StockView{stock("X", 1, -3, {7}), ctx}, kMedium);
    EXPECT_EQ(dotRuns(one), (std::vector<std::pair<QString, int>>{{pal.alert.hex(), 6}}));
    const QJsonObject none = inspectAt(StockView{stock("X", 1, 3), ctx}, kMedium);
    EXPECT_TRUE(nodesOfKind(none, "Circle").empty());
    EXPECT_LT(velk::testing::frameOf(velk::testing::textNode(none, "X")).y(), 40);
}

TEST_F(StockViews, WatchlistRows)
{
    EXPECT_DOUBLE_EQ(StockWatchlistView::moveFraction(-1.2), 0.3);
    EXPECT_EQ(StockWatchlistView::moveFraction(0), 0);
    EXPECT_EQ(StockWatchlistView::moveFraction(7.5), 1);
    EXPECT_EQ(StockWatchlistView::moveFraction(std::numeric_limits<double>::quiet_NaN()), 0);

    const std::vector<StockSnapshot> four{stock("aapl", 243.18, -1.2), stock("msft", 512.44, 0),
                                          stock("nvda", 1187.4, 7.5), stock("tsla", 1, 1)};
    const QJsonObject tree = inspectAt(StockWatchlistView{four, ctx}, kMedium);
    EXPECT_EQ(textsOf(tree),
              (QStringList{"AAPL", "243.18", kMinus + "1.2%", "MSFT", "512.44", "+0.0%", "NVDA", "1187.40", "+7.5%"}));
    EXPECT_EQ(colorOf(tree, "AAPL"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, kMinus + "1.2%"), pal.alert.hex());
    // Each bar's lit dots: a 1.2 % fall lights 0.3 of its row in alert, no move lights none
    // (its row is all track), 7.5 % lights the whole row.
    const auto runs = dotRuns(tree);
    ASSERT_EQ(runs.size(), 3u);
    const int n = runs[2].second;
    EXPECT_EQ(runs[0], std::make_pair(pal.alert.hex(), int(std::lround(0.3 * n))));
    EXPECT_EQ(runs[1], std::make_pair(pal.track.hex(), 2 * n - runs[0].second));
    EXPECT_EQ(runs[2].first, pal.fill.hex());
    EXPECT_GT(n, 5);

    const QJsonObject empty = inspectAt(StockWatchlistView{{}, ctx}, kMedium);
    EXPECT_EQ(textsOf(empty), QStringList{"PICK SYMBOLS WITH EDIT WIDGET"});
    EXPECT_EQ(colorOf(empty, "PICK SYMBOLS WITH EDIT WIDGET"), pal.inkDim.hex());
}

// ---- timelines against a fixture chart service ------------------------------------------------

class StockTimelines : public test::WebTest {
protected:
    StockTimelines() : env_("VELK_CHART_URL", server.baseUrl().toUtf8()) {}
    void serve(const char* symbol)
    {
        server.route(QStringLiteral("/v8/finance/chart/%1").arg(symbol), FixtureResponse::file("chart_aapl.json"));
    }
    QStringList requestedPaths() const
    {
        QStringList out;
        for (const auto& r : server.requests())
            out << r.url().path();
        return out;
    }
    static Date minutesOn(int minutes) { return now().addingSeconds(60.0 * minutes); }
    ScopedEnv env_;
    const timeline::TimelineContext placed{timeline::WidgetFamily::medium, kMedium, false};
    const timeline::TimelineContext gallery{timeline::WidgetFamily::medium, kMedium, true};
};

TEST_F(StockTimelines, TickerFetchesTheConfiguredSymbol)
{
    serve("AAPL");
    StockConfigIntent config;
    config.symbol = QStringLiteral(" aapl ");
    config.surface = SurfaceOption::glass;
    const auto t = StockTimelineProvider{}.timeline(config, placed);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(requestedPaths(), QStringList{"/v8/finance/chart/AAPL"});
    EXPECT_EQ(t.entries[0].data.symbol, "AAPL");
    EXPECT_DOUBLE_EQ(t.entries[0].data.price, 243.18);
    EXPECT_EQ(t.entries[0].surface, SurfaceOption::glass);
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(minutesOn(15)));
    // The quote is cached: a second timeline within 15 minutes asks nothing.
    StockTimelineProvider{}.snapshot(config, placed);
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(StockTimelines, TickerWithTheServiceDownShowsTheSampleAndRetriesSooner)
{
    const ScopedEnv down("VELK_CHART_URL", "http://127.0.0.1:9");
    const auto t = StockTimelineProvider{}.timeline(StockConfigIntent{}, placed);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].data, StockSnapshot::sample());
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(minutesOn(10)));
    EXPECT_EQ(StockTimelineProvider{}.snapshot(StockConfigIntent{}, placed).data, StockSnapshot::sample());
}

TEST_F(StockTimelines, PreviewsNeverFetch)
{
    serve("AAPL");
    EXPECT_EQ(StockTimelineProvider{}.snapshot(StockConfigIntent{}, gallery).data, StockSnapshot::sample());
    EXPECT_EQ(WatchlistTimelineProvider{}.snapshot(WatchlistConfigIntent{}, gallery).data,
              StockWatchlistView::sample());
    EXPECT_EQ(StockTimelineProvider{}.placeholder(placed).surface, SurfaceOption::followApp);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(StockTimelines, WatchlistAsksForEachSymbolInTurnAndDropsTheMissing)
{
    serve("AAPL");
    serve("MSFT"); // NVDA is not served: a 404
    WatchlistConfigIntent config;
    config.symbol1 = QStringLiteral("nvda ");
    config.symbol2 = QStringLiteral(" ");
    config.symbol3 = QStringLiteral(" msft");
    const auto t = WatchlistTimelineProvider{}.timeline(config, placed);
    EXPECT_EQ(requestedPaths(), (QStringList{"/v8/finance/chart/NVDA", "/v8/finance/chart/MSFT"}));
    ASSERT_EQ(t.entries.size(), 1u);
    ASSERT_EQ(t.entries[0].data.size(), 1u);
    EXPECT_EQ(t.entries[0].data[0].symbol, "MSFT");
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(minutesOn(15)));

    config.symbol1 = QStringLiteral("aapl");
    server.clearRequests();
    const auto both = WatchlistTimelineProvider{}.snapshot(config, placed).data;
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0].symbol, "AAPL");
    EXPECT_EQ(both[1].symbol, "MSFT"); // cached since the first timeline
    EXPECT_EQ(requestedPaths(), QStringList{"/v8/finance/chart/AAPL"});
}

TEST_F(StockTimelines, WatchlistWithTheServiceDownIsEmpty)
{
    const ScopedEnv down("VELK_CHART_URL", "http://127.0.0.1:9");
    const auto t = WatchlistTimelineProvider{}.timeline(WatchlistConfigIntent{}, placed);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_TRUE(t.entries[0].data.empty());
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(minutesOn(10)));
    // The widget draws the empty list as its prompt.
    const timeline::WidgetDefinition w = WatchlistWidget{}.body();
    const QJsonObject tree = inspectAt(w.render(timeline::AnyEntry(t.entries[0])), kMedium);
    EXPECT_TRUE(textsOf(tree).contains("PICK SYMBOLS WITH EDIT WIDGET"));

    WatchlistConfigIntent none;
    none.symbol1 = none.symbol2 = none.symbol3 = QString();
    EXPECT_TRUE(WatchlistTimelineProvider::fetch(none).empty());
}

} // namespace
