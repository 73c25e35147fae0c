#include "platform/core/DateFormatter.h"

#include <QHash>
#include <cmath>
#include <memory>
#include <mutex>
#include <unicode/calendar.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>

namespace velk {

namespace {

// Making an ICU date format or pattern generator loads locale data (tens of microseconds to
// milliseconds); formatters are made per call in places, so those are made once per locale and
// pattern and shared. Each shared ICU object is used under its own lock.
struct SharedFormat {
    std::mutex mutex;
    std::unique_ptr<icu::SimpleDateFormat> format;
};

struct SharedGenerator {
    std::mutex mutex;
    std::unique_ptr<icu::DateTimePatternGenerator> generator;
};

constexpr qsizetype kMaxCached = 512;

std::mutex g_cacheMutex;
QHash<QString, std::shared_ptr<SharedFormat>> g_formats;
QHash<QString, std::shared_ptr<SharedGenerator>> g_generators;
QHash<QString, std::optional<QString>> g_patterns; // template and style patterns per locale

// The system counts in the Gregorian calendar whatever the locale's own calendar is, so names
// and numbers come from that calendar's data.
icu::Locale gregorianLocale(const Locale& locale)
{
    icu::Locale l = locale.icuLocale();
    UErrorCode status = U_ZERO_ERROR;
    l.setKeywordValue("calendar", "gregorian", status);
    return l;
}

QString localeKey(const icu::Locale& l)
{
    return QString::fromUtf8(l.getName());
}

template <typename Map>
void bound(Map& map)
{
    if (map.size() > kMaxCached) map.clear(); // holders keep their entries alive
}

std::shared_ptr<SharedFormat> sharedFormat(const Locale& locale, const QString& pattern)
{
    const icu::Locale l = gregorianLocale(locale);
    const QString key = localeKey(l) + QLatin1Char('\n') + pattern;
    {
        std::lock_guard lock(g_cacheMutex);
        if (auto it = g_formats.constFind(key); it != g_formats.cend()) return *it;
    }
    UErrorCode status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(icutext::toIcu(pattern), l, status);
    if (U_FAILURE(status)) return nullptr;
    format->setLenient(false);
    auto entry = std::make_shared<SharedFormat>();
    entry->format = std::move(format);
    std::lock_guard lock(g_cacheMutex);
    bound(g_formats);
    return *g_formats.insert(key, std::move(entry));
}

std::shared_ptr<SharedGenerator> sharedGenerator(const icu::Locale& l)
{
    const QString key = localeKey(l);
    {
        std::lock_guard lock(g_cacheMutex);
        if (auto it = g_generators.constFind(key); it != g_generators.cend()) return *it;
    }
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(icu::DateTimePatternGenerator::createInstance(l, status));
    if (U_FAILURE(status) || !generator) return nullptr;
    auto entry = std::make_shared<SharedGenerator>();
    entry->generator = std::move(generator);
    std::lock_guard lock(g_cacheMutex);
    bound(g_generators);
    return *g_generators.insert(key, std::move(entry));
}

std::optional<std::optional<QString>> cachedPattern(const QString& key)
{
    std::lock_guard lock(g_cacheMutex);
    if (auto it = g_patterns.constFind(key); it != g_patterns.cend()) return *it;
    return std::nullopt;
}

void cachePattern(const QString& key, const std::optional<QString>& pattern)
{
    std::lock_guard lock(g_cacheMutex);
    bound(g_patterns);
    g_patterns.insert(key, pattern);
}

icu::DateFormat::EStyle icuStyle(DateFormatter::Style style)
{
    switch (style) {
    case DateFormatter::Style::none:
        return icu::DateFormat::kNone;
    case DateFormatter::Style::shortStyle:
        return icu::DateFormat::kShort;
    case DateFormatter::Style::mediumStyle:
        return icu::DateFormat::kMedium;
    case DateFormatter::Style::longStyle:
        return icu::DateFormat::kLong;
    case DateFormatter::Style::fullStyle:
        return icu::DateFormat::kFull;
    }
    return icu::DateFormat::kNone;
}

QString stylePattern(DateFormatter::Style dateStyle, DateFormatter::Style timeStyle, const Locale& locale)
{
    const icu::Locale l = gregorianLocale(locale);
    const QString key = QStringLiteral("style %1 %2 ").arg(int(dateStyle)).arg(int(timeStyle)) + localeKey(l);
    if (const auto hit = cachedPattern(key)) return hit->value_or(QString());
    std::optional<QString> pattern;
    std::unique_ptr<icu::DateFormat> format(
        icu::DateFormat::createDateTimeInstance(icuStyle(dateStyle), icuStyle(timeStyle), l));
    if (auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format.get())) {
        icu::UnicodeString text;
        simple->toPattern(text);
        pattern = icutext::fromIcu(text);
    }
    cachePattern(key, pattern);
    return pattern.value_or(QString());
}

} // namespace

DateFormatter::DateFormatter() : locale_(Locale::current()), zone_(TimeZone::current()), calendar_(Calendar::current())
{}

QString DateFormatter::dateFormat() const
{
    return effectivePattern();
}

void DateFormatter::setDateFormat(const QString& pattern)
{
    pattern_ = pattern;
    dateStyle_ = timeStyle_ = Style::none;
}

void DateFormatter::setLocalizedDateFormatFromTemplate(const QString& tmpl)
{
    if (const auto pattern = dateFormat(tmpl, 0, locale_)) setDateFormat(*pattern);
}

void DateFormatter::setDateStyle(Style style)
{
    dateStyle_ = style;
    pattern_.clear();
}

void DateFormatter::setTimeStyle(Style style)
{
    timeStyle_ = style;
    pattern_.clear();
}

QString DateFormatter::effectivePattern() const
{
    if (dateStyle_ != Style::none || timeStyle_ != Style::none) return stylePattern(dateStyle_, timeStyle_, locale_);
    return pattern_;
}

QString DateFormatter::string(Date d) const
{
    const QString pattern = effectivePattern();
    if (pattern.isEmpty()) return {};
    const auto shared = sharedFormat(locale_, pattern);
    if (!shared) return {};
    auto cal = calendar_.icuCalendar();
    cal->setTimeZone(zone_.icuZone());
    UErrorCode status = U_ZERO_ERROR;
    // Whole milliseconds, rounded down, so 12:59:59.9996 never reads as 13:00.
    cal->setTime(std::floor(d.unix() * 1000.0), status);
    if (U_FAILURE(status)) return {};
    icu::UnicodeString out;
    icu::FieldPosition pos;
    {
        std::lock_guard lock(shared->mutex);
        shared->format->format(*cal, out, pos);
    }
    return icutext::fromIcu(out);
}

std::optional<Date> DateFormatter::date(const QString& text) const
{
    const QString pattern = effectivePattern();
    if (pattern.isEmpty() || text.isEmpty()) return std::nullopt;
    const auto shared = sharedFormat(locale_, pattern);
    if (!shared) return std::nullopt;
    auto cal = calendar_.icuCalendar();
    cal->setTimeZone(zone_.icuZone());
    cal->clear();
    cal->setLenient(false);
    cal->setRepeatedWallTimeOption(UCAL_WALLTIME_FIRST);
    icu::ParsePosition pos(0);
    const icu::UnicodeString source = icutext::toIcu(text);
    {
        std::lock_guard lock(shared->mutex);
        shared->format->parse(source, *cal, pos);
    }
    if (pos.getErrorIndex() >= 0 || pos.getIndex() != source.length()) return std::nullopt;
    UErrorCode status = U_ZERO_ERROR;
    const UDate t = cal->getTime(status);
    if (U_FAILURE(status)) return std::nullopt;
    return Date::fromUnix(t / 1000.0);
}

std::optional<QString> DateFormatter::dateFormat(const QString& tmpl, int options, const Locale& locale)
{
    if (options != 0 || tmpl.isEmpty()) return std::nullopt;
    const icu::Locale l = gregorianLocale(locale);
    const QString key = QStringLiteral("template ") + tmpl + QLatin1Char('\n') + localeKey(l);
    if (const auto hit = cachedPattern(key)) return *hit;
    std::optional<QString> pattern;
    if (const auto shared = sharedGenerator(l)) {
        UErrorCode status = U_ZERO_ERROR;
        icu::UnicodeString best;
        {
            std::lock_guard lock(shared->mutex);
            best = shared->generator->getBestPattern(icutext::toIcu(tmpl), status);
        }
        if (U_SUCCESS(status) && !best.isEmpty()) pattern = icutext::fromIcu(best);
    }
    cachePattern(key, pattern);
    return pattern;
}

} // namespace velk
