// The clock faces read through the inspected tree: hand angles, ticks and dots, digits,
// captions, the hour bar and the day/night rules.
#include "ClockTestSupport.h"

#include "shared/look/Theme.h"
#include "widgets/time/AnalogFaces.h"
#include "widgets/time/DotDialFace.h"
#include "widgets/time/DualClockFace.h"
#include "widgets/time/MatrixFaces.h"
#include "widgets/time/WorldClockFace.h"

#include <QJsonArray>

using namespace velk;
using namespace velk::testing;

namespace {

class ClockFaces : public ClockTest {};

const QSizeF kSmall{160, 160}, kMedium{344, 160};

std::vector<double> degreesOf(const QJsonObject& tree)
{
    std::vector<double> out;
    for (const QJsonObject& r : nodesOfKind(tree, "rotationEffect"))
        out.push_back(r["degrees"].toDouble());
    return out;
}

// The last three rotations of a dial are its hour, minute and accent hands.
std::array<double, 3> handAngles(const QJsonObject& tree)
{
    const std::vector<double> d = degreesOf(tree);
    EXPECT_GE(d.size(), 3u);
    if (d.size() < 3) return {};
    return {d[d.size() - 3], d[d.size() - 2], d[d.size() - 1]};
}

QJsonObject firstOf(const QJsonObject& tree, const char* kind)
{
    const auto nodes = nodesOfKind(tree, QString::fromLatin1(kind));
    return nodes.empty() ? QJsonObject{} : nodes.front();
}

TEST_F(ClockFaces, AnalogClassicDialTicksAndHands)
{
    const WCtx ctx = solidContext("green", 1.5);
    const Date at = utc("2026-12-09T10:09:00");
    const QJsonObject tree = inspectAt(ClockAnalogClassic{at, TimeZone::utc(), std::nullopt, false, ctx}, kSmall * 1.5);
    EXPECT_EQ(frameOf(tree).size(), QSizeF(183, 183)); // 122 at u = 1.5
    const auto rectangles = nodesOfKind(tree, "Rectangle");
    ASSERT_EQ(rectangles.size(), 72u);
    EXPECT_EQ(frameOf(rectangles[0]).size(), QSizeF(2.5 * 1.5, 12 * 1.5));
    EXPECT_EQ(rectangles[0]["fill"].toString(), ctx.pal.ink.hex());
    EXPECT_EQ(frameOf(rectangles[12]).size(), QSizeF(1 * 1.5, 7 * 1.5));
    EXPECT_EQ(rectangles[12]["fill"].toString(), ctx.pal.inkFaint.hex());
    // A tick is lifted so that its outer end touches the dial's edge, then turned into place.
    const std::vector<double> d = degreesOf(tree);
    EXPECT_DOUBLE_EQ(d[3], 90);
    EXPECT_DOUBLE_EQ(d[12 + 15], 90);
    const auto offsets = nodesOfKind(tree, "offset");
    EXPECT_DOUBLE_EQ(offsets[0]["offset"].toObject()["y"].toDouble(), -(61 - 6) * 1.5);
    EXPECT_DOUBLE_EQ(offsets[12]["offset"].toObject()["y"].toDouble(), -(61 - 3.5) * 1.5);
    EXPECT_TRUE(textsOf(tree).isEmpty());

    const auto hands = handAngles(tree);
    EXPECT_DOUBLE_EQ(hands[0], 304.5);
    EXPECT_DOUBLE_EQ(hands[1], 54);
    EXPECT_DOUBLE_EQ(hands[2], 204);
    EXPECT_DOUBLE_EQ(handAngles(inspectAt(ClockAnalogClassic{at, TimeZone::utc(), 15.0, false, ctx}, kSmall))[2], 90);

    // The cap ring stays the fixed near-black in light and dark themes alike, round an accent cap.
    for (bool dark : {true, false}) {
        const WCtx c = solidContext("macos", 1, dark);
        const auto circles =
            nodesOfKind(inspectAt(ClockAnalogClassic{at, TimeZone::utc(), std::nullopt, false, c}, kSmall), "Circle");
        ASSERT_EQ(circles.size(), 2u);
        EXPECT_EQ(circles[0]["fill"].toString(), c.pal.accent.hex());
        EXPECT_EQ(circles[1]["stroke"].toString(), VelkTokens::ink.hex());
    }
}

TEST_F(ClockFaces, AnalogMinimalDotsAndPlainCap)
{
    const Date at = utc("2026-12-09T10:09:00");
    for (bool dark : {true, false}) {
        const WCtx ctx = solidContext("macos", 1, dark);
        const QJsonObject tree = inspectAt(ClockAnalogMinimal{at, TimeZone::utc(), 15.0, false, ctx}, kSmall);
        const auto circles = nodesOfKind(tree, "Circle");
        ASSERT_EQ(circles.size(), 5u); // four dots and the cap, no ring
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(circles[size_t(i)]["fill"].toString(), "#4C4C4C");
            EXPECT_EQ(frameOf(circles[size_t(i)]).size(), QSizeF(5, 5));
        }
        EXPECT_EQ(circles[4]["fill"].toString(), ctx.pal.accent.hex());
        EXPECT_FALSE(circles[4].contains("stroke"));
        EXPECT_EQ(degreesOf(tree).front(), 0);
        EXPECT_EQ(nodesOfKind(tree, "offset").front()["offset"].toObject()["y"].toDouble(), -58.5);
        // The accent hand has no length, whatever the seconds.
        const auto bars = nodesOfKind(tree, "RoundedRectangle");
        ASSERT_EQ(bars.size(), 3u);
        EXPECT_EQ(frameOf(bars[2]).size(), QSizeF(0, 0));
    }
}

TEST_F(ClockFaces, HybridReadoutSitsAboveTheCentreUnderTheHands)
{
    const Date at = utc("2026-12-09T09:00:00");
    const WCtx ctx = solidContext();
    for (int format : {12, 24}) {
        setTimeFormat(format);
        for (const QJsonObject& tree :
             {inspectAt(ClockAnalogClassic{at, zone("Asia/Kolkata"), std::nullopt, true, ctx}, kSmall),
              inspectAt(ClockAnalogMinimal{at, zone("Asia/Kolkata"), std::nullopt, true, ctx}, kSmall)}) {
            EXPECT_EQ(textsOf(tree), QStringList{format == 12 ? "2:30" : "14:30"});
            const QJsonObject text = firstOf(tree, "Text");
            EXPECT_EQ(text["font"].toObject()["size"].toDouble(), 15);
            EXPECT_EQ(text["font"].toObject()["weight"].toString(), "bold");
            EXPECT_EQ(text["minimumScaleFactor"].toDouble(), 0.55);
            const auto offsets = nodesOfKind(tree, "offset");
            // The readout's lift comes after the dial marks and before the hands.
            const auto it = std::find_if(offsets.begin(), offsets.end(),
                                         [](const QJsonObject& o) { return !nodesOfKind(o, "Text").empty(); });
            ASSERT_NE(it, offsets.end());
            EXPECT_EQ((*it)["offset"].toObject()["y"].toDouble(), -27);
            const auto hands = handAngles(tree);
            EXPECT_DOUBLE_EQ(hands[0], 75); // 14:30 on a 12-hour dial
            EXPECT_DOUBLE_EQ(hands[1], 180);
        }
    }
}

TEST_F(ClockFaces, TimeTextShrinksAndNeverWraps)
{
    const QJsonObject text = firstOf(inspectAt(TimeText{utc("2026-12-09T22:09:00"), TimeZone::utc(), 64,
                                                        Color::white(1), view::Weight::black, solidContext()},
                                               {120, 100}),
                                     "Text");
    EXPECT_EQ(text["text"].toString(), "22:09");
    EXPECT_EQ(text["lineLimit"].toInt(), 1);
    EXPECT_GE(text["fontScale"].toDouble(), 0.55);
    EXPECT_LT(text["fontScale"].toDouble(), 1);
}

TEST_F(ClockFaces, MatrixSmallShowsThePlaceTimeAndDateOfTheZone)
{
    const WCtx ctx = solidContext();
    const Date at = utc("2026-12-09T23:30:00");
    struct Case {
        const char* zone;
        std::optional<QString> place;
        QStringList texts;
    };
    // The time is the zone's, the date line the desktop's own day (UTC here).
    for (const Case& c : {Case{"Asia/Tokyo", QStringLiteral("Los Angeles"), {"LOS ANGELES", "08:30", "WED, DEC 9"}},
                          Case{"Asia/Tokyo", std::nullopt, {"TOKYO", "08:30", "WED, DEC 9"}},
                          Case{"America/Argentina/Buenos_Aires", std::nullopt, {"BUENOS AIRES", "20:30", "WED, DEC 9"}},
                          Case{"UTC", std::nullopt, {"UTC", "23:30", "WED, DEC 9"}}}) {
        const QJsonObject tree = inspectAt(ClockMatrixSmall{at, zone(c.zone), c.place, ctx}, kSmall);
        EXPECT_EQ(textsOf(tree), c.texts) << c.zone;
    }
    LocalePin german{QStringLiteral("de_DE")};
    EXPECT_EQ(ClockMatrixSmall({at, TimeZone::utc(), std::nullopt, ctx}).shortDate(), "Mi., 9. Dez.");
    // A desktop in Tokyo reads Thursday whatever zone the face shows.
    TimeZonePin tokyoDesktop{QStringLiteral("Asia/Tokyo")};
    EXPECT_EQ(ClockMatrixSmall({at, zone("America/New_York"), std::nullopt, ctx}).shortDate(), "Do., 10. Dez.");
}

TEST_F(ClockFaces, StackedDigitsAndSidewaysOffset)
{
    const WCtx ctx = solidContext();
    struct Case {
        int format;
        const char* at;
        const char* zone;
        QStringList texts;
    };
    for (const Case& c : {Case{12, "2026-12-09T09:05:00", "UTC", {"9", "05", "GMT+0"}},
                          Case{24, "2026-12-09T09:05:00", "UTC", {"09", "05", "GMT+0"}},
                          Case{12, "2026-12-09T21:05:00", "UTC", {"9", "05", "GMT+0"}},
                          Case{24, "2026-12-09T09:05:00", "Asia/Kolkata", {"14", "35", "GMT+5:30"}},
                          Case{24, "2026-12-09T09:05:00", "Europe/London", {"09", "05", "GMT+0"}}}) {
        setTimeFormat(c.format);
        const QJsonObject tree = inspectAt(ClockStacked{utc(c.at), zone(c.zone), ctx}, kSmall);
        EXPECT_EQ(textsOf(tree), c.texts) << c.at << " " << c.zone;
    }
    const QJsonObject tree = inspectAt(ClockStacked{utc("2026-12-09T09:05:00"), TimeZone::utc(), ctx}, kSmall);
    const auto texts = nodesOfKind(tree, "Text");
    EXPECT_EQ(texts[0]["foreground"].toString(), ctx.pal.ink.hex());
    EXPECT_EQ(texts[1]["foreground"].toString(), ctx.pal.inkFaint.hex());
    EXPECT_EQ(frameOf(texts[0]).left(), 30);
    EXPECT_EQ(degreesOf(tree), std::vector<double>{90});
    // Unrotated, the label's box ends 10 from the trailing edge, centred vertically.
    const QRectF label = frameOf(texts[2]);
    EXPECT_NEAR(label.right(), 150, 0.01);
    EXPECT_NEAR(label.center().y(), 80, 0.5);
}

TEST_F(ClockFaces, MatrixMediumMinuteAndHourBar)
{
    const WCtx ctx = solidContext();
    struct Case {
        const char* at;
        const char* zone;
        const char* time;
        const char* minute;
        int lit;
    };
    for (const Case& c :
         {Case{"2026-12-09T10:00:00", "UTC", "10:00", "00", 0}, Case{"2026-12-09T10:30:00", "UTC", "10:30", "30", 4},
          Case{"2026-12-09T10:59:00", "UTC", "10:59", "59", 7},
          Case{"2026-12-09T09:10:00", "Asia/Kolkata", "14:40", "40", 5}}) {
        const QJsonObject tree = inspectAt(ClockMatrixMedium{utc(c.at), zone(c.zone), ctx}, kMedium);
        const QStringList texts = textsOf(tree);
        ASSERT_EQ(texts.size(), 4);
        EXPECT_EQ(texts[0], c.time);
        EXPECT_EQ(texts[2], c.minute);
        EXPECT_EQ(texts[3], "HOUR");
        auto circles = nodesOfKind(tree, "Circle");
        circles.erase(circles.begin()); // the date caption's dot
        ASSERT_EQ(circles.size(), 7u) << c.at;
        EXPECT_EQ(std::count_if(circles.begin(), circles.end(),
                                [&](const QJsonObject& d) { return d["fill"].toString() == ctx.pal.accent.hex(); }),
                  c.lit)
            << c.at;
        // The time keeps its full size.
        EXPECT_FALSE(firstOf(tree, "Text").contains("fontScale"));
    }
    EXPECT_EQ(textsOf(inspectAt(ClockMatrixMedium{utc("2026-12-09T10:00:00"), TimeZone::utc(), ctx}, kMedium))[1],
              "WEDNESDAY, DECEMBER 9");
    // Thursday morning in Tokyo, still Wednesday on the desktop.
    const QStringList tokyo =
        textsOf(inspectAt(ClockMatrixMedium{utc("2026-12-09T23:30:00"), zone("Asia/Tokyo"), ctx}, kMedium));
    EXPECT_EQ(tokyo.value(0), "08:30");
    EXPECT_EQ(tokyo.value(1), "WEDNESDAY, DECEMBER 9");
}

TEST_F(ClockFaces, DaytimeIsSevenToNineteenInclusive)
{
    struct Case {
        const char* zone;
        const char* at;
        bool day;
    };
    // East and west of Greenwich, a half-hour offset, summer time, and a local day that is
    // still the day before in UTC.
    for (const Case& c :
         {Case{"Asia/Tokyo", "2026-12-09T10:59:00", true}, Case{"Asia/Tokyo", "2026-12-09T11:00:00", false},
          Case{"Asia/Tokyo", "2026-12-08T21:59:00", false}, Case{"Asia/Tokyo", "2026-12-08T22:00:00", true},
          Case{"America/New_York", "2026-12-09T11:59:00", false}, Case{"America/New_York", "2026-12-09T12:00:00", true},
          Case{"America/New_York", "2026-12-10T00:59:00", true}, Case{"America/New_York", "2026-12-10T01:00:00", false},
          Case{"America/New_York", "2026-07-01T10:59:00", false}, Case{"America/New_York", "2026-07-01T11:00:00", true},
          Case{"Asia/Kolkata", "2026-12-09T14:29:59", true}, Case{"Asia/Kolkata", "2026-12-09T14:30:00", false}})
        EXPECT_EQ(isDaytime(utc(c.at), zone(c.zone)), c.day) << c.zone << " " << c.at;
}

TEST_F(ClockFaces, WorldColumnsHomeDotAndNightDimming)
{
    const WCtx ctx = solidContext();
    const Date at = utc("2026-12-09T10:59:00"); // 19:59 in Tokyo and Seoul
    const std::vector<TimeZone> zones{zone("Asia/Tokyo"), zone("Asia/Tokyo"), zone("Asia/Seoul"),
                                      zone("Asia/Singapore")};
    const QJsonObject tree = inspectAt(ClockWorld{at, zones, 1, ctx}, kMedium);
    EXPECT_EQ(textsOf(tree), (QStringList{"TOKYO", "19:59", "TOKYO", "19:59", "SEOUL", "19:59"}));
    const auto texts = nodesOfKind(tree, "Text");
    EXPECT_EQ(texts[1]["foreground"].toString(), ctx.pal.ink.hex());
    // Only the middle column is flagged, though the first shows the same city.
    std::vector<QRectF> accentDots;
    for (const QJsonObject& c : nodesOfKind(tree, "Circle"))
        if (c["fill"].toString() == ctx.pal.accent.hex()) accentDots.push_back(frameOf(c));
    ASSERT_EQ(accentDots.size(), 1u);
    EXPECT_GT(accentDots[0].left(), frameOf(texts[1]).right());
    EXPECT_LT(accentDots[0].right(), frameOf(texts[5]).left());
    EXPECT_EQ(texts[2]["foreground"].toString(), ctx.pal.ink.hex());
    EXPECT_EQ(texts[0]["foreground"].toString(), ctx.pal.inkDim.hex());
    // The three columns share the row equally.
    const auto times = std::vector<QRectF>{frameOf(texts[1]), frameOf(texts[3]), frameOf(texts[5])};
    EXPECT_NEAR(times[1].center().x() - times[0].center().x(), times[2].center().x() - times[1].center().x(), 0.5);

    const QJsonObject night =
        inspectAt(ClockWorld{utc("2026-12-09T11:00:00"), {zone("Asia/Tokyo"), zone("UTC")}, 5, ctx}, kMedium);
    const auto nightTexts = nodesOfKind(night, "Text");
    EXPECT_EQ(nightTexts[1]["foreground"].toString(), ctx.pal.ink.opacity(0.55).hex());
    EXPECT_EQ(nightTexts[3]["foreground"].toString(), ctx.pal.ink.hex());
    EXPECT_EQ(textOf(nightTexts[2]), "UTC");
    // A home index outside the columns flags none: the only circles are the rule's.
    for (const QJsonObject& c : nodesOfKind(night, "Circle"))
        EXPECT_EQ(c["fill"].toString(), ctx.pal.track.hex());

    // No zones: only the rule, padded 28 from both edges.
    const QJsonObject empty = inspectAt(ClockWorld{at, {}, 0, ctx}, kMedium);
    EXPECT_TRUE(textsOf(empty).isEmpty());
    const auto dots = nodesOfKind(empty, "Circle");
    ASSERT_FALSE(dots.empty());
    EXPECT_GE(frameOf(dots.front()).left(), 28);
    EXPECT_LE(frameOf(dots.back()).right(), 344 - 28 + 12 * 0.2);
}

TEST_F(ClockFaces, DotDialNumeralsAndHands)
{
    const Date at = utc("2026-12-09T10:09:00");
    for (qreal u : {1.0, 0.5}) {
        const QJsonObject tree =
            inspectAt(ClockDotDial{at, TimeZone::utc(), std::nullopt, solidContext("green", u)}, kSmall * u);
        EXPECT_EQ(frameOf(tree).size(), QSizeF(124 * u, 124 * u));
        EXPECT_EQ(textsOf(tree), (QStringList{"12", "3", "6", "9"}));
        const auto offsets = nodesOfKind(tree, "offset");
        ASSERT_GE(offsets.size(), 4u);
        const QPointF expected[] = {{0, -52 * u}, {52 * u, 0}, {0, 52 * u}, {-52 * u, 0}};
        for (size_t i = 0; i < 4; ++i) {
            const QJsonObject o = offsets[i]["offset"].toObject();
            EXPECT_EQ(QPointF(o["x"].toDouble(), o["y"].toDouble()), expected[i]) << u;
        }
        const auto hands = handAngles(tree);
        EXPECT_DOUBLE_EQ(hands[0], 304.5);
        EXPECT_DOUBLE_EQ(hands[2], 204);
    }
    EXPECT_DOUBLE_EQ(handAngles(inspectAt(ClockDotDial{at, TimeZone::utc(), 15.0, solidContext()}, kSmall))[2], 90);
}

TEST_F(ClockFaces, DualSidesStatusAndHairline)
{
    const WCtx ctx = solidContext();
    struct Case {
        const char* at;
        const char* away;
        const char* time;
        const char* status;
        const char* label;
    };
    for (const Case& c : {Case{"2026-12-09T01:30:00", "Asia/Kolkata", "07:00", "GMT+5:30 \u00B7 DAY", "KOLKATA"},
                          Case{"2026-12-09T14:29:00", "Asia/Kolkata", "19:59", "GMT+5:30 \u00B7 DAY", "KOLKATA"},
                          Case{"2026-12-09T14:30:00", "Asia/Kolkata", "20:00", "GMT+5:30 \u00B7 NIGHT", "KOLKATA"},
                          Case{"2026-12-09T06:59:00", "UTC", "06:59", "GMT+0 \u00B7 NIGHT", "UTC"}}) {
        const QJsonObject tree = inspectAt(ClockDual{utc(c.at), TimeZone::utc(), zone(c.away), ctx}, kMedium);
        const QStringList texts = textsOf(tree);
        ASSERT_EQ(texts.size(), 6);
        EXPECT_EQ(texts[0], "HOME");
        EXPECT_EQ(texts[3], c.label);
        EXPECT_EQ(texts[4], c.time) << c.at;
        EXPECT_EQ(texts[5], c.status) << c.at;
    }
    setTimeFormat(12);
    for (qreal u : {1.0, 2.5}) {
        const QJsonObject tree =
            inspectAt(ClockDual{utc("2026-12-09T21:05:00"), TimeZone::utc(), TimeZone::utc(), solidContext("green", u)},
                      kMedium * u);
        const QStringList texts = textsOf(tree);
        EXPECT_EQ(texts[1], "9:05");
        EXPECT_EQ(texts[4], "9:05");
        // The home caption has no dot, the away one has the accent dot.
        const auto circles = nodesOfKind(tree, "Circle");
        ASSERT_EQ(circles.size(), 1u);
        EXPECT_GT(frameOf(circles[0]).left(), 172 * u);
        const auto rules = nodesOfKind(tree, "Rectangle");
        ASSERT_EQ(rules.size(), 1u);
        EXPECT_EQ(frameOf(rules[0]).width(), 1);
        EXPECT_EQ(rules[0]["fill"].toString(), solidContext("green", u).pal.hairline.hex());
        EXPECT_DOUBLE_EQ(frameOf(rules[0]).top(), 24 * u);
        // Equal sides beside the divider.
        EXPECT_NEAR(frameOf(rules[0]).center().x(), 172 * u, 0.5);
    }
}

} // namespace
