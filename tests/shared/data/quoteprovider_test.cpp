#include "shared/data/sky/QuoteProvider.h"

#include "platform/core/Calendar.h"
#include "platform/core/TimeZone.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <set>

using namespace velk;

namespace {
Date utc(int y, int m, int d, int h = 12, int min = 0)
{
    return Date::fromQDateTime(QDateTime(QDate(y, m, d), QTime(h, min), Qt::UTC));
}

int indexOf(const QuoteItem& q)
{
    const auto& table = QuoteProvider::quotes();
    for (size_t i = 0; i < table.size(); ++i)
        if (table[i] == q) return int(i);
    return -1;
}
} // namespace

TEST(QuoteProvider, TableHoldsThirtyDistinctOneLineSayings)
{
    std::set<QString> texts;
    for (const QuoteItem& q : QuoteProvider::quotes()) {
        EXPECT_GE(q.text.size(), 15) << q.text.toStdString();
        EXPECT_LE(q.text.size(), 65) << q.text.toStdString();
        EXPECT_FALSE(q.text.contains(QLatin1Char('\n')));
        EXPECT_FALSE(q.author.isEmpty());
        EXPECT_LE(q.author.size(), 25) << q.author.toStdString();
        texts.insert(q.text);
    }
    EXPECT_EQ(texts.size(), 30u);
}

TEST(QuoteProvider, OneEntryPerDayWalkingTheTableInOrder)
{
    EXPECT_EQ(QuoteProvider::today(utc(2025, 3, 7, 0, 0)), QuoteProvider::today(utc(2025, 3, 7, 23, 59)));
    int previous = indexOf(QuoteProvider::today(utc(2025, 3, 7)));
    bool sawZeroOnAMultipleOfThirty = false;
    for (int day = 1; day <= 31; ++day) {
        const Date date = utc(2025, 3, 7).addingSeconds(day * 86400.0);
        const int index = indexOf(QuoteProvider::today(date));
        EXPECT_EQ(index, (previous + 1) % 30) << day;
        const auto ordinal = Calendar::current().ordinality(CalendarComponent::day, CalendarComponent::era, date);
        if (ordinal && *ordinal % 30 == 0) {
            EXPECT_EQ(index, 0);
            sawZeroOnAMultipleOfThirty = true;
        }
        previous = index;
    }
    EXPECT_TRUE(sawZeroOnAMultipleOfThirty);
}

TEST(QuoteProvider, TheLocalCalendarDayDecides)
{
    const Date lateUtc = utc(2025, 3, 7, 23, 30);
    const QuoteItem inUtc = QuoteProvider::today(lateUtc);
    TimeZonePin tokyo(QStringLiteral("Asia/Tokyo")); // already 8 March there
    EXPECT_NE(QuoteProvider::today(lateUtc), inUtc);
    EXPECT_EQ(indexOf(QuoteProvider::today(lateUtc)), (indexOf(inUtc) + 1) % 30);
}
