#include "platform/core/DoubleText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

using namespace velk;

TEST(DoubleText, ShortestRoundTripForm)
{
    const std::pair<double, const char*> cases[] = {
        {51.5072, "51.5072"},
        {-0.1276, "-0.1276"},
        {40.0, "40.0"},
        {13.0, "13.0"},
        {-0.12, "-0.12"},
        {0.0, "0.0"},
        {-0.0, "-0.0"},
        {0.1, "0.1"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {-0.000015, "-1.5e-05"},
        {1e-300, "1e-300"},
        {100.0, "100.0"},
        {123456789.25, "123456789.25"},
        {0.1 + 0.2, "0.30000000000000004"},
        {9007199254740992.0, "9007199254740992.0"},
        {1e20, "1e+20"},
        {-2.5e300, "-2.5e+300"},
        {180.0, "180.0"},
        {-104.9903, "-104.9903"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(shortestDoubleText(value), QString::fromLatin1(text)) << text;
        const auto back = parseDecimalDouble(QString::fromLatin1(text));
        ASSERT_TRUE(back) << text;
        EXPECT_EQ(*back, value) << text;
        EXPECT_EQ(std::signbit(*back), std::signbit(value)) << text;
    }
    EXPECT_EQ(shortestDoubleText(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(shortestDoubleText(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(DoubleText, ParsesOnlyWholeFiniteDecimals)
{
    const std::pair<const char*, double> good[] = {
        {"39.7392", 39.7392}, {"-104.9903", -104.9903}, {"+1.5", 1.5},   {"40", 40.0}, {"5.", 5.0},
        {".5", 0.5},          {"1e-05", 1e-05},         {"2E3", 2000.0},
    };
    for (const auto& [text, value] : good) {
        const auto parsed = parseDecimalDouble(QString::fromLatin1(text));
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(*parsed, value) << text;
    }
    const char* bad[] = {"",    " 1.0", "1.0 ", "abc",   "nan", "inf",   "-infinity", "0x1p3", "1e",
                         "1e+", ".",    "-",    "1.2.3", "1,5", "1e999", "--1",       "١٢"};
    for (const char* text : bad)
        EXPECT_FALSE(parseDecimalDouble(QString::fromUtf8(text))) << text;
}
