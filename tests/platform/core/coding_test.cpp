#include "platform/core/Coding.h"
#include <gtest/gtest.h>

namespace {
enum class Tone { dark, light };
VELK_ENUM_STRINGS(Tone, {Tone::dark, "dark"}, {Tone::light, "light"})

struct Inner {
    qint64 n = 0;
    VELK_FIELDS(Inner, n)
    bool operator==(const Inner&) const = default;
};
struct Outer {
    QString name;
    std::optional<QString> note;
    double x = 0;
    velk::Date when;
    QUuid id;
    Tone tone = Tone::dark;
    std::vector<Inner> items;
    std::optional<Inner> next;
    std::set<QString> tags;
    VELK_FIELDS(Outer, name, note, x, when, id, tone, items, next, tags)
    bool operator==(const Outer&) const = default;
};
} // namespace

using velk::decodeJson;
using velk::encodeJson;

TEST(Coding, RoundTripAndOptionalKeysLeftOut)
{
    Outer o{"a",        std::nullopt, 1.5,  velk::Date(12.25), QUuid::createUuid(), Tone::light,
            {{1}, {2}}, std::nullopt, {"x"}};
    const QByteArray bytes = *encodeJson(o);
    EXPECT_FALSE(bytes.contains("note"));
    EXPECT_FALSE(bytes.contains("next"));
    EXPECT_TRUE(bytes.contains(o.id.toString(QUuid::WithoutBraces).toUpper().toUtf8()));
    EXPECT_EQ(decodeJson<Outer>(bytes), o);
}

TEST(Coding, RejectsMissingNullWrongTypeAndFractions)
{
    const QByteArray base =
        R"({"name":"a","x":1,"when":0,"id":"6F9619FF-8B86-D011-B42D-00C04FC964FF","tone":"dark","items":[{"n":1}],"tags":[],"extra":true,"note":null})";
    ASSERT_TRUE(decodeJson<Outer>(base));
    EXPECT_FALSE(decodeJson<Outer>(QByteArray(base).replace(R"("name":"a",)", "")));
    EXPECT_FALSE(decodeJson<Outer>(QByteArray(base).replace(R"("name":"a")", R"("name":null)")));
    EXPECT_FALSE(decodeJson<Outer>(QByteArray(base).replace(R"("x":1)", R"("x":"1")")));
    EXPECT_FALSE(decodeJson<Outer>(QByteArray(base).replace(R"({"n":1})", R"({"n":1.5})")));
    EXPECT_FALSE(decodeJson<Outer>(QByteArray(base).replace(R"("dark")", R"("dim")")));
    EXPECT_FALSE(decodeJson<Outer>("{not json"));
    EXPECT_TRUE(decodeJson<Inner>(R"({"n":2.0})"));
}

TEST(Coding, NanCannotBeEncoded)
{
    Outer o;
    o.x = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(encodeJson(o));
}

TEST(Coding, MembersAreWrittenInFieldOrderAndTextIsEscaped)
{
    Outer o{"a\"b\\c\n\x01é",
            std::nullopt,
            0.1,
            velk::Date(-2.5),
            QUuid(),
            Tone::dark,
            {{-3}},
            Inner{9007199254740993},
            {}};
    const QByteArray bytes = *encodeJson(o);
    EXPECT_EQ(
        bytes,
        R"({"name":"a\"b\\c\n\u0001é","x":0.1,"when":-2.5,"id":"00000000-0000-0000-0000-000000000000","tone":"dark","items":[{"n":-3}],"next":{"n":9007199254740993},"tags":[]})");
    EXPECT_EQ(decodeJson<Outer>(bytes), o);
}
