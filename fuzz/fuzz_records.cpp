// The stored records: the same bytes decoded as every record the widgets keep (and the lists
// they keep), and each that decodes encoded again, which must read back as the same record.
#include "FuzzSupport.h"
#include "platform/core/Coding.h"
#include "shared/models/ActivityRecords.h"
#include "shared/models/MediaRecords.h"
#include "shared/models/NoteRecords.h"
#include "shared/models/PowerRecords.h"
#include "shared/models/RecordEquality.h"
#include "shared/models/ReminderRecords.h"
#include "shared/models/SkyRecords.h"
#include "shared/models/SystemRecords.h"
#include "shared/models/UsageRecords.h"
#include "shared/models/WeatherRecords.h"

#include <cstdlib>

namespace {

template <class T>
void roundTrip(const QByteArray& bytes)
{
    const std::optional<T> decoded = velk::decodeJson<T>(bytes);
    if (!decoded) return;
    // A value JSON cannot hold (a NaN) cannot come out of JSON, so what decoded must encode.
    const std::optional<QByteArray> encoded = velk::encodeJson(*decoded);
    if (!encoded) std::abort();
    const std::optional<T> again = velk::decodeJson<T>(*encoded);
    if (!again || !velk::coding::sameValue(*decoded, *again)) std::abort();
}

template <class... T>
void roundTripEach(const QByteArray& bytes)
{
    (roundTrip<T>(bytes), ...);
    (roundTrip<std::vector<T>>(bytes), ...);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::setUp();
    roundTripEach<StopwatchState, FocusSession, HabitItem, HabitWeekRow, CounterSnapshot, NowPlayingSnapshot,
                  InboxSnapshot, StockSnapshot, NoteItem, PowerSnapshot, PowerSnapshot::Device, RemindersSnapshot,
                  ReminderItem, CalendarSnapshot, EventItem, AirQualitySnapshot, DaylightInfo, MoonInfo, QuoteItem,
                  SystemSnapshot, NetworkSnapshot, StorageSnapshot, UsageSnapshot, WeatherSnapshot>(
        fuzz::bytes(data, size));
    return 0;
}
