// The clock providers and widget definitions: the minute timeline, what each entry carries and
// the face each widget draws from its configuration.
#include "ClockTestSupport.h"

#include "platform/view/Layout.h"
#include "shared/look/ThemeStore.h"
#include "widgets/time/ClockTimeline.h"
#include "widgets/time/ClockWidgets.h"

#include <QDir>
#include <QImage>

using namespace velk;
using namespace velk::testing;
using timeline::WidgetDefinition;
using timeline::WidgetFamily;

namespace {

class ClockWidgetsTest : public ClockTest {};

const timeline::TimelineContext kContext{};

std::vector<WidgetDefinition> allClockWidgets()
{
    return {AnalogClassicWidget{}.body(), AnalogMinimalWidget{}.body(), HybridClassicWidget{}.body(),
            HybridMinimalWidget{}.body(), MatrixSmallWidget{}.body(),   StackedClockWidget{}.body(),
            MatrixMediumWidget{}.body(),  WorldClockWidget{}.body(),    DotDialWidget{}.body(),
            DualClockWidget{}.body()};
}

QJsonObject treeOf(const WidgetDefinition& w, const timeline::AnyEntry& entry, bool dark = true)
{
    view::Environment env;
    env.colorScheme = dark ? view::ColorScheme::dark : view::ColorScheme::light;
    return inspectAt(w.render(entry), timeline::designSize(w.family()), env);
}

ClockConfigIntent cityConfig(const char* id, SurfaceOption surface = SurfaceOption::followApp)
{
    ClockConfigIntent c;
    c.city = TimeZoneEntity{QString::fromLatin1(id)};
    c.surface = surface;
    return c;
}

TEST_F(ClockWidgetsTest, TimelineIsTheComingHourMinuteByMinute)
{
    ClockPin at{utc("2026-12-09T10:15:42")};
    const auto t = ClockProvider{}.timeline(cityConfig("Asia/Tokyo", SurfaceOption::glass), kContext);
    ASSERT_EQ(t.entries.size(), 60u);
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::atEnd());
    for (size_t i = 0; i < t.entries.size(); ++i) {
        EXPECT_EQ(t.entries[i].date, utc("2026-12-09T10:15:00").addingSeconds(60.0 * double(i)));
        EXPECT_EQ(t.entries[i].data, cityConfig("Asia/Tokyo", SurfaceOption::glass));
        EXPECT_EQ(t.entries[i].surface, SurfaceOption::glass);
    }
    EXPECT_EQ(t.entries.back().date, utc("2026-12-09T11:14:00"));

    ClockPin onTheMinute{utc("2026-12-09T10:16:00")};
    EXPECT_EQ(WorldClockProvider{}.timeline({}, kContext).entries.front().date, utc("2026-12-09T10:16:00"));
    EXPECT_EQ(DualClockProvider{}.timeline({}, kContext).entries.size(), 60u);
}

TEST_F(ClockWidgetsTest, PlaceholderAndSnapshot)
{
    const Date now = Clock::now();
    const auto p = ClockProvider{}.placeholder(kContext);
    EXPECT_EQ(p.date, now);
    EXPECT_EQ(p.data, ClockConfigIntent{});
    EXPECT_EQ(p.surface, SurfaceOption::followApp);
    const auto wp = WorldClockProvider{}.placeholder(kContext);
    const auto zones = wp.data.zones();
    EXPECT_EQ(zones[0].identifier(), "UTC");
    EXPECT_EQ(zones[1].identifier(), "America/New_York");
    EXPECT_EQ(zones[2].identifier(), "Asia/Tokyo");
    EXPECT_EQ(DualClockProvider{}.placeholder(kContext).data, DualClockConfigIntent{});

    // A preview snapshot still carries the configuration: there is no sample clock.
    timeline::TimelineContext preview;
    preview.isPreview = true;
    const auto s = ClockProvider{}.snapshot(cityConfig("Europe/Paris", SurfaceOption::accent), preview);
    EXPECT_EQ(s.date, now);
    EXPECT_EQ(s.data, cityConfig("Europe/Paris", SurfaceOption::accent));
    EXPECT_EQ(s.surface, SurfaceOption::accent);
}

TEST_F(ClockWidgetsTest, NoClockOpensTheAppOnATap)
{
    for (const WidgetDefinition& w : allClockWidgets()) {
        const QSizeF size = timeline::designSize(w.family());
        EXPECT_FALSE(view::widgetURL(view::layout(w.render(w.provider().placeholder(kContext)), size)))
            << w.kind().toStdString();
    }
}

TEST_F(ClockWidgetsTest, MatrixSmallPlaceComesFromTheChosenIdentifier)
{
    struct Case {
        std::optional<const char*> city;
        std::optional<QString> place;
        const char* caption;
    };
    for (const Case& c : {Case{"America/Los_Angeles", QStringLiteral("Los Angeles"), "LOS ANGELES"},
                          Case{"America/Mexico_City", QStringLiteral("Mexico City"), "MEXICO CITY"},
                          // An identifier the system does not know still names the place;
                          // the time is the current zone's.
                          Case{"Atlantis/Sunken_Town", QStringLiteral("Sunken Town"), "SUNKEN TOWN"},
                          Case{std::nullopt, std::nullopt, "UTC"}}) {
        const ClockConfigIntent config = c.city ? cityConfig(*c.city) : ClockConfigIntent{};
        EXPECT_EQ(clockPlace(config), c.place);
        const QStringList texts =
            textsOf(treeOf(MatrixSmallWidget{}.body(), timeline::AnyEntry(ClockProvider{}.snapshot(config, kContext))));
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(texts.front(), c.caption);
    }
    const QStringList unknown =
        textsOf(treeOf(MatrixSmallWidget{}.body(),
                       timeline::AnyEntry(ClockProvider{}.snapshot(cityConfig("Atlantis/Sunken_Town"), kContext))));
    EXPECT_TRUE(unknown.contains("10:15"));
}

TEST_F(ClockWidgetsTest, DualZonesAndTheirFallbacks)
{
    TimeZonePin here{QStringLiteral("Europe/Berlin")};
    DualClockConfigIntent none;
    DualZones z = dualZones(none);
    EXPECT_EQ(z.home.identifier(), "Europe/Berlin");
    EXPECT_EQ(z.away.identifier(), "Australia/Sydney");

    DualClockConfigIntent unknownAway;
    unknownAway.home = TimeZoneEntity{QStringLiteral("Asia/Tokyo")};
    unknownAway.away = TimeZoneEntity{QStringLiteral("Nowhere/Special")};
    z = dualZones(unknownAway);
    EXPECT_EQ(z.home.identifier(), "Asia/Tokyo");
    EXPECT_EQ(z.away.identifier(), "Europe/Berlin");

    const QStringList texts =
        textsOf(treeOf(DualClockWidget{}.body(), timeline::AnyEntry(DualClockProvider{}.snapshot(none, kContext))));
    EXPECT_EQ(texts, (QStringList{"HOME", "11:15", "GMT+1 \u00B7 DAY", "SYDNEY", "21:15", "GMT+11 \u00B7 NIGHT"}));
}

TEST_F(ClockWidgetsTest, WorldClockAlwaysShowsThreeCitiesWithTheFirstAsHome)
{
    WorldClockConfigIntent one;
    one.city2 = TimeZoneEntity{QStringLiteral("Asia/Kolkata")};
    const QJsonObject tree =
        treeOf(WorldClockWidget{}.body(), timeline::AnyEntry(WorldClockProvider{}.snapshot(one, kContext)));
    EXPECT_EQ(textsOf(tree), (QStringList{"UTC", "10:15", "KOLKATA", "15:45", "TOKYO", "19:15"}));
    // Only the home caption carries a dot: the rule's dots are the rest.
    const auto circles = nodesOfKind(tree, "Circle");
    ASSERT_FALSE(circles.empty());
    EXPECT_LT(frameOf(circles.front()).top(), frameOf(circles.back()).top());
}

TEST_F(ClockWidgetsTest, AnalogAndHybridDrawTheSameFaceWithAndWithoutTheReadout)
{
    const auto entry = timeline::AnyEntry(ClockProvider{}.snapshot(cityConfig("Asia/Kolkata"), kContext));
    EXPECT_TRUE(textsOf(treeOf(AnalogClassicWidget{}.body(), entry)).isEmpty());
    EXPECT_TRUE(textsOf(treeOf(AnalogMinimalWidget{}.body(), entry)).isEmpty());
    EXPECT_EQ(textsOf(treeOf(HybridClassicWidget{}.body(), entry)), QStringList{"15:45"});
    EXPECT_EQ(textsOf(treeOf(HybridMinimalWidget{}.body(), entry)), QStringList{"15:45"});
}

// A timeline that straddles the start of summer time: each entry shows its own wall time, while
// the offset labels tell the zone's offset as it stands when the face is drawn.
TEST_F(ClockWidgetsTest, ClockOffsetsAcrossAChangeOfDaylightSaving)
{
    ClockPin before{utc("2026-03-29T00:30:20")};
    const auto t = ClockProvider{}.timeline(cityConfig("Europe/London"), kContext);
    ASSERT_EQ(t.entries.size(), 60u);
    const auto& lastWinter = t.entries[29];
    const auto& firstSummer = t.entries[30];
    EXPECT_EQ(lastWinter.date, utc("2026-03-29T00:59:00"));
    EXPECT_EQ(firstSummer.date, utc("2026-03-29T01:00:00"));
    const auto dualAt = [&](Date date) {
        return textsOf(
            treeOf(DualClockWidget{}.body(),
                   timeline::AnyEntry(VelkEntry<DualClockConfigIntent>{
                       date, {TimeZoneEntity{"Europe/London"}, TimeZoneEntity{"UTC"}, {}}, SurfaceOption::followApp})));
    };
    // Drawn before the change: both entries carry winter's offset.
    EXPECT_EQ(textsOf(treeOf(StackedClockWidget{}.body(), timeline::AnyEntry(lastWinter))),
              (QStringList{"00", "59", "GMT+0"}));
    EXPECT_EQ(textsOf(treeOf(StackedClockWidget{}.body(), timeline::AnyEntry(firstSummer))),
              (QStringList{"02", "00", "GMT+0"}));
    EXPECT_EQ(dualAt(firstSummer.date),
              (QStringList{"HOME", "02:00", "GMT+0 \u00B7 NIGHT", "UTC", "01:00", "GMT+0 \u00B7 NIGHT"}));
    // Drawn after it: summer's offset, also on the last winter entry.
    ClockPin after{utc("2026-03-29T01:10:00")};
    EXPECT_EQ(textsOf(treeOf(StackedClockWidget{}.body(), timeline::AnyEntry(lastWinter))),
              (QStringList{"00", "59", "GMT+1"}));
    EXPECT_EQ(dualAt(lastWinter.date),
              (QStringList{"HOME", "00:59", "GMT+1 \u00B7 NIGHT", "UTC", "00:59", "GMT+0 \u00B7 NIGHT"}));
}

} // namespace
