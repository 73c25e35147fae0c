// The texts and values the records compute for their views.
#include "records_fixtures.h"

#include <gtest/gtest.h>

#include <limits>

using namespace velk;

TEST(AirQuality, CategoryBandsIncludeTheirBounds)
{
    const std::vector<std::pair<qint64, const char*>> cases{
        {-5, "Good"},
        {0, "Good"},
        {50, "Good"},
        {51, "Moderate"},
        {100, "Moderate"},
        {101, "Unhealthy for some"},
        {150, "Unhealthy for some"},
        {151, "Unhealthy"},
        {200, "Unhealthy"},
        {201, "Very unhealthy"},
        {300, "Very unhealthy"},
        {301, "Hazardous"},
        {999999, "Hazardous"},
    };
    for (const auto& [aqi, text] : cases)
        EXPECT_EQ(AirQualitySnapshot({aqi, Date()}).category(), QString::fromUtf8(text)) << aqi;
    EXPECT_EQ(AirQualitySnapshot::sample().category(), QStringLiteral("Good"));
}

TEST(Daylight, LengthLabelTruncatesTowardsZero)
{
    const Date rise(1000);
    const std::vector<std::pair<double, const char*>> cases{
        {0, "0H 0M"},        {59.9, "0H 0M"},    {3599, "0H 59M"},
        {3600, "1H 0M"},     {56400, "15H 40M"}, {9 * 3600 + 5 * 60 + 59.99, "9H 5M"},
        {-5400, "-1H -30M"}, {-1800, "0H -30M"},
    };
    for (const auto& [seconds, text] : cases)
        EXPECT_EQ(DaylightInfo({rise, rise.addingSeconds(seconds), QStringLiteral("X")}).lengthLabel(),
                  QString::fromUtf8(text))
            << seconds;
    // A stored document can hold any two numbers; the label must not overflow.
    EXPECT_FALSE(DaylightInfo({Date(-1e300), Date(1e300), {}}).lengthLabel().isEmpty());
}

TEST(Moon, DetailFirstMatchWins)
{
    const std::vector<std::pair<MoonInfo, const char*>> cases{
        {{{}, 1.0, true, 0, 0}, "Full moon tonight"}, {{{}, 1.0, false, 0, 14}, "Full moon tonight"},
        {{{}, 0.0, true, 14, 0}, "New moon tonight"}, {{{}, 0.3, true, 3, 1}, "Full in 3 days"},
        {{{}, 0.9, true, 1, 16}, "Full in 1 days"},   {{{}, 0.4, false, 2, 12}, "New in 12 days"},
    };
    for (const auto& [moon, text] : cases)
        EXPECT_EQ(moon.detail(), QString::fromUtf8(text));
}

TEST(Storage, TotalLabelRoundsTerabytesHalfAway)
{
    const std::vector<std::pair<qint64, const char*>> cases{
        {0, "0GB"},    {512, "512GB"}, {999, "999GB"}, {1000, "1TB"}, {1499, "1TB"},
        {1500, "2TB"}, {2000, "2TB"},  {2499, "2TB"},  {2500, "3TB"},
    };
    for (const auto& [total, text] : cases)
        EXPECT_EQ(StorageSnapshot({total * 7, total}).totalLabel(), QString::fromUtf8(text)) << total;
}

TEST(Stopwatch, RunningOnlyWithAStartDate)
{
    EXPECT_FALSE(StopwatchState({std::nullopt, {}}).isRunning());
    EXPECT_FALSE(StopwatchState({std::nullopt, {12.0, 30.5}}).isRunning());
    EXPECT_TRUE(StopwatchState({Date(0), {}}).isRunning());
    EXPECT_TRUE(StopwatchState::sample().isRunning());
}

TEST(Weather, SymbolOfEveryCodeRange)
{
    struct Case {
        qint64 code;
        const char* day;
        const char* night;
    };
    const std::vector<Case> cases{
        {0, "sun.max", "moon.stars"},
        {1, "sun.max", "moon.stars"},
        {2, "cloud.sun", "cloud.moon"},
        {3, "cloud", "cloud"},
        {45, "cloud.fog", "cloud.fog"},
        {48, "cloud.fog", "cloud.fog"},
        {51, "cloud.drizzle", "cloud.drizzle"},
        {57, "cloud.drizzle", "cloud.drizzle"},
        {61, "cloud.rain", "cloud.rain"},
        {67, "cloud.rain", "cloud.rain"},
        {71, "cloud.snow", "cloud.snow"},
        {77, "cloud.snow", "cloud.snow"},
        {85, "cloud.snow", "cloud.snow"},
        {86, "cloud.snow", "cloud.snow"},
        {80, "cloud.heavyrain", "cloud.heavyrain"},
        {82, "cloud.heavyrain", "cloud.heavyrain"},
        {95, "cloud.bolt.rain", "cloud.bolt.rain"},
        {99, "cloud.bolt.rain", "cloud.bolt.rain"},
        // Outside the table: clear by day, the plain moon by night.
        {4, "sun.max", "moon"},
        {44, "sun.max", "moon"},
        {46, "sun.max", "moon"},
        {49, "sun.max", "moon"},
        {50, "sun.max", "moon"},
        {58, "sun.max", "moon"},
        {60, "sun.max", "moon"},
        {68, "sun.max", "moon"},
        {70, "sun.max", "moon"},
        {78, "sun.max", "moon"},
        {79, "sun.max", "moon"},
        {83, "sun.max", "moon"},
        {84, "sun.max", "moon"},
        {87, "sun.max", "moon"},
        {94, "sun.max", "moon"},
        {100, "sun.max", "moon"},
        {-1, "sun.max", "moon"},
        {std::numeric_limits<qint64>::min(), "sun.max", "moon"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WeatherSnapshot::symbol(c.code, false), QString::fromUtf8(c.day)) << c.code;
        EXPECT_EQ(WeatherSnapshot::symbol(c.code, true), QString::fromUtf8(c.night)) << c.code;
    }
}

TEST(Weather, FahrenheitConvertsEveryTemperatureAndNothingElse)
{
    const WeatherSnapshot c = WeatherSnapshot::sample();
    const WeatherSnapshot f = c.inFahrenheit();
    EXPECT_EQ(c, WeatherSnapshot::sample()) << "the receiver stays unchanged";
    EXPECT_EQ(f.temperature, 73);
    EXPECT_EQ(f.high, 81);
    EXPECT_EQ(f.low, 64);
    EXPECT_EQ(f.feelsLike, 77);
    const std::vector<std::tuple<const char*, qint64, qint64>> days{{"Thu", 79, 63}, {"Fri", 82, 66}, {"Sat", 88, 70},
                                                                    {"Sun", 81, 64}, {"Mon", 75, 61}, {"Tue", 72, 59}};
    ASSERT_EQ(f.days.size(), days.size());
    for (size_t i = 0; i < days.size(); ++i) {
        EXPECT_EQ(f.days[i].label, QString::fromUtf8(std::get<0>(days[i])));
        EXPECT_EQ(f.days[i].high, std::get<1>(days[i]));
        EXPECT_EQ(f.days[i].low, std::get<2>(days[i]));
        EXPECT_EQ(f.days[i].isPeak, c.days[i].isPeak);
    }
    EXPECT_EQ(f.place, c.place);
    EXPECT_EQ(f.condition, c.condition);
    EXPECT_EQ(f.isNight, c.isNight);
    EXPECT_EQ(f.rainChance, c.rainChance);
    EXPECT_EQ(f.rainHours, c.rainHours);
    EXPECT_EQ(f.updated, c.updated);
    EXPECT_EQ(f.code, c.code);

    const std::vector<std::pair<qint64, qint64>> degrees{{23, 73}, {17, 63}, {-3, 27}, {-40, -40}, {0, 32},
                                                         {-18, 0}, {-13, 9}, {37, 99}, {-23, -9}};
    for (const auto& [celsius, fahrenheit] : degrees) {
        WeatherSnapshot w;
        w.temperature = celsius;
        EXPECT_EQ(w.inFahrenheit().temperature, fahrenheit) << celsius;
        EXPECT_TRUE(w.inFahrenheit().days.empty());
    }
    // A cached document can hold any integer; the conversion saturates rather than wraps.
    WeatherSnapshot extreme;
    extreme.temperature = std::numeric_limits<qint64>::max();
    extreme.low = std::numeric_limits<qint64>::min();
    EXPECT_GT(extreme.inFahrenheit().temperature, 0);
    EXPECT_LT(extreme.inFahrenheit().low, 0);
}

TEST(Year, CurrentCountsDaysInTheUsersCalendar)
{
    const auto at = [](int y, int m, int d, int h = 12) {
        return Date::fromQDateTime(QDateTime(QDate(y, m, d), QTime(h, 0), Qt::UTC));
    };
    EXPECT_EQ(YearInfo::current(at(2024, 12, 31)), (YearInfo{2024, 366, 366}));
    EXPECT_EQ(YearInfo::current(at(2024, 1, 1)), (YearInfo{2024, 1, 366}));
    EXPECT_EQ(YearInfo::current(at(2023, 1, 1)), (YearInfo{2023, 1, 365}));
    EXPECT_EQ(YearInfo::current(at(2023, 12, 31, 23)), (YearInfo{2023, 365, 365}));
    EXPECT_EQ(YearInfo::current(at(1900, 3, 1)), (YearInfo{1900, 60, 365}));
}
