// Clock text: the 12/24-hour choice from the setting or the locale, ASCII digits in every
// locale, and the GMT offset label.
#include "ClockTestSupport.h"

#include "platform/core/DateFormatter.h"

#include <QFile>
#include <QProcess>

#include <thread>
#include <vector>

using namespace velk;
using namespace velk::testing;

namespace {

class ClockFormatTest : public ClockTest {};

TEST_F(ClockFormatTest, SettingThenLocaleDecideTheHourCycle)
{
    struct Case {
        int setting; // 0 is "no key"
        const char* locale;
        bool uses24;
        const char* at1307;
        const char* at0005;
    };
    for (const Case& c :
         {Case{0, "en_GB", true, "13:07", "00:05"}, Case{0, "en_US", false, "1:07", "12:05"},
          Case{12, "en_GB", false, "1:07", "12:05"}, Case{24, "en_US", true, "13:07", "00:05"},
          Case{1, "en_US", false, "1:07", "12:05"}, Case{99, "de_DE", true, "13:07", "00:05"},
          // Non-Latin native digits still give ASCII clock text.
          Case{0, "ar_EG", false, "1:07", "12:05"}, Case{24, "hi_IN@numbers=deva", true, "13:07", "00:05"},
          // An hour cycle of 1-24 ("k") is a 24-hour clock, one of 0-11 ("K") a 12-hour one.
          Case{0, "en_US@hours=h24", true, "13:07", "00:05"}, Case{0, "en_GB@hours=h11", false, "1:07", "12:05"}}) {
        if (c.setting == 0)
            Defaults::shared().remove(ClockFormat::kTimeFormatKey);
        else
            setTimeFormat(c.setting);
        LocalePin locale{QString::fromLatin1(c.locale)};
        EXPECT_EQ(ClockFormat::uses24Hour(), c.uses24) << c.setting << " " << c.locale;
        EXPECT_EQ(ClockFormat::hhmm(utc("2026-03-07T13:07:00"), TimeZone::utc()), c.at1307)
            << c.setting << " " << c.locale;
        EXPECT_EQ(ClockFormat::hhmm(utc("2026-03-07T00:05:00"), TimeZone::utc()), c.at0005)
            << c.setting << " " << c.locale;
    }
}

TEST_F(ClockFormatTest, ChangedSettingShowsAtTheNextCall)
{
    const Date at = utc("2026-03-07T07:05:00");
    setTimeFormat(12);
    EXPECT_EQ(ClockFormat::hhmm(at, TimeZone::utc()), "7:05");
    setTimeFormat(24);
    EXPECT_EQ(ClockFormat::hhmm(at, TimeZone::utc()), "07:05");
}

TEST_F(ClockFormatTest, SettingWrittenByAnotherProcessShowsAtTheNextCall)
{
    const QByteArray bin = qgetenv("VELK_BINARY_DIR");
    if (bin.isEmpty()) GTEST_SKIP() << "VELK_BINARY_DIR is not set (run through CTest)";
    const QString tool = QString::fromUtf8(bin) + QStringLiteral("/src/platform/core/velk-defaults");
    if (!QFile::exists(tool)) GTEST_SKIP() << "velk-defaults is not built";
    const Date at = utc("2026-03-07T19:05:00");
    EXPECT_EQ(ClockFormat::hhmm(at, TimeZone::utc()), "19:05"); // this thread has read the suite
    for (const char* value : {"12", "24"}) {
        QProcess p;
        p.start(tool, {QStringLiteral("write"), ClockFormat::kTimeFormatKey, QStringLiteral("--int"),
                       QString::fromLatin1(value)});
        ASSERT_TRUE(p.waitForFinished(-1));
        ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
        const bool uses24 = QByteArray(value) == "24";
        EXPECT_EQ(ClockFormat::uses24Hour(), uses24) << value;
        EXPECT_EQ(ClockFormat::hhmm(at, TimeZone::utc()), uses24 ? "19:05" : "7:05") << value;
    }
}

// Each thread formats with formatters of its own; every thread gets the texts a formatter made
// for each one gives, in every zone.
TEST_F(ClockFormatTest, ThreadsGetTheSameTexts)
{
    const std::vector<const char*> zones{"UTC", "Asia/Kolkata", "America/New_York", "Asia/Tokyo", "Europe/Berlin"};
    const auto texts = [&zones] {
        std::vector<QString> out;
        for (int minute = 0; minute < 24 * 60; minute += 37)
            for (const char* z : zones) {
                const Date at = utc("2026-03-07T00:00:00").addingSeconds(minute * 60.0);
                const ClockFormat::Parts p = ClockFormat::parts(at, zone(z));
                out.push_back(ClockFormat::hhmm(at, zone(z)) + QLatin1Char(' ') + p.hh + QLatin1Char(':') + p.mm);
            }
        return out;
    };
    // What a formatter made for each text says, as the reference.
    std::vector<QString> expected;
    for (int minute = 0; minute < 24 * 60; minute += 37)
        for (const char* z : zones) {
            DateFormatter f;
            f.setLocale(Locale(QStringLiteral("en_US_POSIX")));
            f.setTimeZone(zone(z));
            f.setDateFormat(QStringLiteral("HH:mm"));
            const QString text = f.string(utc("2026-03-07T00:00:00").addingSeconds(minute * 60.0));
            expected.push_back(text + QLatin1Char(' ') + text);
        }
    ASSERT_EQ(texts(), expected);
    constexpr int kThreads = 6;
    std::vector<std::vector<QString>> got(kThreads);
    {
        std::vector<std::thread> threads;
        for (int t = 0; t < kThreads; ++t)
            threads.emplace_back([&got, &texts, t] {
                for (int round = 0; round < 5; ++round)
                    got[t] = texts();
            });
        for (auto& t : threads)
            t.join();
    }
    for (int t = 0; t < kThreads; ++t)
        EXPECT_EQ(got[t], expected) << "thread " << t;
}

TEST_F(ClockFormatTest, OneInstantInTwoZones)
{
    const Date at = utc("2026-12-09T23:30:00");
    EXPECT_EQ(ClockFormat::hhmm(at, zone("Asia/Tokyo")), "08:30");
    EXPECT_EQ(ClockFormat::hhmm(at, zone("America/New_York")), "18:30");
}

TEST_F(ClockFormatTest, PartsFollowTheHourCycle)
{
    const Date halfPastMidnight = utc("2026-03-07T00:30:00");
    EXPECT_EQ(ClockFormat::parts(halfPastMidnight, TimeZone::utc()), (ClockFormat::Parts{"00", "30"}));
    setTimeFormat(12);
    EXPECT_EQ(ClockFormat::parts(halfPastMidnight, TimeZone::utc()), (ClockFormat::Parts{"12", "30"}));
    EXPECT_EQ(ClockFormat::parts(utc("2026-03-07T21:05:00"), TimeZone::utc()), (ClockFormat::Parts{"9", "05"}));
}

TEST_F(ClockFormatTest, GmtLabel)
{
    const Date july = utc("2026-07-01T12:00:00"), january = utc("2026-01-15T12:00:00");
    struct Case {
        const char* zone;
        Date at;
        const char* label;
    };
    for (const Case& c : {Case{"Asia/Kolkata", july, "GMT+5:30"}, Case{"Asia/Kathmandu", july, "GMT+5:45"},
                          Case{"Pacific/Marquesas", july, "GMT-9:30"}, Case{"UTC", july, "GMT+0"},
                          Case{"Europe/London", july, "GMT+1"}, Case{"Europe/London", january, "GMT+0"},
                          Case{"America/New_York", january, "GMT-5"}, Case{"Pacific/Tongatapu", july, "GMT+13"},
                          // Under an hour behind: the sign is the offset's, not the whole hours'.
                          Case{"GMT-00:30", july, "GMT-0:30"},
                          // Seconds under a minute are dropped.
                          Case{"GMT+01:00:30", july, "GMT+1"}}) {
        const std::optional<TimeZone> z = TimeZone::named(QString::fromLatin1(c.zone));
        if (!z) {
            ADD_FAILURE() << "unknown zone " << c.zone;
            continue;
        }
        EXPECT_EQ(ClockFormat::gmtLabel(*z, c.at), c.label) << c.zone;
    }
}

} // namespace
