#include "platform/timeline/Provider.h"
#include "shared/widget/OptionEnums.h"
#include "shared/widget/SurfaceConfigIntent.h"
#include "shared/widget/VelkEntry.h"

#include <gtest/gtest.h>

using namespace velk;
using namespace velk::intents;

TEST(OptionEnumsTest, CasesInEditorOrderWithRawValuesAndTitles)
{
    EXPECT_EQ(typeDisplayName<SurfaceOption>(), "Background");
    EXPECT_EQ(allCases<SurfaceOption>(), (std::vector<SurfaceOption>{SurfaceOption::followApp, SurfaceOption::solid,
                                                                     SurfaceOption::glass, SurfaceOption::accent}));
    EXPECT_EQ(typeDisplayName<TempUnitOption>(), "Units");
    EXPECT_EQ(allCases<TempUnitOption>(), (std::vector<TempUnitOption>{TempUnitOption::system, TempUnitOption::celsius,
                                                                       TempUnitOption::fahrenheit}));

    struct Case {
        QString raw, title;
    };
    const std::vector<Case> surfaces = {
        {"followApp", "Follow app setting"}, {"solid", "Solid"}, {"glass", "Glass"}, {"accent", "Accent color"}};
    for (size_t i = 0; i < surfaces.size(); ++i) {
        const SurfaceOption s = allCases<SurfaceOption>()[i];
        EXPECT_EQ(rawValue(s), surfaces[i].raw);
        EXPECT_EQ(caseTitle(s), surfaces[i].title);
        EXPECT_EQ(fromRawValue<SurfaceOption>(surfaces[i].raw), s);
    }
    const std::vector<Case> units = {{"system", "Follow system"}, {"celsius", "Celsius"}, {"fahrenheit", "Fahrenheit"}};
    for (size_t i = 0; i < units.size(); ++i) {
        const TempUnitOption u = allCases<TempUnitOption>()[i];
        EXPECT_EQ(rawValue(u), units[i].raw);
        EXPECT_EQ(caseTitle(u), units[i].title);
        EXPECT_EQ(fromRawValue<TempUnitOption>(units[i].raw), u);
    }
}

TEST(OptionEnumsTest, RawValuesMatchOnlyExactly)
{
    for (const char* raw : {"FollowApp", "follow_app", "Solid", "", "accent ", "Accent color"})
        EXPECT_FALSE(fromRawValue<SurfaceOption>(raw)) << raw;
    for (const char* raw : {"System", "Celsius", "kelvin"})
        EXPECT_FALSE(fromRawValue<TempUnitOption>(raw)) << raw;
    // Stored records read them the same way.
    EXPECT_EQ(decodeJson<SurfaceOption>("\"glass\""), SurfaceOption::glass);
    EXPECT_FALSE(decodeJson<SurfaceOption>("\"Glass\""));
}

TEST(SurfaceConfigIntentTest, OneBackgroundParameterDefaultingToFollowApp)
{
    const IntentDescription d = describeIntent<SurfaceConfigIntent>(true);
    EXPECT_EQ(d.title, "Widget Options");
    ASSERT_EQ(d.parameters.size(), 1u);
    EXPECT_EQ(d.parameters[0].name, "surface");
    EXPECT_EQ(d.parameters[0].title, "Background");
    EXPECT_EQ(d.parameters[0].valueTypeTitle, "Background");
    EXPECT_EQ(d.parameters[0].defaultValue, QJsonValue("followApp"));
    EXPECT_EQ(d.parameters[0].cases.size(), 4u);

    EXPECT_EQ(configurationFrom<SurfaceConfigIntent>({}).surface, SurfaceOption::followApp);
    EXPECT_EQ(configurationFrom<SurfaceConfigIntent>({{"surface", "accent"}}).surface, SurfaceOption::accent);
    EXPECT_EQ(configurationFrom<SurfaceConfigIntent>({{"surface", "Accent"}}).surface, SurfaceOption::followApp);
}

TEST(VelkEntryTest, HostSeesTheSurfaceByItsRawValue)
{
    const timeline::AnyEntry entry(VelkEntry<std::optional<qint64>>{Date(60), 5, SurfaceOption::accent});
    EXPECT_EQ(entry.toJson(), (QJsonObject{{"date", 60}, {"data", 5}, {"surface", "accent"}}));
    // Clock entries carry their configuration as data.
    const timeline::AnyEntry clock(
        VelkEntry<SurfaceConfigIntent>{Date(0), {SurfaceOption::glass}, SurfaceOption::glass});
    EXPECT_EQ(clock.data(), QJsonValue(QJsonObject{{"surface", "glass"}}));
}
