#pragma once
// How the reminders and calendar providers pick their data: a live read when the user has
// given full access (kept in the shared suite for later), else the copy kept from the last
// live read, else the caller's fallback. Never fails.
#include "platform/calendar/CalendarStore.h"

#include <optional>

namespace velk {

template <class T, class Read, class Store, class Stored>
T calendarData(CalendarEntityType type, Read read, Store store, Stored stored, const T& fallback)
{
    if (CalendarStore::authorizationStatus(type) == CalendarAuthorizationStatus::fullAccess) {
        if (std::optional<T> live = read()) {
            store(*live);
            return *live;
        }
    }
    if (std::optional<T> kept = stored()) return *kept;
    return fallback;
}

} // namespace velk
