#include "shared/data/clock/ClockFormat.h"

#include "platform/core/DateFormatter.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unicode/calendar.h>
#include <unicode/smpdtfmt.h>
#include <vector>

namespace velk {

namespace {

// Clock texts are made on every render of every clock face, on several threads. The process
// keeps one ICU formatter per pattern and zone, with a calendar of its own to format with, and
// formats under a lock: ICU formatters must not be used by two threads at once, and making one
// per text cost more than the rest of the text.
class Formatters {
public:
    QString format(const QString& pattern, const TimeZone& timeZone, Date date)
    {
        icu::UnicodeString zoneID;
        timeZone.icuZone().getID(zoneID);
        std::lock_guard lock(mutex_);
        Entry* entry = find(pattern, zoneID);
        if (!entry) entry = make(pattern, zoneID, timeZone);
        if (!entry) return {};
        UErrorCode status = U_ZERO_ERROR;
        // Whole milliseconds, rounded down, so 12:59:59.9996 never reads as 13:00.
        entry->calendar->setTime(std::floor(date.unix() * 1000.0), status);
        if (U_FAILURE(status)) return {};
        icu::UnicodeString out;
        icu::FieldPosition pos;
        entry->format->format(*entry->calendar, out, pos);
        return icutext::fromIcu(out);
    }

private:
    struct Entry {
        QString pattern;
        icu::UnicodeString zoneID;
        std::unique_ptr<icu::SimpleDateFormat> format;
        std::unique_ptr<icu::Calendar> calendar;
    };
    // A few patterns times the zones on screen; past that the set starts over.
    static constexpr size_t kMaxEntries = 64;

    Entry* find(const QString& pattern, const icu::UnicodeString& zoneID)
    {
        for (Entry& e : entries_)
            if (e.zoneID == zoneID && e.pattern == pattern) return &e;
        return nullptr;
    }

    Entry* make(const QString& pattern, const icu::UnicodeString& zoneID, const TimeZone& timeZone)
    {
        // The POSIX locale in the Gregorian calendar: ASCII digits, the pattern as written.
        UErrorCode status = U_ZERO_ERROR;
        auto format = std::make_unique<icu::SimpleDateFormat>(icutext::toIcu(pattern),
                                                              icu::Locale("en_US_POSIX@calendar=gregorian"), status);
        if (U_FAILURE(status)) return nullptr;
        std::unique_ptr<icu::Calendar> calendar(format->getCalendar()->clone());
        if (!calendar) return nullptr;
        calendar->setTimeZone(timeZone.icuZone());
        if (entries_.size() >= kMaxEntries) entries_.clear();
        entries_.push_back({pattern, zoneID, std::move(format), std::move(calendar)});
        return &entries_.back();
    }

    std::mutex mutex_;
    std::vector<Entry> entries_;
};

QString formatted(const QString& pattern, const TimeZone& timeZone, Date date)
{
    static Formatters formatters;
    return formatters.format(pattern, timeZone, date);
}

// Whether the locale's preferred hour ("j") is a 24-hour one, kept for the last locale asked
// about: working it out builds a pattern generator, and every clock render asks.
bool localeUses24Hour(const Locale& locale)
{
    struct Answer {
        std::string locale;
        bool uses24 = true;
    };
    static std::mutex mutex;
    static std::optional<Answer> last;
    const std::string name = locale.icuLocale().getName();
    {
        std::lock_guard lock(mutex);
        if (last && last->locale == name) return last->uses24;
    }
    const QString pattern = DateFormatter::dateFormat(QStringLiteral("j"), 0, locale).value_or(QStringLiteral("H"));
    const bool uses24 = pattern.contains(QLatin1Char('H')) || pattern.contains(QLatin1Char('k'));
    std::lock_guard lock(mutex);
    last = Answer{name, uses24};
    return uses24;
}

} // namespace

bool ClockFormat::uses24Hour()
{
    // Read at every call: while the suite is unchanged its connection answers from memory.
    switch (Defaults::shared().integer(kTimeFormatKey)) {
    case 12:
        return false;
    case 24:
        return true;
    default:
        break;
    }
    return localeUses24Hour(Locale::current());
}

QString ClockFormat::hhmm(Date date, const TimeZone& timeZone)
{
    return formatted(uses24Hour() ? QStringLiteral("HH:mm") : QStringLiteral("h:mm"), timeZone, date);
}

ClockFormat::Parts ClockFormat::parts(Date date, const TimeZone& timeZone)
{
    return {formatted(uses24Hour() ? QStringLiteral("HH") : QStringLiteral("h"), timeZone, date),
            formatted(QStringLiteral("mm"), timeZone, date)};
}

QString ClockFormat::gmtLabel(const TimeZone& timeZone, Date at)
{
    const int s = timeZone.secondsFromGMT(at);
    const int h = s / 3600; // truncates toward zero
    const int r = std::abs(s - h * 3600);
    // The sign comes from the whole offset, so half an hour behind GMT still reads "GMT-0:30".
    QString label = QStringLiteral("GMT%1%2").arg(s < 0 ? QLatin1Char('-') : QLatin1Char('+')).arg(std::abs(h));
    if (r > 59) label += QStringLiteral(":%1").arg(r / 60, 2, 10, QLatin1Char('0'));
    return label;
}

} // namespace velk
