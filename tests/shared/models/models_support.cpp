// Pins the clock for the whole of every test binary here, before any sample is first read, so
// the samples' dates are known.
#include "records_fixtures.h"

#include "platform/core/Clock.h"

#include <gtest/gtest.h>

namespace {
class PinnedClock : public ::testing::Environment {
public:
    void SetUp() override { velk::Clock::pin(velk::fixtures::pinnedNow()); }
    void TearDown() override { velk::Clock::unpin(); }
};
[[maybe_unused]] ::testing::Environment* const pinnedClock = ::testing::AddGlobalTestEnvironment(new PinnedClock);
} // namespace
