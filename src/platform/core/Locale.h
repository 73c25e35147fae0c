#pragma once
// A locale for formatting and week rules, backed by ICU. A Locale is an immutable value: copies
// share one ICU object, and every member is safe to call from any thread.
#include <QString>
#include <memory>
#include <optional>
#include <unicode/uversion.h>

U_NAMESPACE_BEGIN
class Locale;
class UnicodeString;
U_NAMESPACE_END

namespace velk {

class Locale {
public:
    enum class MeasurementSystem { metric, us, uk };

    // Any identifier ICU understands ("en_US", "de-DE", "ja_JP@calendar=japanese"). The POSIX
    // spellings a Linux environment hands out ("de_DE.UTF-8", "C", "POSIX") are accepted too.
    explicit Locale(const QString& identifier);

    // The user's locale: the pinned one when set, else ICU's default (taken from the environment).
    static Locale current();
    // Pins current() process-wide (tests); nullopt returns to the environment's locale.
    static void setCurrent(const std::optional<Locale>& locale);

    QString identifier() const;
    MeasurementSystem measurementSystem() const;
    // 1 = Sunday ... 7 = Saturday, as the locale's region counts weeks.
    int firstWeekday() const;
    int minimumDaysInFirstWeek() const;

    const icu::Locale& icuLocale() const;

    friend bool operator==(const Locale& a, const Locale& b) { return a.identifier() == b.identifier(); }

private:
    struct Impl;
    explicit Locale(std::shared_ptr<const Impl> impl) : impl_(std::move(impl)) {}
    std::shared_ptr<const Impl> impl_;
};

// True when `text` contains `other`, ignoring case by the locale's case folding (so a Turkish
// dotless i folds as a Turkish reader expects). An empty `other` is contained in nothing.
bool localizedCaseInsensitiveContains(const QString& text, const QString& other,
                                      const Locale& locale = Locale::current());

// Pins Locale::current() for the life of a scope (tests).
class LocalePin {
public:
    explicit LocalePin(const QString& identifier) { Locale::setCurrent(Locale(identifier)); }
    ~LocalePin() { Locale::setCurrent(std::nullopt); }
    LocalePin(const LocalePin&) = delete;
    LocalePin& operator=(const LocalePin&) = delete;
};

namespace icutext {
icu::UnicodeString toIcu(const QString& s);
QString fromIcu(const icu::UnicodeString& s);
} // namespace icutext

} // namespace velk
