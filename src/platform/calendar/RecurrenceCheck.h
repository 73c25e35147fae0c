#pragma once
// Guards around libical's recurrence expansion. libical searches for a rule's next instance
// without any bound short of the year 2582: a rule whose filters leave no day at all
// (BYMONTH=2;BYMONTHDAY=30, a BYSETPOS past the end of its set) costs it from a tenth of a
// second to several seconds per event, and a rule finer than daily with filters can make it spin
// for hours. So every rule is checked here, cheaply and without libical's iterator, before
// libical sees it; and what a file may spend on expansion is counted for the whole file.
#include <QDate>
#include <QString>
#include <libical/ical.h>

namespace velk {

// What one file may spend on expanding its repeat rules (iterator steps and rule checks), shared
// by all of its events or time zones, so a thousand costly rules cost no more than a few.
struct RecurrenceBudget {
    qint64 remaining = 200000;

    bool spend(qint64 steps)
    {
        if (remaining < steps) {
            remaining = 0;
            return false;
        }
        remaining -= steps;
        return true;
    }
};

// A rule read from its text, owning what libical allocates for it (the RSCALE name).
class RecurrenceRule {
public:
    explicit RecurrenceRule(const QByteArray& text);
    ~RecurrenceRule();
    RecurrenceRule(const RecurrenceRule&) = delete;
    RecurrenceRule& operator=(const RecurrenceRule&) = delete;

    const icalrecurrencetype& rule() const { return rule_; }
    bool readable() const { return rule_.freq != ICAL_NO_RECURRENCE; }

private:
    icalrecurrencetype rule_;
};

struct RuleCheck {
    QString problem; // empty when libical may expand the rule
    int perYear = 0; // about how many instances the rule gives a year
};

// Whether a readable rule starting on `start` may be handed to libical's iterator: it gives an
// instance within 28 of its periods (the calendar's weekday and leap-year cycle), and when it
// repeats more often than daily it has no filters (each libical step is then one instance).
RuleCheck checkRule(const icalrecurrencetype& rule, QDate start);

} // namespace velk
