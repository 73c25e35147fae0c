#include "shared/data/config/ConfigIntents.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

using namespace velk;

namespace {

// The editor's view of a configuration: title, then each parameter's name, title and default.
template <class I>
QString editorView()
{
    const auto d = intents::describeIntent<I>(true);
    QString out = d.title;
    for (const auto& p : d.parameters) {
        const QJsonValue def = p.defaultValue;
        out += QStringLiteral(" | %1 \"%2\" = %3")
                   .arg(p.name, p.title,
                        def.isString() ? def.toString()
                        : def.isNull() ? QStringLiteral("unset")
                                       : QStringLiteral("?"));
    }
    return out;
}

QStringList identifiers(const std::array<TimeZone, 3>& zones)
{
    return {zones[0].identifier(), zones[1].identifier(), zones[2].identifier()};
}

} // namespace

TEST(ConfigIntentsTest, TitlesParametersAndDefaults)
{
    EXPECT_EQ(
        editorView<CountdownConfigIntent>(),
        R"(Countdown Options | name "Title" = Launch | target "Date" = unset | surface "Background" = followApp)");
    EXPECT_EQ(editorView<StockConfigIntent>(),
              R"(Ticker Options | symbol "Symbol" = AAPL | surface "Background" = followApp)");
    EXPECT_EQ(
        editorView<WatchlistConfigIntent>(),
        R"(Watchlist Options | symbol1 "Symbol 1" = AAPL | symbol2 "Symbol 2" = MSFT | symbol3 "Symbol 3" = NVDA | surface "Background" = followApp)");
    EXPECT_EQ(editorView<ClockConfigIntent>(),
              R"(Clock Options | city "City" = unset | surface "Background" = followApp)");
    EXPECT_EQ(
        editorView<WorldClockConfigIntent>(),
        R"(World Clock Options | city1 "City 1" = unset | city2 "City 2" = unset | city3 "City 3" = unset | surface "Background" = followApp)");
    EXPECT_EQ(editorView<DualClockConfigIntent>(),
              R"(Dual Time Options | home "Home" = unset | away "Away" = unset | surface "Background" = followApp)");

    // A countdown stored without a date keeps the rest of what the user chose.
    const auto countdown = intents::configurationFrom<CountdownConfigIntent>(
        QJsonDocument::fromJson(R"({"surface":"glass","target":"soon"})").object());
    EXPECT_EQ(countdown, (CountdownConfigIntent{"Launch", std::nullopt, SurfaceOption::glass}));
}

TEST(ConfigIntentsTest, WatchlistSymbolsAreTrimmedUpperCasedAndNonEmpty)
{
    struct Case {
        QString s1, s2, s3;
        QStringList expected;
    };
    for (const Case& c : {
             Case{"AAPL", "MSFT", "NVDA", {"AAPL", "MSFT", "NVDA"}}, Case{" msft ", "", "nvda", {"MSFT", "NVDA"}},
             Case{"", "   ", "\t\u00a0\u3000", {}}, Case{"tsla", "TSLA", "", {"TSLA", "TSLA"}},
             Case{"\tbrk.b\u2003", "x\n", "\nY", {"BRK.B", "X\n", "\nY"}}, // line breaks stay
         }) {
        WatchlistConfigIntent intent;
        intent.symbol1 = c.s1;
        intent.symbol2 = c.s2;
        intent.symbol3 = c.s3;
        EXPECT_EQ(intent.symbols(), c.expected) << c.s1.toStdString() << "," << c.s2.toStdString();
    }
}

TEST(ConfigIntentsTest, ClockZonesFallBackToTheCurrentZone)
{
    TimeZonePin zone("Europe/Oslo");
    const auto city = [](const char* id) { return std::optional<TimeZoneEntity>(TimeZoneEntity{id}); };

    EXPECT_EQ(ClockConfigIntent{}.timeZone().identifier(), "Europe/Oslo");
    EXPECT_EQ((ClockConfigIntent{city("Asia/Kolkata"), {}}.timeZone().identifier()), "Asia/Kolkata");
    EXPECT_EQ((ClockConfigIntent{city("Mars/Base"), {}}.timeZone().identifier()), "Europe/Oslo");

    struct Case {
        WorldClockConfigIntent intent;
        QStringList expected;
    };
    for (const Case& c : {
             Case{{}, {"Europe/Oslo", "America/New_York", "Asia/Tokyo"}},
             Case{{std::nullopt, city("Mars/Base"), std::nullopt, {}}, {"Europe/Oslo", "Europe/Oslo", "Asia/Tokyo"}},
             Case{{city("Asia/Tokyo"), std::nullopt, city("Asia/Tokyo"), {}},
                  {"Asia/Tokyo", "America/New_York", "Asia/Tokyo"}},
         })
        EXPECT_EQ(identifiers(c.intent.zones()), c.expected);

    // As the editor stores it: entities by identifier.
    const auto stored = intents::configurationFrom<WorldClockConfigIntent>(
        QJsonDocument::fromJson(R"({"city1":"Australia/Sydney","city3":null})").object());
    EXPECT_EQ(identifiers(stored.zones()), QStringList({"Australia/Sydney", "America/New_York", "Asia/Tokyo"}));
    EXPECT_EQ(DualClockConfigIntent{}, (DualClockConfigIntent{std::nullopt, std::nullopt, SurfaceOption::followApp}));
}
