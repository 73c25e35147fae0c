// The four weather views read through the inspected tree: the numbers as printed, the glyph
// for the weather code by day and night, which parts take the accent, the day columns and the
// rain chart's bars.
#include "widgets/status/weather/WeatherViews.h"

#include "platform/core/Clock.h"
#include "platform/view/Symbols.h"
#include "weather_support.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>

using namespace velk;
using namespace velk::view;
using velk::testing::colorOf;
using velk::testing::distinctContext;
using velk::testing::dotFills;
using velk::testing::frameOf;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::shown;
using velk::testing::textNode;
using velk::testing::textsOf;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);
const QString kGrey = velk::testing::chartGreyHex();

WeatherSnapshot snapshot()
{
    WeatherSnapshot s;
    s.place = "Oslo";
    s.temperature = -3;
    s.condition = "Snow";
    s.high = -1;
    s.low = -7;
    s.feelsLike = -9;
    s.code = 71;
    s.days = {{"Fri", 2, -4, false}, {"Sat", 5, -2, true}, {"Sun", 1, -6, false}};
    s.rainChance = 0.999;
    return s;
}

class WeatherViews : public ::testing::Test {
protected:
    ClockPin pin{Date(780000000)};
    WCtx ctx = distinctContext();
    const WidgetPalette& pal = ctx.pal;
};

} // namespace

TEST_F(WeatherViews, CurrentPrintsNegativeDegreesAndItsSymbol)
{
    const QJsonObject tree = inspectAt(WeatherCurrent{snapshot(), ctx}, kSmall);
    EXPECT_EQ(shown(tree), "OSLO | -3° | SNOW | H -1° · L -7°");
    EXPECT_EQ(colorOf(tree, "-3°"), pal.ink.hex());
    const std::vector<QJsonObject> glyphs = nodesOfKind(tree, "Image");
    ASSERT_EQ(glyphs.size(), 1u);
    EXPECT_EQ(glyphs[0]["symbol"].toString(), "cloud.snow");
    EXPECT_EQ(glyphs[0]["foreground"].toString(), pal.inkDim.hex());
    // In the top-right corner on the text's insets, clear of the temperature.
    const QRectF glyph = frameOf(glyphs[0]);
    EXPECT_NEAR(glyph.right(), 160 - 22, 0.5);
    EXPECT_NEAR(glyph.top(), 20, 0.5);
    // The temperature's line starts with the blank above its digits' tops, which the glyph may
    // reach into by a point: the line below a 10-point caption and 8 of padding starts a hair
    // above the glyph's foot.
    EXPECT_LE(glyph.bottom(), frameOf(textNode(tree, "-3°")).top() + 1);
}

TEST_F(WeatherViews, CurrentAndNightFitTheirPaddingInTheMonospacedDesign)
{
    // Three captions and the 56-point temperature leave the place caption at the top padding.
    const QRectF padded(22, 20, 116, 120);
    for (const QJsonObject& tree :
         {inspectAt(WeatherCurrent{snapshot(), ctx}, kSmall), inspectAt(WeatherNight{snapshot(), ctx}, kSmall)}) {
        EXPECT_EQ(velk::testing::textsOutside(tree, padded), std::vector<std::string>{}) << shown(tree);
        EXPECT_DOUBLE_EQ(frameOf(textNode(tree, "OSLO")).y(), 20) << shown(tree);
    }
}

TEST_F(WeatherViews, NightSetsTheDegreeSignApartAndSaysHowItFeels)
{
    const QJsonObject tree = inspectAt(WeatherNight{snapshot(), ctx}, kSmall);
    EXPECT_EQ(shown(tree), "OSLO | -3 | ° | SNOW | FEELS -9°");
    EXPECT_EQ(colorOf(tree, "-3"), pal.ink.hex());
    EXPECT_EQ(colorOf(tree, "°"), pal.accent.hex());
    EXPECT_EQ(nodesOfKind(tree, "Image")[0]["foreground"].toString(), pal.ink.hex());
}

TEST_F(WeatherViews, WithoutACodeTheGlyphIsPartlyCloudyByDayOrNight)
{
    WeatherSnapshot s = snapshot();
    s.code.reset();
    for (const bool night : {false, true}) {
        s.isNight = night;
        const QString expected = WeatherSnapshot::symbol(2, night);
        for (const QJsonObject& tree :
             {inspectAt(WeatherCurrent{s, ctx}, kSmall), inspectAt(WeatherNight{s, ctx}, kSmall)}) {
            const QJsonObject glyph = nodesOfKind(tree, "Image").at(0);
            EXPECT_EQ(glyph["symbol"].toString(), expected);
            EXPECT_FALSE(velk::testing::hasFlag(glyph, "unknownSymbol"));
        }
    }
}

TEST(WeatherSymbols, EveryCodeByDayAndNightHasAGlyph)
{
    for (qint64 code = -1; code <= 100; ++code)
        for (const bool night : {false, true})
            EXPECT_NE(symbolShape(WeatherSnapshot::symbol(code, night)), nullptr)
                << code << (night ? " night" : " day");
}

TEST_F(WeatherViews, ForecastHasOneEqualColumnPerDayWithThePeakInTheAccent)
{
    const QJsonObject tree = inspectAt(WeatherForecast{snapshot(), ctx}, kMedium);
    EXPECT_EQ(shown(tree), "-3° | SNOW | OSLO | H -1° · L -7° | FRI | 2° | -4° | SAT | 5° | -2° | SUN | 1° | -6°");
    EXPECT_EQ(colorOf(tree, "SAT"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "5°"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "-2°"), pal.inkFaint.hex());
    EXPECT_EQ(colorOf(tree, "FRI"), pal.inkDim.hex());
    EXPECT_EQ(colorOf(tree, "2°"), pal.ink.hex());
    // Three columns share the width between the 26-point insets.
    const qreal fri = frameOf(textNode(tree, "FRI")).center().x();
    const qreal sat = frameOf(textNode(tree, "SAT")).center().x();
    const qreal sun = frameOf(textNode(tree, "SUN")).center().x();
    EXPECT_NEAR(sat - fri, (344 - 52) / 3.0, 0.5);
    EXPECT_NEAR(sun - sat, sat - fri, 0.5);
    // The hairline rule spans the stack and is one point high.
    bool rule = false;
    for (const QJsonObject& r : nodesOfKind(tree, "Rectangle"))
        if (r["fill"].toString() == pal.hairline.hex() && frameOf(r).height() == 1 && frameOf(r).width() == 344 - 52)
            rule = true;
    EXPECT_TRUE(rule);

    WeatherSnapshot none = snapshot();
    none.days.clear();
    EXPECT_EQ(shown(inspectAt(WeatherForecast{none, ctx}, kMedium)), "-3° | SNOW | OSLO | H -1° · L -7°");
}

TEST_F(WeatherViews, RainPercentIsTruncated)
{
    for (const auto& [chance, text] : std::vector<std::pair<double, const char*>>{
             {0.5, "50%"}, {0.999, "99%"}, {0.0, "0%"}, {1.0, "100%"}, {std::nan(""), "0%"}, {7.0, "100%"}}) {
        WeatherSnapshot s = snapshot();
        s.rainChance = chance;
        EXPECT_EQ(textsOf(inspectAt(WeatherRain{s, ctx}, kMedium)).value(1), text) << chance;
    }
}

TEST_F(WeatherViews, RainBarsTakeTheirColourFromPeakAndChance)
{
    WeatherSnapshot s = snapshot();
    s.rainHours = {{"9", 0.5, false}, {"11", 0.49, false}, {"1", 0.1, true}, {"3", 0.0, false}, {"5", 1.0, false}};
    const QJsonObject tree = inspectAt(WeatherRain{s, ctx}, kMedium);
    EXPECT_EQ(shown(tree), "RAIN · NEXT 12H | 99% | 9 | 11 | 1 | 3 | 5");
    EXPECT_EQ(colorOf(tree, "1"), pal.accent.hex());
    EXPECT_EQ(colorOf(tree, "9"), pal.inkFaint.hex());
    EXPECT_EQ(colorOf(tree, "11"), pal.inkFaint.hex());

    // Dots of each colour: 4 wide; a chance of 0.5 is 4 rows in fill, 0.49 rounds to 4 rows of
    // grey, the peak's 0.1 one row in the accent, 0 still one row, 1 eight rows.
    std::map<QString, int> dots;
    for (const QString& fill : dotFills(tree))
        ++dots[fill];
    // The header's own dot is the accent too.
    EXPECT_EQ(dots[pal.accent.hex()], 1 + 4);
    EXPECT_EQ(dots[pal.fill.hex()], 16 + 32);
    EXPECT_EQ(dots[kGrey], 16 + 4);

    s.rainHours.clear();
    const QJsonObject empty = inspectAt(WeatherRain{s, ctx}, kMedium);
    EXPECT_EQ(shown(empty), "RAIN · NEXT 12H | 99%");
    EXPECT_EQ(nodesOfKind(empty, "Circle").size(), 1u);
}
