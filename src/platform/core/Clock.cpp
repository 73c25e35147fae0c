#include "platform/core/Clock.h"
#include <atomic>
#include <chrono>

namespace velk {
namespace {
std::atomic<bool> g_pinned{false};
std::atomic<double> g_pinnedAt{0};
} // namespace

Date Clock::now()
{
    if (g_pinned.load(std::memory_order_acquire)) return Date(g_pinnedAt.load(std::memory_order_relaxed));
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    return Date::fromUnix(std::chrono::duration<double>(since).count());
}

void Clock::pin(Date d)
{
    g_pinnedAt.store(d.sinceReference, std::memory_order_relaxed);
    g_pinned.store(true, std::memory_order_release);
}

void Clock::unpin()
{
    g_pinned.store(false, std::memory_order_release);
}
bool Clock::isPinned()
{
    return g_pinned.load(std::memory_order_acquire);
}

} // namespace velk
