// The clock providers and widget definitions: the minute timeline, what each entry carries,
// the face each widget draws from its configuration, and every widget rendered from its
// placeholder, its snapshot and its timeline in a dark and a light theme.
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

TEST_F(ClockWidgetsTest, DefinitionsInBundleOrder)
{
    struct Row {
        const char* kind;
        const char* name;
        const char* description;
        WidgetFamily family;
        const char* intent;
    };
    const Row rows[] = {
        {"velk.clock.analogClassic", "Analog Classic", "A classic dial with the VELK second hand.", WidgetFamily::small, "ClockConfigIntent"},
        {"velk.clock.analogMinimal", "Analog Minimal", "Four dots and two hands.", WidgetFamily::small, "ClockConfigIntent"},
        {"velk.clock.hybridClassic", "Hybrid Classic", "Analog dial with a digital readout.", WidgetFamily::small, "ClockConfigIntent"},
        {"velk.clock.hybridMinimal", "Hybrid Minimal", "Minimal dial with a digital readout.", WidgetFamily::small, "ClockConfigIntent"},
        {"velk.clock.matrixSmall", "Matrix Digital", "Dot-matrix time with the date.", WidgetFamily::small, "ClockConfigIntent"},
        {"velk.clock.stacked", "Stacked", "Hours over minutes.", WidgetFamily::small, "ClockConfigIntent"},
        {"velk.clock.matrixMedium", "Matrix Digital", "Big dot-matrix time with hour progress.", WidgetFamily::medium, "ClockConfigIntent"},
        {"velk.clock.world", "World Clock", "Three cities side by side.", WidgetFamily::medium, "WorldClockConfigIntent"},
        {"velk.clock.dotDial", "Dot Dial", "Numbered dial in dot matrix.", WidgetFamily::small, "ClockConfigIntent"},
        {"velk.clock.dual", "Dual Time", "Home plus one more city.", WidgetFamily::medium, "DualClockConfigIntent"},
    };
    const auto widgets = allClockWidgets();
    ASSERT_EQ(widgets.size(), std::size(rows));
    for (size_t i = 0; i < widgets.size(); ++i) {
        const WidgetDefinition& w = widgets[i];
        EXPECT_TRUE(w.isValid());
        EXPECT_EQ(w.kind(), rows[i].kind);
        EXPECT_EQ(w.displayName(), rows[i].name);
        EXPECT_EQ(w.description(), rows[i].description);
        EXPECT_EQ(w.family(), rows[i].family) << rows[i].kind;
        EXPECT_EQ(w.configurationIntent(), rows[i].intent);
        EXPECT_TRUE(w.isContentMarginsDisabled());
    }
}

// Every widget draws from its placeholder, its snapshot and its timeline, in both themes, at its
// design size, with no widget URL. With VELK_CLOCK_PNG set to a folder the renders are saved
// there at scale 2 to look at.
TEST_F(ClockWidgetsTest, EveryWidgetRendersFromEveryEntryInBothThemes)
{
    // The theme that follows the system appearance, so the dark and light renders differ.
    ThemeStore::save(ThemeSettings{VelkThemes::kFollowSystemID, ThemeSettings::SurfaceStyle::solid});
    const QString pngDir = qEnvironmentVariable("VELK_CLOCK_PNG");
    if (!pngDir.isEmpty())
        QDir().mkpath(pngDir);
    const QJsonObject configuration{{"city", "Asia/Kolkata"},  {"city1", "Europe/London"}, {"city2", "America/Los_Angeles"},
                                    {"city3", "Asia/Tokyo"},   {"home", "Europe/Berlin"},  {"away", "Asia/Kolkata"},
                                    {"surface", "solid"}};
    for (const WidgetDefinition& w : allClockWidgets()) {
        const timeline::AnyProvider& p = w.provider();
        const timeline::AnyTimeline t = p.timeline(configuration, kContext);
        ASSERT_EQ(t.entries.size(), 60u) << w.kind().toStdString();
        const std::pair<const char*, timeline::AnyEntry> entries[] = {
            {"placeholder", p.placeholder(kContext)}, {"snapshot", p.snapshot(configuration, kContext)}, {"timeline", t.entries[5]}};
        for (const auto& [name, entry] : entries) {
            EXPECT_EQ(entry.surface(), QString::fromLatin1(name) == "placeholder" ? "followApp" : "solid");
            for (bool dark : {true, false}) {
                view::Environment env;
                env.colorScheme = dark ? view::ColorScheme::dark : view::ColorScheme::light;
                const view::View v = w.render(entry);
                const view::LaidOutTree tree = view::layout(v, timeline::designSize(w.family()), env);
                EXPECT_EQ(tree.size(), timeline::designSize(w.family())) << w.kind().toStdString() << " " << name;
                EXPECT_FALSE(view::widgetURL(tree)) << w.kind().toStdString();
                const QJsonObject dump = view::inspect(tree);
                EXPECT_FALSE(nodesOfKind(dump, "Text").empty() && nodesOfKind(dump, "RoundedRectangle").empty())
                    << w.kind().toStdString() << " draws nothing";
                if (!pngDir.isEmpty()) {
                    const QImage image = view::renderImage(v, timeline::designSize(w.family()), 2, env);
                    image.save(QStringLiteral("%1/%2-%3-%4.png").arg(pngDir, w.kind(), QLatin1String(name),
                                                                      dark ? "dark" : "light"));
                }
            }
        }
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
        const QStringList texts = textsOf(treeOf(MatrixSmallWidget{}.body(), timeline::AnyEntry(ClockProvider{}.snapshot(config, kContext))));
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(texts.front(), c.caption);
    }
    const QStringList unknown = textsOf(treeOf(
        MatrixSmallWidget{}.body(), timeline::AnyEntry(ClockProvider{}.snapshot(cityConfig("Atlantis/Sunken_Town"), kContext))));
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
    const QJsonObject tree = treeOf(WorldClockWidget{}.body(), timeline::AnyEntry(WorldClockProvider{}.snapshot(one, kContext)));
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

// A timeline that straddles the start of summer time: each entry shows its own wall time and
// the offset that goes with it, whenever it is drawn.
TEST_F(ClockWidgetsTest, StackedClockAcrossAChangeOfDaylightSaving)
{
    ClockPin before{utc("2026-03-29T00:30:20")};
    const auto t = ClockProvider{}.timeline(cityConfig("Europe/London"), kContext);
    ASSERT_EQ(t.entries.size(), 60u);
    const auto& lastWinter = t.entries[29];
    const auto& firstSummer = t.entries[30];
    EXPECT_EQ(lastWinter.date, utc("2026-03-29T00:59:00"));
    EXPECT_EQ(firstSummer.date, utc("2026-03-29T01:00:00"));
    EXPECT_EQ(textsOf(treeOf(StackedClockWidget{}.body(), timeline::AnyEntry(lastWinter))), (QStringList{"00", "59", "GMT+0"}));
    EXPECT_EQ(textsOf(treeOf(StackedClockWidget{}.body(), timeline::AnyEntry(firstSummer))), (QStringList{"02", "00", "GMT+1"}));
    const QStringList dual = textsOf(treeOf(
        DualClockWidget{}.body(),
        timeline::AnyEntry(VelkEntry<DualClockConfigIntent>{firstSummer.date,
                                                            {TimeZoneEntity{"Europe/London"}, TimeZoneEntity{"UTC"}, {}},
                                                            SurfaceOption::followApp})));
    EXPECT_EQ(dual, (QStringList{"HOME", "02:00", "GMT+1 \u00B7 NIGHT", "UTC", "01:00", "GMT+0 \u00B7 NIGHT"}));
}

} // namespace
