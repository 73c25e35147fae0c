#pragma once
// The one source of "now" in the system. Tests (and the render commands' --now) pin it.
#include "platform/core/Date.h"
#include <optional>

namespace velk {

class Clock {
public:
    static Date now();
    // Pins now() to a fixed moment until unpin(); the pin is process-wide.
    static void pin(Date d);
    static void unpin();
    static bool isPinned();
};

// Pins the clock for the life of a scope (tests).
class ClockPin {
public:
    explicit ClockPin(Date d) { Clock::pin(d); }
    ~ClockPin() { Clock::unpin(); }
    ClockPin(const ClockPin&) = delete;
    ClockPin& operator=(const ClockPin&) = delete;
};

} // namespace velk
