#pragma once
// What the clock tests share: a pinned clock, zone, locale and 12/24-hour setting, a widget
// context for a theme, and dates written as UTC wall times.
#include "platform/core/Clock.h"
#include "platform/core/Date.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "shared/data/ClockFormat.h"
#include "shared/look/WidgetRoot.h"
#include "shared/look/TreeQuery.h"

#include <QDateTime>
#include <gtest/gtest.h>

namespace velk::testing {

// "2026-12-09T23:30:00" read as UTC.
inline Date utc(const char* text)
{
    QDateTime t = QDateTime::fromString(QString::fromLatin1(text), Qt::ISODate);
    t.setTimeSpec(Qt::UTC);
    return Date::fromQDateTime(t);
}

inline TimeZone zone(const char* id) { return *TimeZone::named(QString::fromLatin1(id)); }

inline WCtx clockContext(const char* themeID = "green", qreal u = 1, bool dark = true)
{
    using Surface = ThemeSettings::SurfaceStyle;
    const VelkTheme& t = VelkThemes::resolve(QString::fromLatin1(themeID), dark);
    return WCtx{{QString::fromLatin1(themeID), Surface::solid}, t, WidgetPalette::resolve(Surface::solid, t), u};
}

inline void setTimeFormat(int value) { Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, value); }

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

inline QString textOf(const QJsonObject& node) { return node.value(QStringLiteral("text")).toString(); }

// The texts of a tree, in drawing order.
inline QStringList textsOf(const QJsonObject& tree)
{
    QStringList out;
    for (const QJsonObject& t : nodesOfKind(tree, QStringLiteral("Text")))
        out << textOf(t);
    return out;
}

} // namespace velk::testing
