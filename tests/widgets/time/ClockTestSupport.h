#pragma once
// What the clock tests share: a pinned clock, zone, locale and 12/24-hour setting, and dates
// written as UTC wall times.
#include "platform/core/Clock.h"
#include "platform/core/Date.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"
#include "shared/look/WidgetRoot.h"
#include "support/UtcDate.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace velk::testing {

using velk::test::utc;

inline TimeZone zone(const char* id)
{
    return *TimeZone::named(QString::fromLatin1(id));
}

inline void setTimeFormat(int value)
{
    Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, value);
}

// Every clock test runs at a fixed moment, in UTC, in en_US and on a 24-hour clock unless it
// says otherwise.
class ClockTest : public ::testing::Test {
protected:
    void SetUp() override { setTimeFormat(24); }
    void TearDown() override { Defaults::shared().remove(ClockFormat::kTimeFormatKey); }

    ClockPin clock{utc("2026-12-09T10:15:42")};
    TimeZonePin zonePin{QStringLiteral("UTC")};
    LocalePin localePin{QStringLiteral("en_US")};
};

} // namespace velk::testing
