#include "platform/core/Clock.h"
#include "platform/core/DoubleText.h"
#include "platform/core/HttpLoader.h"
#include "platform/core/Log.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/data/weather/WeatherProvider.h"

#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace velk {

namespace {

// The forecast answer. Every member is required and no value may be null, inside arrays too.
struct ApiCurrent {
    double temperature_2m = 0;
    double apparent_temperature = 0;
    qint64 weather_code = 0;
    qint64 is_day = 0;
    VELK_FIELDS(ApiCurrent, temperature_2m, apparent_temperature, weather_code, is_day)
};

struct ApiDaily {
    std::vector<QString> time;
    std::vector<double> temperature_2m_max;
    std::vector<double> temperature_2m_min;
    VELK_FIELDS(ApiDaily, time, temperature_2m_max, temperature_2m_min)
};

struct ApiHourly {
    std::vector<QString> time;
    std::vector<qint64> precipitation_probability;
    VELK_FIELDS(ApiHourly, time, precipitation_probability)
};

struct ApiResponse {
    ApiCurrent current;
    ApiDaily daily;
    ApiHourly hourly;
    QString timezone;
    VELK_FIELDS(ApiResponse, current, daily, hourly, timezone)
};

// Halves away from zero; nothing for a value no whole degree can hold.
std::optional<qint64> roundedDegrees(double v)
{
    const double r = std::round(v);
    if (!std::isfinite(r) || std::fabs(r) >= 9.0e18) return std::nullopt;
    return qint64(r);
}

struct LocalFields {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
};

// Reads exactly "yyyy-MM-dd" or "yyyy-MM-dd'T'HH:mm" (withTime), with every field in range.
std::optional<LocalFields> parseLocal(const QString& text, bool withTime)
{
    const qsizetype expected = withTime ? 16 : 10;
    if (text.size() != expected) return std::nullopt;
    const auto number = [&](int from, int count) -> int {
        int n = 0;
        for (int i = from; i < from + count; ++i) {
            const QChar c = text[i];
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return -1;
            n = n * 10 + (c.unicode() - '0');
        }
        return n;
    };
    if (text[4] != QLatin1Char('-') || text[7] != QLatin1Char('-')) return std::nullopt;
    LocalFields f{number(0, 4), number(5, 2), number(8, 2)};
    if (withTime) {
        if (text[10] != QLatin1Char('T') || text[13] != QLatin1Char(':')) return std::nullopt;
        f.hour = number(11, 2);
        f.minute = number(14, 2);
        if (f.hour < 0 || f.hour > 23 || f.minute < 0 || f.minute > 59) return std::nullopt;
    }
    if (f.year < 1 || f.month < 1 || f.month > 12 || f.day < 1) return std::nullopt;
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (f.year % 4 == 0 && f.year % 100 != 0) || f.year % 400 == 0;
    if (f.day > kDays[f.month - 1] + (f.month == 2 && leap ? 1 : 0)) return std::nullopt;
    return f;
}

// Wall-clock fields in a zone to a moment (ms since 1970); a time that a clock change skips
// moves forward past the gap.
class LocalClock {
public:
    LocalClock(const icu::TimeZone& zone, const icu::Locale& locale)
    {
        UErrorCode status = U_ZERO_ERROR;
        calendar_ = std::make_unique<icu::GregorianCalendar>(zone, locale, status);
        if (U_FAILURE(status)) calendar_.reset();
    }
    std::optional<UDate> moment(const LocalFields& f)
    {
        if (!calendar_) return std::nullopt;
        calendar_->clear();
        calendar_->set(f.year, f.month - 1, f.day, f.hour, f.minute, 0);
        UErrorCode status = U_ZERO_ERROR;
        const UDate d = calendar_->getTime(status);
        if (U_FAILURE(status)) return std::nullopt;
        return d;
    }

private:
    std::unique_ptr<icu::GregorianCalendar> calendar_;
};

class Formatter {
public:
    Formatter(const char* pattern, const icu::TimeZone& zone, const icu::Locale& locale)
    {
        UErrorCode status = U_ZERO_ERROR;
        format_ = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(pattern, -1, US_INV), locale, status);
        if (U_FAILURE(status)) {
            format_.reset();
            return;
        }
        format_->setTimeZone(zone);
    }
    QString operator()(UDate d) const
    {
        if (!format_) return {};
        icu::UnicodeString out;
        format_->format(d, out);
        return icutext::fromIcu(out);
    }

private:
    std::unique_ptr<icu::SimpleDateFormat> format_;
};

} // namespace

WeatherProvider::ForecastEnvironment WeatherProvider::forecastEnvironment()
{
    return {Clock::now(), TimeZone::current(), Locale::current(), ClockFormat::uses24Hour()};
}

QString WeatherProvider::conditionText(qint64 code, bool isDay)
{
    switch (code) {
    case 0:
        return isDay ? QStringLiteral("Clear") : QStringLiteral("Clear night");
    case 1:
        return isDay ? QStringLiteral("Mostly clear") : QStringLiteral("Clear night");
    case 2:
        return QStringLiteral("Partly cloudy");
    case 3:
        return QStringLiteral("Overcast");
    case 45:
    case 48:
        return QStringLiteral("Fog");
    case 51:
    case 53:
    case 55:
        return QStringLiteral("Drizzle");
    case 56:
    case 57:
        return QStringLiteral("Freezing drizzle");
    case 61:
    case 63:
    case 65:
        return QStringLiteral("Rain");
    case 66:
    case 67:
        return QStringLiteral("Freezing rain");
    case 71:
    case 73:
    case 75:
    case 77:
        return QStringLiteral("Snow");
    case 80:
    case 81:
    case 82:
        return QStringLiteral("Showers");
    case 85:
    case 86:
        return QStringLiteral("Snow showers");
    case 95:
        return QStringLiteral("Thunderstorm");
    case 96:
    case 99:
        return QStringLiteral("Hail storm");
    default:
        return QString(QChar(0x2014));
    }
}

std::optional<WeatherSnapshot> WeatherProvider::parseForecast(const QByteArray& body, const Place& place,
                                                              const ForecastEnvironment& env)
{
    const auto api = decodeJson<ApiResponse>(body);
    if (!api) return std::nullopt;
    const ApiDaily& daily = api->daily;
    const ApiHourly& hourly = api->hourly;

    const auto temperature = roundedDegrees(api->current.temperature_2m);
    const auto feelsLike = roundedDegrees(api->current.apparent_temperature);
    const auto high =
        daily.temperature_2m_max.empty() ? std::optional<qint64>(0) : roundedDegrees(daily.temperature_2m_max.front());
    const auto low =
        daily.temperature_2m_min.empty() ? std::optional<qint64>(0) : roundedDegrees(daily.temperature_2m_min.front());
    if (!temperature || !feelsLike || !high || !low) return std::nullopt;

    WeatherSnapshot s;
    s.place = place.name;
    s.temperature = *temperature;
    s.condition = conditionText(api->current.weather_code, api->current.is_day == 1);
    s.high = *high;
    s.low = *low;
    s.feelsLike = *feelsLike;
    s.isNight = api->current.is_day == 0;
    s.updated = env.now;
    s.code = api->current.weather_code;

    const icu::Locale& locale = env.locale.icuLocale();

    // The days after today, at most six. The three arrays are read only as far as all of them
    // reach: a day without its high or low is left out.
    {
        LocalClock clock(env.deviceZone.icuZone(), locale);
        const Formatter weekday("EEE", env.deviceZone.icuZone(), locale);
        const size_t count =
            std::min({daily.time.size(), daily.temperature_2m_max.size(), daily.temperature_2m_min.size(), size_t(7)});
        for (size_t i = 1; i < count; ++i) {
            const auto fields = parseLocal(daily.time[i], false);
            if (!fields) continue;
            const auto moment = clock.moment(*fields);
            const auto dayHigh = roundedDegrees(daily.temperature_2m_max[i]);
            const auto dayLow = roundedDegrees(daily.temperature_2m_min[i]);
            if (!moment || !dayHigh || !dayLow) continue;
            s.days.push_back({weekday(*moment), *dayHigh, *dayLow, false});
        }
        const auto peak = std::max_element(s.days.begin(), s.days.end(),
                                           [](const auto& a, const auto& b) { return a.high < b.high; });
        if (peak != s.days.end()) peak->isPeak = true;
    }

    // Every second hour over the next twelve, from the first hour at or after now.
    {
        const auto reported = TimeZone::named(api->timezone);
        const TimeZone& zone = reported ? *reported : env.deviceZone;
        LocalClock clock(zone.icuZone(), locale);
        const Formatter hour(env.uses24Hour ? "HH" : "h", zone.icuZone(), locale);
        const UDate nowMs = env.now.unix() * 1000.0;

        std::vector<std::optional<UDate>> moments(hourly.time.size());
        size_t start = 0;
        bool found = false;
        for (size_t j = 0; j < hourly.time.size(); ++j) {
            if (const auto fields = parseLocal(hourly.time[j], true)) moments[j] = clock.moment(*fields);
            if (!found && moments[j] && *moments[j] >= nowMs) {
                start = j;
                found = true;
                break;
            }
        }
        const size_t end = std::min(start + 13, hourly.time.size());
        for (size_t j = start; j < end; j += 2) {
            if (!moments[j]) {
                if (const auto fields = parseLocal(hourly.time[j], true)) moments[j] = clock.moment(*fields);
            }
            // A sample whose time does not parse, or that has no probability, is left out.
            if (!moments[j] || j >= hourly.precipitation_probability.size()) continue;
            const double chance = double(hourly.precipitation_probability[j]) / 100.0;
            s.rainChance = std::max(s.rainChance, chance);
            s.rainHours.push_back({hour(*moments[j]), std::max(chance, 0.06), false});
        }
        const auto peak = std::max_element(s.rainHours.begin(), s.rainHours.end(),
                                           [](const auto& a, const auto& b) { return a.chance < b.chance; });
        if (peak != s.rainHours.end()) peak->isPeak = true;
    }
    return s;
}

std::optional<WeatherSnapshot> WeatherProvider::fetch(const Place& place, QString* error)
{
    const QUrl base = HttpLoader::serviceBase("VELK_FORECAST_URL", QStringLiteral("https://api.open-meteo.com"));
    const auto url = HttpLoader::buildUrl(
        base, QStringLiteral("/v1/forecast"),
        {{QStringLiteral("latitude"), shortestDoubleText(place.latitude)},
         {QStringLiteral("longitude"), shortestDoubleText(place.longitude)},
         {QStringLiteral("current"), QStringLiteral("temperature_2m,apparent_temperature,weather_code,is_day")},
         {QStringLiteral("daily"), QStringLiteral("temperature_2m_max,temperature_2m_min,weather_code")},
         {QStringLiteral("hourly"), QStringLiteral("precipitation_probability")},
         {QStringLiteral("forecast_days"), QStringLiteral("7")},
         {QStringLiteral("timezone"), QStringLiteral("auto")}});
    const auto fail = [&](const QString& why) -> std::optional<WeatherSnapshot> {
        if (error) *error = why;
        qCDebug(lcWeb) << "forecast failed:" << why;
        return std::nullopt;
    };
    if (!url) return fail(QStringLiteral("no forecast address"));
    const HttpResult result = HttpLoader::get(*url);
    if (!result.ok()) return fail(result.errorText);
    auto snapshot = parseForecast(result.body, place, forecastEnvironment());
    if (!snapshot) return fail(QStringLiteral("not a forecast document (HTTP %1)").arg(result.status));
    return snapshot;
}

std::optional<WeatherSnapshot> WeatherProvider::snapshot(const Place& place)
{
    if (!place.hasValidCoordinates()) return std::nullopt; // nothing the service could answer
    if (const auto hit = cached(place); hit && Clock::now().secondsSince(hit->updated) < kFreshSeconds) return hit;
    if (auto fresh = fetch(place)) {
        store(*fresh, place);
        return fresh;
    }
    return cached(place);
}

} // namespace velk
