#include "shared/data/config/TimeZoneEntity.h"

#include "platform/core/Locale.h"

#include <gtest/gtest.h>

using namespace velk;

namespace {

QStringList ids(const std::vector<TimeZoneEntity>& entities)
{
    QStringList out;
    for (const auto& e : entities)
        out.append(e.id);
    return out;
}

} // namespace

TEST(TimeZoneEntityTest, CityNameIsTheLastPieceWithSpaces)
{
    const std::pair<QString, QString> cases[] = {
        {"America/New_York", "New York"},
        {"America/Argentina/Buenos_Aires", "Buenos Aires"},
        {"Asia/Ho_Chi_Minh", "Ho Chi Minh"},
        {"UTC", "UTC"},
        {"Europe/Paris/", "Paris"},
        {"", ""},
        {"//", "//"},
        {"Mars/Base", "Base"},
    };
    for (const auto& [id, city] : cases) {
        EXPECT_EQ(cityName(id), city) << id.toStdString();
        EXPECT_EQ(TimeZoneEntity{id}.displayTitle(), city);
    }
}

TEST(TimeZoneEntityTest, LookupCopiesIdentifiersUnchecked)
{
    const TimeZoneQuery query;
    EXPECT_EQ(ids(query.entitiesFor({"Mars/Base", "Europe/Paris", "Mars/Base"})),
              QStringList({"Mars/Base", "Europe/Paris", "Mars/Base"}));
    TimeZonePin zone("Asia/Tokyo");
    // An unknown zone is read as the current one.
    EXPECT_EQ(TimeZoneEntity{"Mars/Base"}.timeZone().identifier(), "Asia/Tokyo");
    EXPECT_EQ(TimeZoneEntity{"Europe/Paris"}.timeZone().identifier(), "Europe/Paris");
    EXPECT_EQ(query.defaultResult(), TimeZoneEntity{"Asia/Tokyo"});

    const auto editor = intents::entityQuery<TimeZoneEntity>();
    EXPECT_EQ(editor->typeDisplayName(), "City");
    EXPECT_EQ(editor->entitiesFor({"America/New_York"}),
              (std::vector<intents::EntityOption>{{"America/New_York", "New York"}}));
}

TEST(TimeZoneEntityTest, SearchLooksAtCityNamesOnly)
{
    const TimeZoneQuery query;
    struct Case {
        QString text;
        QStringList expected;
    };
    for (const Case& c : {
             Case{"york", {"America/New_York"}},
             Case{"YORK", {"America/New_York"}},
             Case{"new y", {"America/New_York"}},
             Case{"new_y", {}},
             Case{"europe", {}},
             Case{"", {}},
             Case{"buenos", {"America/Argentina/Buenos_Aires"}},
         })
        EXPECT_EQ(ids(query.entitiesMatching(c.text)), c.expected) << c.text.toStdString();
}

TEST(TimeZoneEntityTest, SearchKeepsTheFirstTwelveInListOrder)
{
    QStringList list;
    for (int i = 0; i < 20; ++i)
        list.append(QStringLiteral("Zone/City_%1").arg(i, 2, 10, QLatin1Char('0')));
    list.insert(3, "Zone/Other");
    EXPECT_EQ(ids(TimeZoneQuery::search(list, "city")), QStringList(list.mid(0, 3) + list.mid(4, 9)));

    // On the platform's list too: exactly twelve, in its order.
    const QStringList known = TimeZone::knownTimeZoneIdentifiers();
    QStringList expected;
    for (const QString& id : known)
        if (expected.size() < 12 && cityName(id).contains('a', Qt::CaseInsensitive)) expected.append(id);
    EXPECT_EQ(ids(TimeZoneQuery().entitiesMatching("A")), expected);
}

TEST(TimeZoneEntityTest, SuggestionsPutAnUnlistedCurrentZoneFirst)
{
    const QStringList& table = TimeZoneQuery::suggestedIdentifiers();
    ASSERT_EQ(table.size(), 20);
    struct Case {
        QString current;
        QStringList expected;
    };
    for (const Case& c : {
             Case{"Asia/Tokyo", table}, Case{"Europe/Oslo", QStringList{"Europe/Oslo"} + table},
             Case{"Asia/Calcutta", QStringList{"Asia/Calcutta"} + table}, // an alias is other text
         }) {
        TimeZonePin zone(c.current);
        EXPECT_EQ(ids(TimeZoneQuery().suggestedEntities()), c.expected) << c.current.toStdString();
    }
    EXPECT_EQ(table.at(9), "Asia/Tokyo");
}
