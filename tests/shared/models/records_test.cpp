// Every stored record against the one coding rule: round trip, required and optional keys,
// mistyped members, fractions in integers, unknown members, and field-by-field equality.
#include "records_fixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace velk;

namespace {

struct FieldInfo {
    QString key;
    bool optional = false;
    bool integer = false;
};

template <class T>
struct IsOpt : std::false_type {};
template <class T>
struct IsOpt<std::optional<T>> : std::true_type {};

template <class R>
std::vector<FieldInfo> fieldsOf()
{
    std::vector<FieldInfo> out;
    std::apply(
        [&](const auto&... f) {
            (
                [&] {
                    using M = std::remove_cvref_t<decltype(std::declval<R>().*(f.member))>;
                    FieldInfo info{QString::fromLatin1(f.key), IsOpt<M>::value, false};
                    if constexpr (IsOpt<M>::value)
                        info.integer = std::is_same_v<typename M::value_type, qint64>;
                    else
                        info.integer = std::is_same_v<M, qint64>;
                    out.push_back(info);
                }(),
                ...);
        },
        R::codingFields());
    return out;
}

QJsonObject objectOf(const QByteArray& bytes)
{
    return QJsonDocument::fromJson(bytes).object();
}
QByteArray bytesOf(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}

// A different value of the same JSON type, so the record still decodes but must compare unequal.
QJsonValue perturbed(const QJsonValue& v)
{
    if (v.isBool()) return !v.toBool();
    if (v.isDouble()) return v.toDouble() + 1;
    if (v.isString()) {
        QString s = v.toString();
        if (s.size() == 36 && s[8] == QLatin1Char('-')) { // a UUID: stay a valid one
            s[0] = s[0] == QLatin1Char('1') ? QLatin1Char('2') : QLatin1Char('1');
            return s;
        }
        return s + QLatin1String("x");
    }
    if (v.isArray()) {
        QJsonArray a = v.toArray();
        if (!a.isEmpty()) a.removeLast();
        return a;
    }
    QJsonObject o = v.toObject();
    const QString first = o.keys().value(0);
    o[first] = perturbed(o[first]);
    return o;
}

template <class R>
class RecordCoding : public ::testing::Test {};

using AllRecords =
    ::testing::Types<ReminderItem, RemindersSnapshot, EventItem, CalendarSnapshot, NowPlayingSnapshot, InboxSnapshot,
                     StockSnapshot, StockSnapshot::Point, AirQualitySnapshot, DaylightInfo, MoonInfo, QuoteItem,
                     SystemSnapshot, NetworkSnapshot, StorageSnapshot, StopwatchState, FocusSession, HabitItem,
                     HabitWeekRow, CounterSnapshot, WeatherSnapshot, WeatherSnapshot::Day, WeatherSnapshot::RainHour,
                     PowerSnapshot, PowerSnapshot::Device, PowerSnapshot::LogEntry, UsageSnapshot, UsageSnapshot::App,
                     UsageSnapshot::Day, NoteItem>;
TYPED_TEST_SUITE(RecordCoding, AllRecords);

TYPED_TEST(RecordCoding, FullValueRoundTripsAndWritesOnlyItsFields)
{
    const TypeParam value = fixtures::full<TypeParam>();
    const auto bytes = encodeJson(value);
    ASSERT_TRUE(bytes);
    const auto back = decodeJson<TypeParam>(*bytes);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == value) << bytes->constData();
    EXPECT_EQ(encodeJson(*back), bytes);

    QStringList keys;
    for (const FieldInfo& f : fieldsOf<TypeParam>())
        keys << f.key;
    keys.sort();
    EXPECT_EQ(objectOf(*bytes).keys(), keys) << "the fixture must fill every optional field";
}

TYPED_TEST(RecordCoding, MissingOrNullKeysFailOnlyWhenRequired)
{
    const QJsonObject full = objectOf(*encodeJson(fixtures::full<TypeParam>()));
    for (const FieldInfo& f : fieldsOf<TypeParam>()) {
        QJsonObject missing = full;
        missing.remove(f.key);
        QJsonObject null = full;
        null[f.key] = QJsonValue::Null;
        for (const QJsonObject& doc : {missing, null}) {
            const auto decoded = decodeJson<TypeParam>(bytesOf(doc));
            EXPECT_EQ(decoded.has_value(), f.optional) << f.key.toStdString() << " " << bytesOf(doc).constData();
            if (decoded && f.optional) {
                // An empty optional is left out again, not written as null.
                EXPECT_EQ(objectOf(*encodeJson(*decoded)), missing) << f.key.toStdString();
            }
        }
    }
}

TYPED_TEST(RecordCoding, MistypedMembersFailTheWholeRecord)
{
    const QJsonObject full = objectOf(*encodeJson(fixtures::full<TypeParam>()));
    EXPECT_FALSE(decodeJson<TypeParam>("[]"));
    EXPECT_FALSE(decodeJson<TypeParam>("\"text\""));
    for (const FieldInfo& f : fieldsOf<TypeParam>()) {
        QJsonObject doc = full;
        doc[f.key] = full[f.key].isString() ? QJsonValue(7) : QJsonValue(QStringLiteral("7"));
        EXPECT_FALSE(decodeJson<TypeParam>(bytesOf(doc))) << f.key.toStdString();
        if (f.integer) {
            doc[f.key] = 12.5;
            EXPECT_FALSE(decodeJson<TypeParam>(bytesOf(doc))) << f.key.toStdString() << " took a fraction";
        }
    }
}

TYPED_TEST(RecordCoding, UnknownMembersAreIgnored)
{
    const TypeParam value = fixtures::full<TypeParam>();
    QJsonObject doc = objectOf(*encodeJson(value));
    doc[QStringLiteral("addedLater")] = QJsonObject{{QStringLiteral("x"), 1}};
    doc[QStringLiteral("ID")] = QStringLiteral("keys are case-sensitive");
    const auto back = decodeJson<TypeParam>(bytesOf(doc));
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == value);
}

TYPED_TEST(RecordCoding, EveryFieldTakesPartInEquality)
{
    const TypeParam value = fixtures::full<TypeParam>();
    const QJsonObject full = objectOf(*encodeJson(value));
    for (const FieldInfo& f : fieldsOf<TypeParam>()) {
        QJsonObject doc = full;
        doc[f.key] = perturbed(full[f.key]);
        const auto other = decodeJson<TypeParam>(bytesOf(doc));
        ASSERT_TRUE(other) << f.key.toStdString();
        EXPECT_FALSE(*other == value) << f.key.toStdString();
        if (f.optional) {
            doc.remove(f.key);
            EXPECT_FALSE(*decodeJson<TypeParam>(bytesOf(doc)) == value) << f.key.toStdString() << " emptied";
        }
    }
}

} // namespace
