#pragma once
// Dates as text and back, backed by ICU. A DateFormatter is a plain value holding its settings;
// making one is cheap (the ICU formatters behind it are shared per locale and pattern), and its
// const members are safe to call from several threads at once.
//
// A new formatter takes the current locale and time zone and a Gregorian calendar as they are
// when it is made; setting any of them later changes only that formatter.
#include "platform/core/Calendar.h"
#include "platform/core/Date.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include <QString>
#include <optional>

namespace velk {

class DateFormatter {
public:
    enum class Style { none, shortStyle, mediumStyle, longStyle, fullStyle };

    DateFormatter();

    // The pattern in use ("yyyy-MM-dd", "h:mm a"); with styles set, the locale's pattern for them.
    QString dateFormat() const;
    // A fixed pattern; clears the styles.
    void setDateFormat(const QString& pattern);
    // The locale's pattern for a template of fields ("MMMEd", "yMMMM", "j"), in this formatter's
    // locale; clears the styles. An unusable template leaves the pattern as it was.
    void setLocalizedDateFormatFromTemplate(const QString& tmpl);

    Style dateStyle() const { return dateStyle_; }
    void setDateStyle(Style style);
    Style timeStyle() const { return timeStyle_; }
    void setTimeStyle(Style style);

    Locale locale() const { return locale_; }
    void setLocale(const Locale& locale) { locale_ = locale; }
    TimeZone timeZone() const { return zone_; }
    void setTimeZone(const TimeZone& zone) { zone_ = zone; }
    // The calendar's week rules apply; the formatter's own time zone wins over the calendar's.
    Calendar calendar() const { return calendar_; }
    void setCalendar(const Calendar& calendar) { calendar_ = calendar; }

    QString string(Date d) const;
    // The moment the whole text names under the pattern, strictly (no trailing text, no 30
    // February); fields the pattern lacks take their first value. A wall time that a clock change
    // repeats is the first of the two; one it skips never happened, so it does not parse.
    std::optional<Date> date(const QString& text) const;

    // The locale's pattern for a template of fields, as ICU's pattern generator finds it;
    // `options` is reserved and must be 0. Nothing when the template yields no pattern.
    static std::optional<QString> dateFormat(const QString& tmpl, int options, const Locale& locale);

private:
    QString effectivePattern() const;

    QString pattern_;
    Style dateStyle_ = Style::none;
    Style timeStyle_ = Style::none;
    Locale locale_;
    TimeZone zone_;
    Calendar calendar_;
};

} // namespace velk
