// The moon, daylight and air-quality widgets: the lit disc, the sun on its arc through the local
// day (east and west of Greenwich, and far north where the sun sets after midnight), and the
// index against a fixture air-quality service, up and down.
#include "widgets/extras/sky/SkyProviders.h"
#include "widgets/extras/sky/SkyViews.h"
#include "widgets/extras/sky/SkyWidgets.h"

#include "platform/core/TimeZone.h"
#include "shared/data/WebTestSupport.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/look/WidgetContext.h"
#include "support/UtcDate.h"
#include "system_support.h"

#include <QTimeZone>
#include <QUrlQuery>

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::ScopedEnv;
using velk::test::utc;
using velk::testing::colorOf;
using velk::testing::frameOf;
using velk::testing::hasFlag;
using velk::testing::inspectAt;
using velk::testing::nodesOfKind;
using velk::testing::shown;
using velk::testing::solidContext;
using velk::testing::textNode;
using velk::testing::textsOf;
using velk::testing::textsOutside;

namespace {

const QSizeF kSmall(160, 160), kMedium(344, 160);
const WeatherProvider::Place kDenver{QStringLiteral("Denver"), 39.7392, -104.9903};
const WeatherProvider::Place kOslo{QStringLiteral("Oslo"), 59.9139, 10.7522};

WeatherConfigIntent configFor(const WeatherProvider::Place& place)
{
    WeatherConfigIntent c;
    c.place = WeatherPlaceEntity::of(place);
    c.surface = SurfaceOption::solid;
    return c;
}

class SkyTest : public test::WebTest {
protected:
    SkyTest() { Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24); }
    WCtx ctx = solidContext("green");
    const WidgetPalette& pal = ctx.pal;
    const timeline::TimelineContext placed{timeline::WidgetFamily::small, kSmall, false};
    const timeline::TimelineContext gallery{timeline::WidgetFamily::small, kSmall, true};
};

// ---- moon -------------------------------------------------------------------------------------

TEST_F(SkyTest, MoonDiscIsLitFromTheRightSide)
{
    struct Case {
        double illuminated;
        bool waxing;
        qreal litWidth;
        bool fromTheRight;
    };
    for (const Case& c : {Case{0, true, 0, true}, Case{1, false, 72, false}, Case{0.5, true, 36, true},
                          Case{0.5, false, 36, false}, Case{1.7, true, 72, true}, Case{-0.3, false, 0, false}}) {
        SCOPED_TRACE(::testing::Message() << c.illuminated << (c.waxing ? " waxing" : " waning"));
        const QJsonObject tree = inspectAt(MoonView{MoonInfo{"Phase", c.illuminated, c.waxing, 3, 17}, ctx}, kSmall);
        // The grey disc and the lit one, each with all its dots; the lit one masked to its part.
        EXPECT_EQ(nodesOfKind(tree, "Circle").size(), 2u * (64 + 1));
        const auto masks = nodesOfKind(tree, "Rectangle");
        ASSERT_EQ(masks.size(), 1u);
        const QRectF lit = frameOf(masks[0]);
        EXPECT_NEAR(lit.width(), c.litWidth, 0.01);
        // The disc is 72 wide and centred in the 116 between the paddings: 44 to 116.
        EXPECT_NEAR(c.fromTheRight ? lit.right() : lit.left(), c.fromTheRight ? 116 : 44, 0.01);
    }
}

TEST_F(SkyTest, MoonDiscStandsClearOfThePhaseCaption)
{
    const QJsonObject tree = inspectAt(MoonView{MoonInfo{"Waxing Gibbous", 0.8, true, 3, 17}, ctx}, kSmall);
    EXPECT_EQ(textsOutside(tree, QRectF(22, 20, 116, 120)), std::vector<std::string>{}) << shown(tree);
    EXPECT_DOUBLE_EQ(frameOf(textNode(tree, "MOON")).y(), 20);
    qreal discBottom = 0;
    for (const QJsonObject& dot : nodesOfKind(tree, "Circle"))
        discBottom = std::max(discBottom, frameOf(dot).bottom());
    EXPECT_GE(frameOf(textNode(tree, "WAXING GIBBOUS")).top() - discBottom, 1);
}

TEST_F(SkyTest, MoonTextsThroughALunation)
{
    struct Case {
        const char* date;
        const char* phase;
        const char* detail;
    };
    // A mean lunation from the new moon of 2000-01-06 18:14 UTC.
    for (const Case& c : {Case{"2000-01-06T18:14:00", "NEW MOON", "FULL IN 15 DAYS"},
                          Case{"2000-01-14T00:00:00", "FIRST QUARTER", "FULL IN 8 DAYS"},
                          Case{"2000-01-21T08:00:00", "FULL MOON", "FULL MOON TONIGHT"},
                          Case{"2000-01-29T00:00:00", "LAST QUARTER", "NEW IN 7 DAYS"}}) {
        SCOPED_TRACE(c.date);
        ClockPin at(utc(c.date));
        const timeline::WidgetDefinition w = MoonWidget{}.body();
        const auto t = w.provider().timeline(w.configuration(), placed);
        ASSERT_EQ(t.entries.size(), 1u);
        EXPECT_EQ(textsOf(inspectAt(w.render(t.entries[0]), kSmall)), (QStringList{"MOON", c.phase, c.detail}));
        EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(utc(c.date).addingSeconds(12 * 3600)));
    }
}

// ---- daylight ---------------------------------------------------------------------------------

TEST_F(SkyTest, TheSunMovesAlongTheArc)
{
    const DaylightInfo day{utc("2025-06-05T05:00:00"), utc("2025-06-05T21:00:00"), "Here"};
    struct Case {
        const char* at;
        int sun;
    };
    for (const Case& c : {Case{"2025-06-05T03:00:00", 0}, Case{"2025-06-05T13:00:00", 3},
                          Case{"2025-06-05T09:00:00", 2}, Case{"2025-06-05T23:30:00", 6}}) {
        SCOPED_TRACE(c.at);
        const QJsonObject tree = inspectAt(DaylightView{day, utc(c.at), ctx}, kMedium);
        EXPECT_EQ(textsOf(tree), (QStringList{"DAYLIGHT", "16H 0M", "05:00 RISE", "21:00 SET"}));
        const auto dots = nodesOfKind(tree, "Circle");
        ASSERT_EQ(dots.size(), 7u);
        const double p = DaylightView::progress(day, utc(c.at));
        for (int i = 0; i < 7; ++i) {
            const bool isSun = i == c.sun;
            EXPECT_EQ(frameOf(dots[size_t(i)]).width(), isSun ? 14 : 8) << i;
            const QString colour = isSun ? pal.accent.hex() : p > i / 6.0 ? pal.inkFaint.hex() : pal.ink.hex();
            EXPECT_EQ(dots[size_t(i)]["fill"].toString(), colour) << i;
        }
        // The ends sit low, the middle high.
        EXPECT_LT(frameOf(dots[3]).center().y(), frameOf(dots[0]).center().y());
        EXPECT_NEAR(frameOf(dots[0]).center().y(), frameOf(dots[6]).center().y(), 0.01);
    }
    // A day with no length divides by one second.
    EXPECT_EQ(DaylightView::progress({day.sunrise, day.sunrise, "x"}, day.sunrise.addingSeconds(1)), 1.0);
    EXPECT_EQ(DaylightView::sunIndex(std::numeric_limits<double>::quiet_NaN()), 0);
}

TEST_F(SkyTest, TheDayShownIsTheLocalDayEastAndWestOfGreenwich)
{
    // Near the middle of the local day the sun is at the top of its arc, between that day's
    // sunrise and sunset, whichever UTC day those fall on.
    struct Case {
        const char* zone;
        WeatherProvider::Place place;
        const char* now; // local wall time
        QStringList texts;
    };
    for (const Case& c :
         {Case{"UTC", kDenver, "2025-06-05T18:00:00", {"DAYLIGHT", "14H 52M", "11:32 RISE", "02:24 SET"}},
          Case{"Asia/Tokyo",
               {"Tokyo", 35.6762, 139.6503},
               "2025-12-11T12:00:00",
               {"DAYLIGHT", "9H 48M", "06:40 RISE", "16:28 SET"}},
          Case{"America/Los_Angeles",
               {"Los Angeles", 34.0522, -118.2437},
               "2025-12-11T12:00:00",
               {"DAYLIGHT", "9H 56M", "06:48 RISE", "16:44 SET"}},
          Case{"Pacific/Auckland",
               {"Auckland", -36.8485, 174.7633},
               "2025-12-11T13:00:00",
               {"DAYLIGHT", "14H 37M", "05:55 RISE", "20:32 SET"}},
          Case{"Atlantic/Reykjavik",
               {"Reykjavik", 64.1466, -21.9426},
               "2025-06-21T13:00:00",
               {"DAYLIGHT", "21H 9M", "02:54 RISE", "00:03 SET"}}}) {
        SCOPED_TRACE(c.zone);
        TimeZonePin zone(QString::fromLatin1(c.zone));
        QDateTime wall = QDateTime::fromString(QString::fromLatin1(c.now), Qt::ISODate);
        wall.setTimeZone(QTimeZone(QByteArray(c.zone)));
        const Date at = Date::fromQDateTime(wall);
        ClockPin pinned(at);
        const DaylightInfo info = DaylightTimelineProvider::info(c.place, at);
        EXPECT_EQ(info.place, c.place.name);
        EXPECT_LT(info.sunrise, at);
        EXPECT_GT(info.sunset, at);

        const timeline::WidgetDefinition w = DaylightWidget{}.body();
        const auto t = DaylightTimelineProvider{}.timeline(configFor(c.place), placed);
        ASSERT_EQ(t.entries.size(), 3u);
        EXPECT_EQ(t.entries[0].data, info);
        const QJsonObject tree = inspectAt(w.render(timeline::AnyEntry(t.entries[0])), kMedium);
        EXPECT_EQ(textsOf(tree), c.texts);
        const auto dots = nodesOfKind(tree, "Circle");
        ASSERT_EQ(dots.size(), 7u);
        for (int i = 0; i < 7; ++i)
            EXPECT_EQ(frameOf(dots[size_t(i)]).width(), i == 3 ? 14 : 8) << i; // the sun
    }
}

TEST_F(SkyTest, DaylightTimelineAndPreview)
{
    const auto t = DaylightTimelineProvider{}.timeline(configFor(kOslo), placed);
    ASSERT_EQ(t.entries.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(t.entries[size_t(i)].date, now().addingSeconds(600.0 * i));
        EXPECT_EQ(t.entries[size_t(i)].data, t.entries[0].data);
        EXPECT_EQ(t.entries[size_t(i)].surface, SurfaceOption::solid);
    }
    EXPECT_EQ(t.entries[0].data.place, "Oslo");
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(now().addingSeconds(1800)));
    EXPECT_EQ(DaylightTimelineProvider{}.snapshot(configFor(kOslo), gallery).data, DaylightInfo::sample());
    // Where the sun never sets the day falls back to the sample.
    const WeatherProvider::Place svalbard{"Longyearbyen", 78.22, 15.65};
    EXPECT_EQ(DaylightTimelineProvider::info(svalbard, now()), DaylightInfo::sample());
}

// ---- air quality ------------------------------------------------------------------------------

TEST_F(SkyTest, AirQualityBands)
{
    struct Case {
        qint64 aqi;
        const char* band;
        bool hot;
    };
    for (const Case& c :
         {Case{-5, "GOOD", false}, Case{50, "GOOD", false}, Case{100, "MODERATE", false},
          Case{101, "UNHEALTHY FOR SOME", true}, Case{150, "UNHEALTHY FOR SOME", true}, Case{301, "HAZARDOUS", true}}) {
        SCOPED_TRACE(c.aqi);
        const QJsonObject tree = inspectAt(AirQualityView{AirQualitySnapshot{c.aqi, now()}, ctx}, kSmall);
        // The longest band shrinks to keep its last word.
        EXPECT_EQ(textsOf(tree), (QStringList{"AIR QUALITY", QString::number(c.aqi), c.band}));
        const QString ink = (c.hot ? pal.alert : pal.ink).hex();
        EXPECT_EQ(colorOf(tree, QString::number(c.aqi)), ink);
        EXPECT_EQ(colorOf(tree, c.band), ink);
        const auto runs = velk::testing::dotRuns(tree);
        ASSERT_FALSE(runs.empty());
        int total = 0;
        for (const auto& r : runs)
            total += r.second;
        const int lit = runs[0].first == pal.track.hex() ? 0 : runs[0].second;
        const double share = std::clamp(double(c.aqi) / 150.0, 0.0, 1.0);
        EXPECT_EQ(lit, int(std::lround(share * total)));
        if (lit > 0) {
            EXPECT_EQ(runs[0].first, (c.hot ? pal.alert : pal.fill).hex());
        }
    }
}

TEST_F(SkyTest, AirQualityFromTheServiceUpAndDown)
{
    server.route("/v1/air-quality", FixtureResponse::file("air_quality.json"));
    const ScopedEnv up("VELK_AIR_QUALITY_URL", server.baseUrl().toUtf8());
    const auto t = AirQualityTimelineProvider{}.timeline(configFor(kOslo), placed);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].data.aqi, 42);
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(now().addingSeconds(1800)));
    ASSERT_EQ(server.requestCount(), 1);
    const QUrlQuery query(server.requests().at(0).url());
    EXPECT_EQ(query.queryItemValue("latitude"), "59.9139");
    EXPECT_EQ(query.queryItemValue("longitude"), "10.7522");
    EXPECT_EQ(query.queryItemValue("current"), "us_aqi");
    // The preview shows the sample and asks nothing.
    EXPECT_EQ(AirQualityTimelineProvider{}.snapshot(configFor(kOslo), gallery).data, AirQualitySnapshot::sample());
    EXPECT_EQ(server.requestCount(), 1);

    const ScopedEnv down("VELK_AIR_QUALITY_URL", "http://127.0.0.1:9");
    const auto failed = AirQualityTimelineProvider{}.timeline(configFor(kDenver), placed);
    EXPECT_EQ(failed.entries.at(0).data, AirQualitySnapshot::sample());
    EXPECT_EQ(failed.policy, timeline::ReloadPolicy::after(now().addingSeconds(900)));
}

} // namespace
