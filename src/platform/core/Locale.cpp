#include "platform/core/Locale.h"

#include <mutex>
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/ulocdata.h>
#include <unicode/unistr.h>

namespace velk {

namespace icutext {
icu::UnicodeString toIcu(const QString& s)
{
    return icu::UnicodeString(reinterpret_cast<const UChar*>(s.utf16()), int32_t(s.size()));
}

QString fromIcu(const icu::UnicodeString& s)
{
    return QString(reinterpret_cast<const QChar*>(s.getBuffer()), s.length());
}
} // namespace icutext

struct Locale::Impl {
    icu::Locale locale;
    // Week rules need an ICU calendar, which is costly to make; they are read once, on first use.
    mutable std::once_flag weekOnce;
    mutable int firstWeekday = 1;
    mutable int minimumDays = 1;

    void loadWeekRules() const
    {
        std::call_once(weekOnce, [this] {
            UErrorCode status = U_ZERO_ERROR;
            std::unique_ptr<icu::Calendar> cal(icu::Calendar::createInstance(locale, status));
            if (U_FAILURE(status) || !cal) return;
            const UCalendarDaysOfWeek first = cal->getFirstDayOfWeek(status);
            if (U_SUCCESS(status)) firstWeekday = int(first);
            minimumDays = int(cal->getMinimalDaysInFirstWeek());
        });
    }
};

namespace {

// "de_DE.UTF-8@euro" -> "de_DE"; "C" and "POSIX" -> "en_US_POSIX". ICU keywords ("@calendar=...")
// are kept.
QByteArray normalisedIdentifier(const QString& identifier)
{
    QString id = identifier.trimmed();
    if (id == QLatin1String("C") || id == QLatin1String("POSIX") || id.startsWith(QLatin1String("C.")))
        return QByteArrayLiteral("en_US_POSIX");
    const qsizetype at = id.indexOf(QLatin1Char('@'));
    QString keywords = at >= 0 ? id.mid(at) : QString();
    QString base = at >= 0 ? id.left(at) : id;
    const qsizetype dot = base.indexOf(QLatin1Char('.'));
    if (dot >= 0) base.truncate(dot);
    if (!keywords.contains(QLatin1Char('='))) keywords.clear(); // a POSIX modifier such as "@euro"
    return (base + keywords).toUtf8();
}

std::mutex g_currentMutex;
std::optional<Locale> g_pinned;
std::optional<Locale> g_lastDefault; // the Locale made for ICU's default, reused while it holds

} // namespace

Locale::Locale(const QString& identifier)
{
    auto impl = std::make_shared<Impl>();
    impl->locale = icu::Locale(normalisedIdentifier(identifier).constData());
    impl_ = std::move(impl);
}

Locale Locale::current()
{
    std::lock_guard lock(g_currentMutex);
    if (g_pinned) return *g_pinned;
    const icu::Locale& def = icu::Locale::getDefault();
    if (!g_lastDefault || g_lastDefault->impl_->locale != def) {
        auto impl = std::make_shared<Impl>();
        impl->locale = def;
        g_lastDefault = Locale(std::shared_ptr<const Impl>(std::move(impl)));
    }
    return *g_lastDefault;
}

void Locale::setCurrent(const std::optional<Locale>& locale)
{
    std::lock_guard lock(g_currentMutex);
    g_pinned = locale;
}

QString Locale::identifier() const
{
    return QString::fromUtf8(impl_->locale.getName());
}

Locale::MeasurementSystem Locale::measurementSystem() const
{
    UErrorCode status = U_ZERO_ERROR;
    const UMeasurementSystem system = ulocdata_getMeasurementSystem(impl_->locale.getName(), &status);
    if (U_FAILURE(status)) return MeasurementSystem::metric;
    switch (system) {
    case UMS_US:
        return MeasurementSystem::us;
    case UMS_UK:
        return MeasurementSystem::uk;
    default:
        return MeasurementSystem::metric;
    }
}

int Locale::firstWeekday() const
{
    impl_->loadWeekRules();
    return impl_->firstWeekday;
}

int Locale::minimumDaysInFirstWeek() const
{
    impl_->loadWeekRules();
    return impl_->minimumDays;
}

const icu::Locale& Locale::icuLocale() const
{
    return impl_->locale;
}

bool localizedCaseInsensitiveContains(const QString& text, const QString& other, const Locale& locale)
{
    if (other.isEmpty()) return false;
    const QByteArray language(locale.icuLocale().getLanguage());
    const uint32_t options =
        (language == "tr" || language == "az") ? U_FOLD_CASE_EXCLUDE_SPECIAL_I : U_FOLD_CASE_DEFAULT;
    icu::UnicodeString haystack = icutext::toIcu(text);
    icu::UnicodeString needle = icutext::toIcu(other);
    haystack.foldCase(options);
    needle.foldCase(options);
    // Composed and decomposed spellings of one letter must match each other.
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_SUCCESS(status)) {
        haystack = nfc->normalize(haystack, status);
        needle = nfc->normalize(needle, status);
    }
    if (U_FAILURE(status)) return false;
    return haystack.indexOf(needle) >= 0;
}

} // namespace velk
