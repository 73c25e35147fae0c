#include "platform/core/Clock.h"
#include "platform/timeline/IntentButton.h"
#include "platform/timeline/WidgetBundle.h"

#include <gtest/gtest.h>

using namespace velk;
using namespace velk::timeline;

namespace {

enum class Backdrop { follow, solid };
VELK_APP_ENUM(Backdrop, "Background", {Backdrop::follow, "follow", "Follow"}, {Backdrop::solid, "solid", "Solid"})

struct Reading {
    qint64 level = 0;
    VELK_FIELDS(Reading, level)
};

struct BackdropConfig {
    static constexpr const char* typeName = "BackdropConfig";
    static constexpr const char* title = "Options";
    Backdrop surface = Backdrop::follow;
    qint64 step = 10;
    static auto parameters()
    {
        return std::make_tuple(intents::parameter("surface", "Background", &BackdropConfig::surface),
                               intents::parameter("step", "Step", &BackdropConfig::step));
    }
};

using ReadingEntry = Entry<std::optional<Reading>, Backdrop>;

// Two entries `step` minutes apart from now, reloading after the second.
struct ReadingProvider {
    ReadingEntry placeholder(const TimelineContext&) const { return {Clock::now(), Reading{50}, Backdrop::follow}; }
    ReadingEntry snapshot(const BackdropConfig& c, const TimelineContext& ctx) const
    {
        return {Clock::now(), ctx.isPreview ? std::optional<Reading>(Reading{99}) : std::nullopt, c.surface};
    }
    Timeline<ReadingEntry> timeline(const BackdropConfig& c, const TimelineContext&) const
    {
        const Date now = Clock::now();
        return {{{now, Reading{1}, c.surface}, {now.addingSeconds(c.step * 60.0), Reading{2}, c.surface}},
                ReloadPolicy::atEnd()};
    }
};

WidgetDefinition readingWidget(const QString& kind)
{
    return AppIntentConfiguration<BackdropConfig>(
               kind, ReadingProvider{},
               [](const ReadingEntry& e) { return view::Text(QString::number(e.data ? e.data->level : -1)); })
        .configurationDisplayName("Reading")
        .description("A level")
        .supportedFamilies(WidgetFamily::medium)
        .contentMarginsDisabled();
}

struct TapIntent {
    static constexpr const char* typeName = "TapIntent";
    static constexpr const char* title = "Tap";
    static inline int taps = 0;
    qint64 times = 1;
    static auto parameters() { return std::make_tuple(intents::parameter("times", "Times", &TapIntent::times)); }
    void perform() const { taps += int(times); }
};

} // namespace

TEST(WidgetFamilyTest, DesignSizesAndNames)
{
    struct Case {
        WidgetFamily family;
        QSizeF size;
        const char* name;
    };
    for (const Case& c :
         {Case{WidgetFamily::small, {160, 160}, "small"}, Case{WidgetFamily::medium, {344, 160}, "medium"},
          Case{WidgetFamily::large, {344, 344}, "large"}}) {
        EXPECT_EQ(designSize(c.family), c.size) << c.name;
        EXPECT_EQ(familyName(c.family), c.name);
        EXPECT_EQ(familyFromName(c.name), c.family);
    }
    EXPECT_FALSE(familyFromName("Small"));
}

TEST(ProviderTest, HostAsksAnyWidgetWithStoredConfigurationJson)
{
    ClockPin pin(Date(1000));
    const WidgetDefinition w = readingWidget("test.reading");
    const AnyProvider& p = w.provider();

    EXPECT_EQ(p.placeholder({}).toJson(),
              (QJsonObject{{"date", 1000}, {"data", QJsonObject{{"level", 50}}}, {"surface", "follow"}}));
    // Only the snapshot looks at the preview flag; nothing dumps as null.
    EXPECT_TRUE(p.snapshot({}, {}).data().isNull());
    TimelineContext preview;
    preview.isPreview = true;
    EXPECT_EQ(p.snapshot({{"surface", "solid"}}, preview).data(), QJsonValue(QJsonObject{{"level", 99}}));

    // A stored value that is no longer valid takes its default; the rest is kept.
    const AnyTimeline t = p.timeline({{"surface", "solid"}, {"step", "ten"}}, {});
    ASSERT_EQ(t.entries.size(), 2u);
    EXPECT_EQ(t.entries[1].date(), Date(1600));
    EXPECT_EQ(t.entries[1].surface(), "solid");
    EXPECT_EQ(t.reloadDate(), Date(1600));
    EXPECT_EQ(t.toJson()["policy"], QJsonValue("atEnd"));

    // The typed entry survives the trip for the content.
    ASSERT_TRUE(t.entries[0].as<ReadingEntry>());
    EXPECT_EQ(t.entries[0].as<ReadingEntry>()->data->level, 1);
    EXPECT_FALSE((t.entries[0].as<Entry<Reading, Backdrop>>()));
}

TEST(ProviderTest, ReloadPolicies)
{
    EXPECT_EQ(ReloadPolicy::atEnd().reloadDate(Date(5)), Date(5));
    EXPECT_FALSE(ReloadPolicy::atEnd().reloadDate(std::nullopt));
    EXPECT_EQ(ReloadPolicy::after(Date(7)).reloadDate(Date(5)), Date(7));
    EXPECT_FALSE(ReloadPolicy::never().reloadDate(Date(5)));
    EXPECT_EQ(ReloadPolicy::after(Date(7)).toJson(), (QJsonObject{{"policy", "after"}, {"date", 7}}));
}

TEST(WidgetDefinitionTest, DeclaresItselfAndDrawsOnlyItsOwnEntries)
{
    const WidgetDefinition w = readingWidget("test.reading");
    EXPECT_EQ(w.kind(), "test.reading");
    EXPECT_EQ(w.displayName(), "Reading");
    EXPECT_EQ(w.description(), "A level");
    EXPECT_EQ(w.family(), WidgetFamily::medium);
    EXPECT_TRUE(w.isContentMarginsDisabled());
    EXPECT_EQ(w.configurationIntent(), "BackdropConfig");
    EXPECT_EQ(w.configuration(), (QJsonObject{{"surface", "follow"}, {"step", 10}}));
    // The host can describe the configuration by type name.
    EXPECT_TRUE(intents::IntentRegistry::shared().description("BackdropConfig"));

    EXPECT_FALSE(w.render(w.provider().placeholder({})).isEmpty());
    EXPECT_TRUE(w.render(AnyEntry(Entry<Reading, Backdrop>{Date(), {}, Backdrop::solid})).isEmpty());
    EXPECT_TRUE(w.render(AnyEntry()).isEmpty());
}

TEST(WidgetBundleTest, KeepsOrderAndRefusesDuplicateOrEmptyKinds)
{
    WidgetBundle bundle;
    EXPECT_TRUE(bundle.add(readingWidget("b")));
    EXPECT_TRUE(bundle.add(readingWidget("a")));
    EXPECT_FALSE(bundle.add(readingWidget("b").configurationDisplayName("Impostor")));
    EXPECT_FALSE(bundle.add(readingWidget("")));
    EXPECT_FALSE(bundle.add(WidgetDefinition()));
    EXPECT_EQ(bundle.kinds(), QStringList({"b", "a"}));
    ASSERT_TRUE(bundle.widget("b"));
    EXPECT_EQ(bundle.widget("b")->displayName(), "Reading");
    EXPECT_FALSE(bundle.widget("c"));
}

TEST(IntentButtonTest, ButtonCarriesAnActionTheRegistryCanRun)
{
    const view::ButtonAction action = buttonAction(TapIntent{3});
    EXPECT_EQ(action.intentType, "TapIntent");
    EXPECT_EQ(action.parameters, (QJsonObject{{"times", 3}}));
    TapIntent::taps = 0;
    EXPECT_TRUE(intents::IntentRegistry::shared().run(action.intentType, action.parameters).ok);
    EXPECT_EQ(TapIntent::taps, 3);
}
