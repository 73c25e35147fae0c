// Captions, the check circle and the clock hands, read from the inspected tree.
#include "shared/look/Captions.h"
#include "shared/look/ClockHands.h"

#include "TreeQuery.h"
#include "WidgetContext.h"
#include "platform/core/Clock.h"

#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;
using velk::testing::frameOf;
using velk::testing::hasFlag;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::solidContext;

namespace {

const Color kInk = Color::rgb255(230, 230, 230);
const Color kDot = Color::rgb255(255, 90, 90);

class Captions : public ::testing::Test {
    ClockPin clock{Date(700000000)};
};

TEST_F(Captions, CaptionIsUpperCaseAndTrackedOutsideTheDesktopThemes)
{
    struct Case {
        const char* theme;
        qreal u;
        qreal size, tracking;
        const char* design;
    };
    for (const Case& c : {Case{"green", 1, 10, 1.2, "monospaced"}, Case{"macdark", 2, 20, 2.4, "monospaced"},
                          Case{"macosdark", 1, 10, 0, "proportional"}}) {
        const QJsonObject text =
            nodesOfKind(inspectAt(Caption{QStringLiteral("Next up straße"), 10, 0.12, kInk, solidContext(c.theme, c.u)},
                                  {300, 50}),
                        "Text")
                .at(0);
        EXPECT_EQ(text["text"].toString(), "NEXT UP STRASSE") << c.theme;
        const QJsonObject font = text["font"].toObject();
        EXPECT_EQ(font["size"].toDouble(), c.size) << c.theme;
        EXPECT_EQ(font["weight"].toString(), "medium") << c.theme;
        EXPECT_EQ(font["design"].toString(), c.design) << c.theme;
        EXPECT_DOUBLE_EQ(text["tracking"].toDouble(0), c.tracking) << c.theme;
        EXPECT_EQ(text["lineLimit"].toInt(), 1);
        EXPECT_EQ(text["foreground"].toString(), kInk.hex());
    }
}

TEST_F(Captions, DotCaptionKeepsItsDotAndGap)
{
    for (qreal size : {8.0, 24.0}) {
        for (qreal u : {1.0, 2.0}) {
            const QJsonObject tree =
                inspectAt(DotCaption{"cpu", size, 0.1, kDot, kInk, solidContext("teal", u)}, {400, 100});
            const QJsonObject dot = nodesOfKind(tree, "Circle").at(0);
            EXPECT_EQ(frameOf(dot).size(), QSizeF(5 * u, 5 * u)) << size << " at " << u;
            EXPECT_EQ(dot["fill"].toString(), kDot.hex());
            const QJsonObject text = nodesOfKind(tree, "Text").at(0);
            EXPECT_NEAR(frameOf(text).left() - frameOf(dot).right(), 6 * u, 1e-3) << size << " at " << u;
            EXPECT_EQ(text["text"].toString(), "CPU");
            // Centred on each other.
            EXPECT_NEAR(frameOf(text).center().y(), frameOf(dot).center().y(), 1e-3);
        }
    }
}

TEST_F(Captions, CheckCircleTickOrRing)
{
    const Color circle = Color::rgb255(93, 240, 93), check = Color::rgb255(5, 8, 5);
    const QJsonObject done = inspectAt(CheckCircle{true, 20, circle, check, solidContext("green", 1.5)}, {100, 100});
    EXPECT_EQ(frameOf(done).size(), QSizeF(30, 30));
    const auto tick = nodesOfKind(done, "Image");
    ASSERT_EQ(tick.size(), 1u);
    EXPECT_EQ(tick[0]["symbol"].toString(), "checkmark");
    EXPECT_EQ(tick[0]["font"].toObject()["size"].toDouble(), 13.5);
    EXPECT_EQ(tick[0]["font"].toObject()["weight"].toString(), "bold");
    EXPECT_EQ(tick[0]["foreground"].toString(), check.hex());
    const auto filled = nodesOfKind(done, "Circle");
    ASSERT_EQ(filled.size(), 1u);
    EXPECT_EQ(filled[0]["fill"].toString(), circle.hex());
    EXPECT_FALSE(filled[0].contains("stroke"));

    const QJsonObject open = inspectAt(CheckCircle{false, 20, circle, check, solidContext("green", 1.5)}, {100, 100});
    EXPECT_TRUE(nodesOfKind(open, "Image").empty());
    const QJsonObject ring = nodesOfKind(open, "Circle").at(0);
    EXPECT_EQ(ring["stroke"].toString(), circle.hex());
    EXPECT_EQ(ring["lineWidth"].toDouble(), 2.25);
    EXPECT_TRUE(hasFlag(ring, "strokeBorder"));
    EXPECT_EQ(frameOf(ring).size(), QSizeF(30, 30));
}

// 2022-03-07 15:30:20 UTC.
const Date kHalfPastThree = Date::fromUnix(1646667020);

ClockHands hands(Date date, const char* zone, std::optional<double> seconds = std::nullopt,
                 std::optional<Color> ring = std::nullopt)
{
    return ClockHands{date,
                      *TimeZone::named(QString::fromLatin1(zone)),
                      30,
                      42,
                      46,
                      4,
                      3,
                      1.5,
                      kInk,
                      kDot,
                      6,
                      ring,
                      solidContext("macdark", 2),
                      seconds};
}

std::vector<double> rotations(const QJsonObject& tree)
{
    std::vector<double> out;
    for (const QJsonObject& r : nodesOfKind(tree, "rotationEffect"))
        out.push_back(r["degrees"].toDouble());
    return out;
}

TEST_F(Captions, ClockHandAngles)
{
    // Hour, minute, accent, back to front; the seconds of the moment never move the hour hand.
    EXPECT_EQ(rotations(inspectAt(hands(kHalfPastThree, "UTC"), {200, 200})), (std::vector<double>{105, 180, 330}));
    EXPECT_EQ(rotations(inspectAt(hands(kHalfPastThree, "UTC", 0), {200, 200})), (std::vector<double>{105, 180, 0}));
    EXPECT_EQ(rotations(inspectAt(hands(kHalfPastThree, "UTC", 42.5), {200, 200})),
              (std::vector<double>{105, 180, 255}));

    // 5.5 hours ahead: 21:00, so 165 degrees on the hour hand and 180 on the minute hand.
    const ClockHands::Angles utc = hands(kHalfPastThree, "UTC").angles();
    const ClockHands::Angles india = hands(kHalfPastThree, "Asia/Kolkata").angles();
    EXPECT_EQ(india.hour - utc.hour, 165);
    EXPECT_EQ(std::abs(india.minute - utc.minute), 180);
    // Noon and midnight both point up.
    EXPECT_EQ(hands(Date::fromUnix(1646654400), "UTC").angles().hour, 0);
    EXPECT_EQ(hands(Date::fromUnix(1646697600), "UTC").angles().hour, 0);
}

TEST_F(Captions, HandsTurnAboutTheirFootAndTheCap)
{
    // Centred on a 200 x 200 face, as a clock face places them.
    const QJsonObject tree = inspectAt(hands(kHalfPastThree, "UTC").body().frame(200, 200), {200, 200});
    const auto turned = nodesOfKind(tree, "rotationEffect");
    ASSERT_EQ(turned.size(), 3u);
    const QPointF pivot(100, 100);
    const qreal lengths[] = {60, 84, 92}; // times u = 2
    for (size_t i = 0; i < 3; ++i) {
        // The rotation turns about the stack's centre, which is the foot of the bar.
        EXPECT_EQ(frameOf(turned[i]).center(), pivot) << i;
        const QJsonObject bar = nodesOfKind(turned[i], "RoundedRectangle").at(0);
        EXPECT_EQ(frameOf(bar).bottom(), pivot.y()) << i;
        EXPECT_EQ(frameOf(bar).height(), lengths[i]) << i;
    }
    EXPECT_EQ(nodesOfKind(turned[0], "RoundedRectangle").at(0)["cornerRadius"].toDouble(), 4);
    EXPECT_EQ(nodesOfKind(turned[2], "RoundedRectangle").at(0)["cornerRadius"].toDouble(), 0);
    EXPECT_EQ(nodesOfKind(turned[2], "RoundedRectangle").at(0)["fill"].toString(), kDot.hex());

    // The cap lies on top, 6 x u across, ringed only when asked.
    const auto plain = nodesOfKind(tree, "Circle");
    ASSERT_EQ(plain.size(), 1u);
    EXPECT_EQ(frameOf(plain[0]), QRectF(94, 94, 12, 12));
    const Color ringColor = Color::rgb255(0, 0, 0);
    const auto ringed = nodesOfKind(
        inspectAt(hands(kHalfPastThree, "UTC", std::nullopt, ringColor).body().frame(200, 200), {200, 200}), "Circle");
    ASSERT_EQ(ringed.size(), 2u);
    EXPECT_EQ(ringed[1]["stroke"].toString(), ringColor.hex());
    EXPECT_EQ(ringed[1]["lineWidth"].toDouble(), 4);
    EXPECT_TRUE(hasFlag(ringed[1], "strokeBorder"));
}

} // namespace
