#pragma once
// The timeline chain most widgets share: the sample for placeholders and gallery previews, one
// read of live data for a placed widget, and a reload `refreshMinutes` after that read.
//
//   LocalProvider<CounterSnapshot>{CounterSnapshot{5, 8}, [] { return waterNow(); }, 30}
//   LocalProvider<StopwatchState>{&StopwatchState::sample, ...}   // a sample dated from now
//
// The live read may need to know what to show when it finds nothing: data kept from an earlier
// read falls back to the sample in a gallery snapshot but to an empty state on the desktop. Such
// reads take the fallback as their argument (LocalProvider::withFallback); `empty` is the
// timeline's fallback and defaults to the sample.
//
// The provider is a value that keeps nothing between calls; the host calls it on worker threads.
#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "platform/timeline/Timeline.h"
#include "shared/widget/SurfaceConfigIntent.h"
#include "shared/widget/VelkEntry.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <type_traits>

namespace velk {

// `minutes` after a fresh reading of the clock, added with the user's calendar (plain elapsed
// time should the calendar give nothing).
inline Date reloadDateAfterMinutes(qint64 minutes)
{
    const Date now = Clock::now();
    const int clamped = int(std::clamp<qint64>(minutes, 0, 366LL * 24 * 60));
    return Calendar::current()
        .date(CalendarComponent::minute, clamped, now, false)
        .value_or(now.addingSeconds(60.0 * clamped));
}

// What a provider shows for its sample: a fixed value, or one made each time it is shown, for
// a sample dated relative to now (a stopwatch started minutes ago, mail that came in two hours
// ago), which must read from the clock of the render and not of the moment the provider was made.
template <class T>
class SampleOf {
public:
    template <class U>
    requires std::is_convertible_v<U, T> SampleOf(U value) : make_([value = T(std::move(value))] { return value; }) {}
    template <class F>
    requires(std::is_invocable_r_v<T, const F&> && !std::is_convertible_v<F, T>) SampleOf(F make)
        : make_(std::move(make))
    {}

    T operator()() const { return make_(); }

private:
    std::function<T()> make_;
};

template <class T>
struct LocalProvider {
    using Entry = VelkEntry<T>;
    using Read = std::function<T(const T& fallback)>;

    SampleOf<T> sample;
    std::function<T()> live;
    qint64 refreshMinutes = 15;
    // Set by withFallback: a live read that is told what to show when it finds nothing.
    Read read = {};
    std::optional<T> empty = std::nullopt;

    // A provider whose live read takes its fallback: the sample in a snapshot, `empty` in a
    // timeline.
    static LocalProvider withFallback(SampleOf<T> sample, T empty, Read read, qint64 refreshMinutes)
    {
        LocalProvider p{std::move(sample), {}, refreshMinutes};
        p.read = std::move(read);
        p.empty = std::move(empty);
        return p;
    }

    // Touches nothing: the sample, on the app's surface whatever the configuration says.
    Entry placeholder(const timeline::TimelineContext&) const
    {
        return Entry{Clock::now(), sample(), SurfaceOption::followApp};
    }

    // A gallery preview shows the sample and reads nothing live.
    Entry snapshot(const SurfaceConfigIntent& configuration, const timeline::TimelineContext& context) const
    {
        // Dated when it is asked for, before the read: the read works out its data for that
        // moment ("today", "now"), and the entry shows from there.
        const Date date = Clock::now();
        T data = context.isPreview ? sample() : liveData(sample());
        return Entry{date, std::move(data), configuration.surface};
    }

    // One entry dated before the live read, and a reload counted from the end of that read.
    timeline::Timeline<Entry> timeline(const SurfaceConfigIntent& configuration, const timeline::TimelineContext&) const
    {
        const Date date = Clock::now();
        T data = liveData(empty ? *empty : sample());
        Entry entry{date, std::move(data), configuration.surface};
        return {{std::move(entry)}, timeline::ReloadPolicy::after(reloadDateAfterMinutes(refreshMinutes))};
    }

private:
    T liveData(const T& fallback) const
    {
        if (read) return read(fallback);
        if (live) return live();
        return fallback;
    }
};

} // namespace velk
