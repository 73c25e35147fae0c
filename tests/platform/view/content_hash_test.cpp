// The content hash hosts repaint by: equal trees hash equal, and anything a user could see
// change (text, colour, frame, a flag that draws differently, a timer's text) changes it.
#include "platform/core/Clock.h"
#include "platform/view/ContentHash.h"
#include "platform/view/Layout.h"
#include "platform/view/Rounding.h"
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::view;

namespace {

constexpr Date kNow = Date::fromUnix(1'800'000'000);

struct Look {
    QString title = QStringLiteral("Standup");
    Color accent = Color::rgb255(255, 59, 48);
    qreal barWidth = 40;
    bool struck = false;
    bool tappable = true;
    qreal hand = 30;
};

View face(const Look& l)
{
    return VStack({Text(l.title).foregroundColor(l.accent).strikethrough(l.struck),
                   Rectangle().fill(l.accent).frame(l.barWidth, 4).allowsHitTesting(l.tappable),
                   Capsule().frame(2, 20).rotationEffect(l.hand),
                   TimerText(kNow, Date::fromUnix(1'800'000'000 + 600)).monospacedDigit()})
        .frame(120, 80);
}

quint64 hashOf(const Look& l)
{
    return contentHash(layout(face(l), QSizeF(120, 80)));
}

struct HashCase {
    const char* name;
    std::function<void(Look&)> change;
};

void PrintTo(const HashCase& c, std::ostream* os)
{
    *os << c.name;
}

class ContentHashChange : public ::testing::TestWithParam<HashCase> {
protected:
    ClockPin pin{kNow};
};

TEST_P(ContentHashChange, ChangesTheHash)
{
    Look changed;
    GetParam().change(changed);
    EXPECT_NE(hashOf(changed), hashOf(Look{}));
}

INSTANTIATE_TEST_SUITE_P(Cases, ContentHashChange,
                         ::testing::Values(HashCase{"text", [](Look& l) { l.title = QStringLiteral("Standuq"); }},
                                           HashCase{"colour", [](Look& l) { l.accent = Color::rgb255(255, 59, 49); }},
                                           HashCase{"frame", [](Look& l) { l.barWidth = 41; }},
                                           HashCase{"strikethrough", [](Look& l) { l.struck = true; }},
                                           HashCase{"hitTestingDisabled", [](Look& l) { l.tappable = false; }},
                                           HashCase{"rotation", [](Look& l) { l.hand = 36; }}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ContentHash, EqualTreesHashEqualAndSubPointNoiseIsIgnored)
{
    ClockPin pin(kNow);
    EXPECT_EQ(hashOf(Look{}), hashOf(Look{}));
    // Inspection rounds to a thousandth of a point; so does the hash.
    Look noisy;
    noisy.hand += 1e-9;
    EXPECT_EQ(hashOf(noisy), hashOf(Look{}));
}

TEST(ContentHash, RunningTimerTextCountsAsContent)
{
    ClockPin pin(kNow);
    const LaidOutTree tree = layout(face(Look{}), QSizeF(120, 80));
    const quint64 before = contentHash(tree);
    EXPECT_EQ(contentHash(tree), before);
    // The same laid-out tree shows another text a second later.
    Clock::pin(Date::fromUnix(1'800'000'000 + 1));
    EXPECT_NE(contentHash(tree), before);
}

// Hashes and font keys round with an inline rounding that must agree with the library's
// everywhere: at halves (away from zero), just below them, and past the exact-fraction range.
TEST(ContentHash, InlineRoundingMatchesTheLibrary)
{
    const double cases[] = {0.0,
                            -0.0,
                            0.5,
                            -0.5,
                            1.5,
                            -1.5,
                            2.5,
                            -2.5,
                            0.49999999999999994,
                            -0.49999999999999994,
                            4503599627370495.5,
                            -4503599627370495.5,
                            4503599627370497.0,
                            1e17,
                            -1e17,
                            255.0 * 0.5,
                            123.456 * 256,
                            -0.1 * 1000};
    for (double v : cases)
        EXPECT_EQ(roundAway(v), std::llround(v)) << v;
}

} // namespace
