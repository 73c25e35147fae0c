#pragma once
// Two zones side by side, home on the left and away on the right, each with its caption, its
// time in large digits and its offset from GMT with whether it is day or night there.
#include "platform/core/Date.h"
#include "platform/core/TimeZone.h"
#include "platform/view/View.h"
#include "shared/look/WidgetRoot.h"

#include <QString>

namespace velk {

struct ClockDual {
    Date date;
    TimeZone homeZone = TimeZone::utc();
    TimeZone awayZone = TimeZone::utc();
    WCtx ctx;

    view::View body() const;
    operator view::View() const { return body(); }

    // "GMT+5:30 · Day": the zone's offset when drawn and its day or night at the moment shown.
    QString status(const TimeZone& zone) const;

private:
    view::View column(const QString& label, const TimeZone& zone, bool dotted) const;
};

} // namespace velk
