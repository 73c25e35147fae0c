// The chain most widgets' timelines share: when an entry is dated against its live read, and
// samples made at the moment they are shown.
#include "shared/widget/LocalProvider.h"

#include "platform/core/Clock.h"
#include "platform/core/TimeZone.h"
#include "support/UtcDate.h"

#include <gtest/gtest.h>

using namespace velk;
using velk::test::utc;

namespace {

const Date kAsked = utc("2027-02-01T10:00:00");
const Date kReadDone = kAsked.addingSeconds(40);

TEST(LocalProvider, EntriesAreDatedBeforeTheLiveReadAndTheReloadCountsFromItsEnd)
{
    TimeZonePin zone{QStringLiteral("UTC")};
    ClockPin pin{kAsked};
    // A live read that takes its time: the clock has moved on when it returns.
    const auto slowRead = [] {
        Clock::pin(kReadDone);
        return 7;
    };
    const LocalProvider<int> plain{0, slowRead, 15};
    const LocalProvider<int> withFallback = LocalProvider<int>::withFallback(
        0, -1, [&](const int&) { return slowRead(); }, 15);
    for (const LocalProvider<int>* provider : {&plain, &withFallback}) {
        Clock::pin(kAsked);
        const auto entry = provider->snapshot({}, {});
        EXPECT_EQ(entry.date, kAsked);
        EXPECT_EQ(entry.data, 7);

        Clock::pin(kAsked);
        const auto t = provider->timeline({}, {});
        ASSERT_EQ(t.entries.size(), 1u);
        EXPECT_EQ(t.entries[0].date, kAsked);
        EXPECT_EQ(t.entries[0].data, 7);
        EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(kReadDone.addingSeconds(15 * 60)));
    }
}

TEST(LocalProvider, ASampleDatedFromNowIsMadeWhenItIsShown)
{
    const Date made = utc("2027-02-01T06:00:00");
    std::optional<LocalProvider<Date>> provider;
    {
        ClockPin pin{made};
        provider = LocalProvider<Date>{[] { return Clock::now().addingSeconds(-120); }, [] { return Date(); }, 15};
    }
    ClockPin pin{kAsked};
    EXPECT_EQ(provider->placeholder({}).data, kAsked.addingSeconds(-120));
    EXPECT_EQ(provider->snapshot({}, {.isPreview = true}).data, kAsked.addingSeconds(-120));
    // A fixed sample stays as it was given.
    const LocalProvider<int> fixed{5, [] { return 0; }, 15};
    EXPECT_EQ(fixed.placeholder({}).data, 5);
}

} // namespace
