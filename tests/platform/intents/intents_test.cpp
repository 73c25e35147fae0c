#include "platform/intents/IntentRegistry.h"

#include <QJsonArray>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::intents;

namespace {

enum class Speed { slow, fast };
VELK_APP_ENUM(Speed, "Speed", {Speed::slow, "slow", "Take it easy"}, {Speed::fast, "fast", "Hurry"})

struct FruitQuery;
struct FruitEntity {
    static constexpr const char* typeDisplayName = "Fruit";
    using Query = FruitQuery;
    QString id;
    QString displayTitle() const { return id.toUpper(); }
    friend bool operator==(const FruitEntity&, const FruitEntity&) = default;
};
struct FruitQuery {
    static QStringList all() { return {"apple", "apricot", "banana", "cherry"}; }
    std::vector<FruitEntity> entitiesFor(const QStringList& ids) const
    {
        std::vector<FruitEntity> out;
        for (const auto& id : ids)
            out.push_back({id});
        return out;
    }
    std::vector<FruitEntity> entitiesMatching(const QString& text) const
    {
        std::vector<FruitEntity> out;
        for (const auto& f : all())
            if (!text.isEmpty() && f.contains(text, Qt::CaseInsensitive)) out.push_back({f});
        return out;
    }
    std::vector<FruitEntity> suggestedEntities() const { return entitiesFor(all().mid(0, 2)); }
    std::optional<FruitEntity> defaultResult() const { return FruitEntity{"banana"}; }
};

// An action that records what it was run with.
struct LogIntent {
    static constexpr const char* typeName = "LogIntent";
    static constexpr const char* title = "Log Something";
    static inline std::vector<std::tuple<QString, qint64, Speed>> runs;

    QString label;
    qint64 amount = 1000;
    Speed speed = Speed::slow;

    static auto parameters()
    {
        return std::make_tuple(parameter("label", "Label", &LogIntent::label),
                               parameter("amount", "Amount", &LogIntent::amount),
                               parameter("speed", "Speed", &LogIntent::speed));
    }
    void perform() const { runs.emplace_back(label, amount, speed); }
};

struct PickConfigIntent {
    static constexpr const char* typeName = "PickConfigIntent";
    static constexpr const char* title = "Pick Options";

    std::optional<FruitEntity> fruit;
    std::optional<Date> when;
    Speed speed = Speed::slow;
    QString name = QStringLiteral("Launch");

    static auto parameters()
    {
        return std::make_tuple(
            parameter("fruit", "Fruit", &PickConfigIntent::fruit), parameter("when", "Date", &PickConfigIntent::when),
            parameter("speed", "Speed", &PickConfigIntent::speed), parameter("name", "Title", &PickConfigIntent::name));
    }
    friend bool operator==(const PickConfigIntent&, const PickConfigIntent&) = default;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        LogIntent::runs.clear();
        registry.registerAction<LogIntent>();
        registry.registerConfiguration<PickConfigIntent>();
    }
    IntentRegistry registry;
};

} // namespace

TEST_F(RegistryTest, RunsAnActionByTypeNameWithParametersFromJson)
{
    const auto r = registry.run("LogIntent", QJsonObject{{"label", "water"}, {"speed", "fast"}});
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    // A parameter left out keeps its default.
    ASSERT_EQ(LogIntent::runs.size(), 1u);
    EXPECT_EQ(LogIntent::runs[0], std::make_tuple(QString("water"), qint64(1000), Speed::fast));
}

TEST_F(RegistryTest, RefusesWhatItCannotRunWithAReasonAndRunsNothing)
{
    struct Case {
        const char* type;
        QJsonObject params;
        const char* errorMentions;
    };
    const Case cases[] = {
        {"NoSuchIntent", {}, "NoSuchIntent"},        {"PickConfigIntent", {}, "configuration"},
        {"LogIntent", {{"amount", 2.5}}, "amount"},  {"LogIntent", {{"amount", "12"}}, "amount"},
        {"LogIntent", {{"speed", "Fast"}}, "speed"}, {"LogIntent", {{"label", QJsonValue::Null}}, "label"},
    };
    for (const auto& c : cases) {
        const auto r = registry.run(c.type, c.params);
        EXPECT_FALSE(r.ok) << c.type;
        EXPECT_TRUE(r.error.contains(c.errorMentions)) << r.error.toStdString();
    }
    EXPECT_TRUE(LogIntent::runs.empty());
}

TEST_F(RegistryTest, DescribesParametersWithTitlesTypesAndDefaults)
{
    const auto d = registry.description("PickConfigIntent");
    ASSERT_TRUE(d);
    EXPECT_EQ(d->title, "Pick Options");
    EXPECT_TRUE(d->configuration);
    ASSERT_EQ(d->parameters.size(), 4u);
    const auto& fruit = d->parameters[0];
    EXPECT_EQ(fruit.type, "entity");
    EXPECT_TRUE(fruit.optional);
    EXPECT_TRUE(fruit.defaultValue.isNull());
    EXPECT_EQ(fruit.valueTypeTitle, "Fruit");
    ASSERT_TRUE(fruit.entityQuery);
    EXPECT_EQ(d->parameters[1].type, "date");
    const auto& speed = d->parameters[2];
    EXPECT_EQ(speed.type, "enum");
    EXPECT_FALSE(speed.optional);
    EXPECT_EQ(speed.defaultValue, QJsonValue("slow"));
    ASSERT_EQ(speed.cases.size(), 2u);
    EXPECT_EQ(speed.cases[1].raw, "fast");
    EXPECT_EQ(speed.cases[1].title, "Hurry");
    EXPECT_EQ(d->parameters[3].title, "Title");
    EXPECT_EQ(d->parameters[3].defaultValue, QJsonValue("Launch"));
    EXPECT_EQ(d->toJson()["parameters"].toArray().size(), 4);
    EXPECT_FALSE(registry.description("LogIntent")->configuration);
    EXPECT_EQ(registry.typeNames(), QStringList({"LogIntent", "PickConfigIntent"}));
}

TEST(ConfigurationTest, ValuesRoundTripThroughJson)
{
    PickConfigIntent chosen;
    chosen.fruit = FruitEntity{"cherry"};
    chosen.when = Date(7.5e8);
    chosen.speed = Speed::fast;
    chosen.name = "Trip";
    const QJsonObject stored = parameterValues(chosen);
    EXPECT_EQ(stored["fruit"], QJsonValue("cherry"));
    EXPECT_EQ(stored["speed"], QJsonValue("fast"));
    EXPECT_EQ(configurationFrom<PickConfigIntent>(stored), chosen);

    // Unset optionals are stored as null and read back unset.
    const QJsonObject fresh = parameterValues(PickConfigIntent{});
    EXPECT_TRUE(fresh["fruit"].isNull());
    EXPECT_EQ(configurationFrom<PickConfigIntent>(fresh), PickConfigIntent{});
    // And as part of a record or an entry, through the record coder.
    EXPECT_EQ(decodeJson<PickConfigIntent>(*encodeJson(chosen)), chosen);
}

TEST_F(RegistryTest, OneBadStoredValueCostsOnlyThatParameter)
{
    const QJsonObject stored{{"fruit", "apple"}, {"speed", "warp"}, {"name", 12}, {"when", "soon"}, {"extra", 1}};
    const PickConfigIntent c = configurationFrom<PickConfigIntent>(stored);
    EXPECT_EQ(c.fruit, FruitEntity{"apple"});
    EXPECT_EQ(c.speed, Speed::slow);
    EXPECT_EQ(c.name, "Launch");
    EXPECT_FALSE(c.when);
    const auto effective = registry.configuration("PickConfigIntent", stored);
    ASSERT_TRUE(effective);
    EXPECT_EQ(*effective,
              (QJsonObject{{"fruit", "apple"}, {"when", QJsonValue::Null}, {"speed", "slow"}, {"name", "Launch"}}));
    EXPECT_FALSE(registry.configuration("LogIntent", stored));
}

TEST(AppEnumTest, TitlesAndExactRawValues)
{
    EXPECT_EQ(typeDisplayName<Speed>(), "Speed");
    EXPECT_EQ(allCases<Speed>(), (std::vector<Speed>{Speed::slow, Speed::fast}));
    EXPECT_EQ(caseTitle(Speed::fast), "Hurry");
    EXPECT_EQ(rawValue(Speed::fast), "fast");
    EXPECT_EQ(fromRawValue<Speed>("fast"), Speed::fast);
    for (const char* bad : {"Fast", "", "fast ", "hurry"})
        EXPECT_FALSE(fromRawValue<Speed>(bad)) << bad;
}

TEST(EntityQueryTest, TypeErasedQueryGivesIdsAndTitles)
{
    const auto q = entityQuery<FruitEntity>();
    EXPECT_EQ(q->typeDisplayName(), "Fruit");
    EXPECT_EQ(q->entitiesFor({"kiwi", "kiwi"}), (std::vector<EntityOption>{{"kiwi", "KIWI"}, {"kiwi", "KIWI"}}));
    EXPECT_EQ(q->entitiesMatching("AP"), (std::vector<EntityOption>{{"apple", "APPLE"}, {"apricot", "APRICOT"}}));
    EXPECT_TRUE(q->entitiesMatching("").empty());
    EXPECT_EQ(q->suggestedEntities().size(), 2u);
    EXPECT_EQ(q->defaultResult(), (EntityOption{"banana", "BANANA"}));
}
