#include "shared/look/ThemeStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <vector>

using namespace velk;
using Surface = ThemeSettings::SurfaceStyle;

namespace {

// The stored document as a JSON object: readers do not depend on member order.
QJsonObject stored(const std::optional<QByteArray>& bytes)
{
    if (!bytes) return {{"absent", true}};
    return QJsonDocument::fromJson(*bytes).object();
}

QJsonObject document(const char* themeID, const char* surface)
{
    return {{"themeID", themeID}, {"surface", surface}};
}

// Each test starts with nothing stored under the theme key of the shared suite (the test main
// gives the binary its own private data folder).
class ThemeStoreTest : public ::testing::Test {
protected:
    void SetUp() override { suite().remove(ThemeStore::kKey); }
    static Defaults suite() { return Defaults::shared(); }
};

} // namespace

TEST(ThemeSettingsCoding, WritesExactlyTheTwoMembers)
{
    const ThemeSettings teal{QStringLiteral("teal"), Surface::glass};
    EXPECT_EQ(stored(encodeJson(teal)), document("teal", "glass"));
    EXPECT_EQ(decodeJson<ThemeSettings>(*encodeJson(teal)), teal);
}

TEST(ThemeSettingsCoding, SurfaceRawValuesAreExact)
{
    for (Surface s : kAllSurfaceStyles)
        EXPECT_EQ(surfaceStyleFromRawValue(rawValue(s)), s);
    EXPECT_EQ(rawValue(Surface::accent), QStringLiteral("accent"));
    for (const char* bad : {"SOLID", "Glass", "", " accent", "amber"})
        EXPECT_EQ(surfaceStyleFromRawValue(QString::fromLatin1(bad)), std::nullopt) << bad;
}

TEST_F(ThemeStoreTest, ReadsWhatIsStoredOrTheWholeDefault)
{
    const ThemeSettings fallback{QStringLiteral("macdark"), Surface::solid};
    EXPECT_EQ(ThemeStore::current(), fallback) << "nothing stored";

    struct Case {
        const char* stored;
        ThemeSettings expected;
    };
    const Case cases[] = {
        {R"({"themeID":"paper","surface":"accent"})", {QStringLiteral("paper"), Surface::accent}},
        {R"({"surface":"glass","themeID":"green","extra":1})", {QStringLiteral("green"), Surface::glass}},
        // An unknown id is kept; the theme lookup draws it as macdark.
        {R"({"themeID":"nosuchtheme","surface":"glass"})", {QStringLiteral("nosuchtheme"), Surface::glass}},
        // Anything unusable gives the full default, never a half-read value.
        {R"({"themeID":"paper"})", fallback},
        {R"({"themeID":"paper","surface":"SOLID"})", fallback},
        {R"({"themeID":"paper","surface":"amber"})", fallback},
        {R"({"themeID":"paper","surface":null})", fallback},
        {R"({"themeID":7,"surface":"glass"})", fallback},
        {R"({"surface":"glass"})", fallback},
        {R"(["paper","glass"])", fallback},
        {R"("paper")", fallback},
        {R"({"themeID":"paper","surface":"glass")", fallback},
        {"not json at all", fallback},
        {"", fallback},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        suite().setData(ThemeStore::kKey, QByteArray(c.stored));
        EXPECT_EQ(ThemeStore::current(), c.expected);
        // A bad value is only ignored, never cleared: the app's next save replaces it.
        EXPECT_EQ(suite().data(ThemeStore::kKey), QByteArray(c.stored));
    }
}

TEST_F(ThemeStoreTest, AValueThatIsNotDataReadsAsTheDefault)
{
    suite().setString(ThemeStore::kKey, QStringLiteral(R"({"themeID":"paper","surface":"glass"})"));
    EXPECT_EQ(ThemeStore::current(), ThemeSettings::defaultValue());
    suite().setInteger(ThemeStore::kKey, 3);
    EXPECT_EQ(ThemeStore::current(), ThemeSettings::defaultValue());
}

TEST_F(ThemeStoreTest, SaveReplacesTheWholeDocumentAndIsReadAtOnce)
{
    suite().setData(ThemeStore::kKey, QByteArray("{broken"));
    ThemeStore::save({QStringLiteral("teal"), Surface::glass});
    EXPECT_EQ(stored(suite().data(ThemeStore::kKey)), document("teal", "glass"));
    EXPECT_EQ(*suite().data(ThemeStore::kKey), QByteArray(R"({"themeID":"teal","surface":"glass"})"));
    EXPECT_EQ(suite().kind(ThemeStore::kKey), Defaults::Kind::data);
    EXPECT_EQ(ThemeStore::current(), (ThemeSettings{QStringLiteral("teal"), Surface::glass}));

    // Nothing is cached: a write by someone else shows on the next read.
    suite().setData(ThemeStore::kKey, QByteArray(R"({"themeID":"mono","surface":"accent"})"));
    EXPECT_EQ(ThemeStore::current(), (ThemeSettings{QStringLiteral("mono"), Surface::accent}));
}

TEST_F(ThemeStoreTest, TheAppStoreStartsFromTheSuiteAndWritesEveryAssignment)
{
    suite().setData(ThemeStore::kKey, QByteArray("corrupt"));
    ThemeStore store;
    EXPECT_EQ(store.settings(), ThemeSettings::defaultValue());

    std::vector<ThemeSettings> announced;
    QObject::connect(&store, &ThemeStore::settingsChanged,
                     [&announced](const ThemeSettings& s) { announced.push_back(s); });
    // Applying the unchanged default still announces and writes it, replacing the bad value.
    store.setSettings(ThemeSettings::defaultValue());
    ASSERT_EQ(announced.size(), 1u);
    EXPECT_EQ(stored(suite().data(ThemeStore::kKey)), document("macdark", "solid"));

    const ThemeSettings paper{QStringLiteral("paper"), Surface::accent};
    store.setSettings(paper);
    ASSERT_EQ(announced.size(), 2u);
    EXPECT_EQ(announced.back(), paper);
    EXPECT_EQ(store.settings(), paper);
    EXPECT_EQ(ThemeStore::current(), paper);
}

TEST_F(ThemeStoreTest, AnInjectedSuiteIsUsedForReadingAndWriting)
{
    auto other = Defaults::suite(QStringLiteral("velk.test.themes"));
    ASSERT_TRUE(other);
    ThemeStore::save({QStringLiteral("ice"), Surface::solid}, *other);
    ThemeStore store(*other);
    EXPECT_EQ(store.settings().themeID, QStringLiteral("ice"));
    store.setSettings({QStringLiteral("amber"), Surface::glass});
    EXPECT_EQ(ThemeStore::current(*other).themeID, QStringLiteral("amber"));
    EXPECT_FALSE(suite().contains(ThemeStore::kKey)) << "the shared suite is untouched";
}
