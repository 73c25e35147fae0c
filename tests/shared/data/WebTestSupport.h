#pragma once
// Common ground of the web client tests: a fixture server, a pinned clock, zone and locale, and
// an empty shared suite for every test.
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/Locale.h"
#include "platform/core/TimeZone.h"
#include "support/FixtureServer.h"

#include <gtest/gtest.h>

namespace velk::test {

class WebTest : public ::testing::Test {
public:
    // Thursday 2025-06-05 07:30 UTC: 08:30 in London, 03:30 in New York.
    static constexpr double kNowUnix = 1749108600;

    WebTest() : clock_(Date::fromUnix(kNowUnix)), zone_("UTC"), locale_("en_US")
    {
        Defaults suite = Defaults::shared();
        for (const QString& key : suite.keys())
            suite.remove(key);
    }

    static Date now() { return Date::fromUnix(kNowUnix); }
    static Date ago(double seconds) { return now().addingSeconds(-seconds); }

protected:
    FixtureServer server;

private:
    ClockPin clock_;
    TimeZonePin zone_;
    LocalePin locale_;
};

// The answers every client must survive: an HTTP error page, a cut body and a slow server
// (give a short VELK_HTTP_TIMEOUT_MS with it).
inline std::vector<std::pair<const char*, FixtureResponse>> brokenAnswers(const QByteArray& goodBody)
{
    FixtureResponse page;
    page.status = 502;
    page.contentType = "text/html";
    page.body = "<html><head><title>502 Bad Gateway</title></head><body>nginx</body></html>";
    FixtureResponse cut = FixtureResponse::json(goodBody);
    cut.truncateAt = int(goodBody.size() / 2);
    FixtureResponse slow = FixtureResponse::json(goodBody);
    slow.delayMs = 1500;
    return {{"error page", page}, {"truncated body", cut}, {"time-out", slow}};
}

} // namespace velk::test
