// The year as dots on its first and last day and in between, leap years included.
#include "widgets/extras/info/YearProgressView.h"
#include "widgets/extras/info/YearWidget.h"

#include "platform/core/Clock.h"
#include "shared/look/TreeQuery.h"
#include "shared/look/WidgetContext.h"
#include "support/UtcDate.h"

#include <gtest/gtest.h>

using namespace velk;
using velk::test::utc;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::shown;
using velk::testing::solidContext;

namespace {

TEST(YearProgress, FirstLastAndBetween)
{
    const WCtx ctx = solidContext("macdark");
    struct Case {
        const char* now;
        YearInfo info;
        const char* texts;
        int filled;
        int highlight;
    };
    for (const Case& c :
         {Case{"2026-01-01T00:00:00", {2026, 1, 365}, "YEAR 2026 | 0% | DAY 1 \u00B7 364 REMAINING", 0, 0},
          Case{"2026-07-15T12:00:00", {2026, 196, 365}, "YEAR 2026 | 54% | DAY 196 \u00B7 169 REMAINING", 29, 28},
          Case{"2024-07-01T12:00:00", {2024, 183, 366}, "YEAR 2024 | 50% | DAY 183 \u00B7 183 REMAINING", 27, 26},
          Case{"2026-12-31T23:59:59", {2026, 365, 365}, "YEAR 2026 | 100% | DAY 365 \u00B7 0 REMAINING", 54, 53},
          Case{"2024-12-31T12:00:00", {2024, 366, 366}, "YEAR 2024 | 100% | DAY 366 \u00B7 0 REMAINING", 54, 53}}) {
        SCOPED_TRACE(c.now);
        ClockPin pin(utc(c.now));
        const YearInfo info = YearInfo::current(Clock::now());
        EXPECT_EQ(info, c.info);
        const QJsonObject tree = inspectAt(YearProgressView{info, ctx}, {344, 160});
        EXPECT_EQ(QString::fromStdString(shown(tree)), QString::fromUtf8(c.texts));
        const auto dots = nodesOfKind(tree, "Circle");
        ASSERT_EQ(dots.size(), 54u);
        int filled = 0;
        for (const QJsonObject& d : dots)
            filled += d["fill"].toString() == ctx.pal.fill.hex();
        // Today's dot is enlarged in the accent colour, the rest of the days gone are filled.
        EXPECT_EQ(filled, std::max(c.filled - 1, 0));
        EXPECT_EQ(dots[size_t(c.highlight)]["fill"].toString(), ctx.pal.accent.hex());
        EXPECT_EQ(nodesOfKind(tree, "scaleEffect").size(), 1u);
    }
}

TEST(YearProgress, HandMadeFiguresStayInRange)
{
    // No year has no days: nothing is divided by zero, nothing runs past the grid or below 0.
    struct Case {
        YearInfo info;
        qint64 percent;
        int filled;
        qint64 remaining;
    };
    for (const Case& c :
         {Case{{2026, 10, 0}, 0, 0, 0}, Case{{2026, 400, 365}, 100, 54, 0}, Case{{2026, -5, 365}, 0, 0, 370}}) {
        const YearProgressView::Figures f = YearProgressView::figures(c.info);
        EXPECT_EQ(f.percent, c.percent);
        EXPECT_EQ(f.filled, c.filled);
        EXPECT_EQ(f.highlight, std::max(c.filled - 1, 0));
        EXPECT_EQ(f.remaining, c.remaining);
    }
}

TEST(YearProgress, WidgetSampleAndLiveYear)
{
    ClockPin pin(utc("2027-03-01T08:00:00"));
    const timeline::WidgetDefinition widget = YearWidget{}.body();
    EXPECT_EQ(widget.family(), timeline::WidgetFamily::medium);
    const QJsonObject placeholder = inspectAt(widget.render(widget.provider().placeholder({})), {344, 160});
    EXPECT_NE(shown(placeholder).find("DAY 196 \u00B7 169 REMAINING"), std::string::npos) << shown(placeholder);
    const auto t = widget.provider().timeline({}, {});
    EXPECT_NE(shown(inspectAt(widget.render(t.entries.at(0)), {344, 160})).find("DAY 60 \u00B7 305 REMAINING"),
              std::string::npos);
    EXPECT_EQ(t.policy.date(), utc("2027-03-01T14:00:00"));
}

} // namespace
