#include "platform/core/DateFormatter.h"
#include <atomic>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

// Readable failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

using namespace velk;
using Style = DateFormatter::Style;

namespace {

Date utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date::fromQDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC));
}

DateFormatter formatter(const QString& locale, const char* zone, const QString& pattern = {})
{
    DateFormatter f;
    f.setLocale(Locale(locale));
    f.setTimeZone(*TimeZone::named(QString::fromLatin1(zone)));
    if (!pattern.isEmpty()) f.setDateFormat(pattern);
    return f;
}

// Wednesday 9 December 2026, 15:32:07 UTC.
const Date kDec9 = utc(2026, 12, 9, 15, 32, 7);

} // namespace

TEST(DateFormatter, FixedPatternsInLocaleAndZone)
{
    struct Row {
        const char* locale;
        const char* zone;
        const char* pattern;
        const char* expected;
    } rows[] = {
        {"en_US_POSIX", "UTC", "HH:mm", "15:32"},
        {"en_US_POSIX", "America/New_York", "h:mm", "10:32"},
        {"en_US_POSIX", "Asia/Tokyo", "HH:mm", "00:32"},
        {"en_US_POSIX", "Asia/Tokyo", "h:mm", "12:32"},
        {"en_US_POSIX", "Asia/Kolkata", "HH", "21"},
        {"en_US", "UTC", "yyyy-MM-dd", "2026-12-09"},
        {"en_US", "Asia/Tokyo", "yyyy-MM-dd", "2026-12-10"},
        {"en_US", "UTC", "EEE", "Wed"},
        {"de_DE", "UTC", "EEE", "Mi."},
        {"ja_JP", "UTC", "EEE", "水"},
        {"en_US", "UTC", "MMM d", "Dec 9"},
        {"en_US", "UTC", "ha", "3PM"},
        {"en_US", "UTC", "MMM d · ha", "Dec 9 · 3PM"},
        {"en_GB", "UTC", "EEEE d MMMM", "Wednesday 9 December"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(QStringLiteral("%1 %2 %3").arg(r.locale, r.zone, QString::fromUtf8(r.pattern)).toStdString());
        EXPECT_EQ(formatter(QString::fromLatin1(r.locale), r.zone, QString::fromUtf8(r.pattern)).string(kDec9),
                  QString::fromUtf8(r.expected));
    }
}

TEST(DateFormatter, NeverRoundsUpToTheNextMinute)
{
    EXPECT_EQ(formatter("en_US_POSIX", "UTC", "HH:mm:ss").string(utc(2026, 1, 1, 12, 59, 59).addingSeconds(0.9996)),
              "12:59:59");
}

TEST(DateFormatter, NewFormatterTakesTheCurrentLocaleAndZoneWhenMade)
{
    std::optional<DateFormatter> made;
    {
        LocalePin locale("de_DE");
        TimeZonePin zone("Asia/Tokyo");
        made.emplace();
        made->setDateFormat("EEE HH:mm");
    }
    EXPECT_EQ(made->locale().identifier(), "de_DE");
    EXPECT_EQ(made->string(kDec9), "Do. 00:32") << "kept after the pins are gone";
    DateFormatter later;
    later.setDateFormat("EEE HH:mm");
    EXPECT_EQ(later.string(kDec9), "Wed 15:32");
}

TEST(DateFormatter, TemplatesGiveTheLocalesPattern)
{
    struct Row {
        const char* locale;
        const char* tmpl;
        const char* pattern;
    } rows[] = {
        {"en_US", "j", "h\u202Fa"},       {"en_GB", "j", "HH"},
        {"de_DE", "j", "HH 'Uhr'"},       {"ja_JP", "j", "H時"},
        {"en_US", "MMMEd", "EEE, MMM d"}, {"en_GB", "MMMEd", "EEE, d MMM"},
        {"en_US", "yMMMM", "MMMM y"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(r.locale, r.tmpl).toStdString());
        EXPECT_EQ(DateFormatter::dateFormat(QString::fromLatin1(r.tmpl), 0, Locale(QString::fromLatin1(r.locale))),
                  QString::fromUtf8(r.pattern));
    }
    EXPECT_FALSE(DateFormatter::dateFormat("j", 1, Locale("en_US")).has_value()) << "options are reserved";
    EXPECT_FALSE(DateFormatter::dateFormat("", 0, Locale("en_US")).has_value());
}

TEST(DateFormatter, FormatsFromTemplates)
{
    struct Row {
        const char* locale;
        const char* tmpl;
        const char* expected;
    } rows[] = {
        {"en_US", "EEEMMMd", "Wed, Dec 9"},   {"en_US", "EEEEMMMMd", "Wednesday, December 9"},
        {"en_US", "yMMMM", "December 2026"},  {"en_US", "EEEE", "Wednesday"},
        {"de_DE", "EEEMMMd", "Mi., 9. Dez."}, {"ja_JP", "MMMEd", "12月9日(水)"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(r.locale, r.tmpl).toStdString());
        DateFormatter f = formatter(QString::fromLatin1(r.locale), "UTC");
        f.setLocalizedDateFormatFromTemplate(QString::fromLatin1(r.tmpl));
        EXPECT_EQ(f.string(kDec9), QString::fromUtf8(r.expected));
    }
}

TEST(DateFormatter, StylesFollowTheLocale)
{
    DateFormatter us = formatter("en_US", "UTC");
    us.setDateStyle(Style::shortStyle);
    EXPECT_EQ(us.dateFormat(), "M/d/yy");
    EXPECT_EQ(us.string(kDec9), "12/9/26");

    DateFormatter gb = formatter("en_GB", "UTC");
    gb.setDateStyle(Style::mediumStyle);
    gb.setTimeStyle(Style::shortStyle);
    EXPECT_EQ(gb.string(kDec9), "9 Dec 2026, 15:32");

    gb.setDateFormat("yyyy");
    EXPECT_EQ(gb.dateStyle(), Style::none) << "a fixed pattern replaces the styles";
    EXPECT_EQ(gb.string(kDec9), "2026");
}

TEST(DateFormatter, ParsesWholeTextsStrictly)
{
    const DateFormatter day = formatter("en_US", "America/New_York", "yyyy-MM-dd");
    EXPECT_EQ(day.date("2025-03-07"), utc(2025, 3, 7, 5)) << "midnight in the formatter's zone";
    for (const char* bad : {"2025-02-30", "2025-13-01", "2025-03-07x", "2025-03", "", "tomorrow"}) {
        SCOPED_TRACE(bad);
        EXPECT_FALSE(day.date(QString::fromLatin1(bad)).has_value());
    }
    const DateFormatter ny = formatter("en_US", "America/New_York", "yyyy-MM-dd'T'HH:mm");
    EXPECT_EQ(ny.date("2025-11-02T01:30"), utc(2025, 11, 2, 5, 30)) << "the first 01:30 (EDT)";
    EXPECT_FALSE(ny.date("2025-03-09T02:30").has_value()) << "skipped by the clock change";

    const DateFormatter hourly = formatter("en_US", "Asia/Tokyo", "yyyy-MM-dd'T'HH:mm");
    EXPECT_EQ(hourly.date("2025-03-09T14:00"), utc(2025, 3, 9, 5));
    EXPECT_EQ(hourly.string(*hourly.date("2025-03-09T14:00")), "2025-03-09T14:00");
}

TEST(DateFormatter, OneFormatterServesManyThreads)
{
    const DateFormatter shared = formatter("en_US", "Europe/Berlin", "yyyy-MM-dd HH:mm EEE");
    std::atomic<int> mismatches{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&shared, &mismatches, t] {
            for (int i = 0; i < 200; ++i) {
                const Date d = utc(2025, 1 + (i + t) % 12, 1 + i % 28, i % 24);
                // A formatter made on this thread must agree with the shared one.
                if (shared.string(d) != formatter("en_US", "Europe/Berlin", "yyyy-MM-dd HH:mm EEE").string(d))
                    ++mismatches;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(mismatches, 0);
}
