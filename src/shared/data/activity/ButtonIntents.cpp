#include "shared/data/activity/ButtonIntents.h"

#include "platform/core/Clock.h"
#include "platform/core/DistributedNotifications.h"
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/activity/ExtrasStoreActivity.h"
#include "shared/data/media/MediaBridge.h"
#include "shared/models/ActivityRecords.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace velk {

namespace {

constexpr qint64 kMax = std::numeric_limits<qint64>::max();
constexpr qint64 kMin = std::numeric_limits<qint64>::min();

qint64 saturatingAdd(qint64 a, qint64 b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? kMax : kMin;
    return sum;
}

qint64 saturatingMultiply(qint64 a, qint64 b)
{
    qint64 product = 0;
    if (__builtin_mul_overflow(a, b, &product)) return (a < 0) == (b < 0) ? kMax : kMin;
    return product;
}

// Whole seconds from `from` to `to`, truncated, 0 when negative, capped at the integer range.
qint64 elapsedWholeSeconds(Date from, Date to)
{
    const double seconds = std::trunc(to.secondsSince(from));
    if (!(seconds > 0)) return 0; // also NaN
    if (seconds >= 9223372036854775807.0) return kMax;
    return qint64(seconds);
}

// The 36-character form, hyphens in place, either case; nothing else names a habit.
bool isUuidString(const QString& text)
{
    // Anchored as a whole: a plain "$" would also accept a trailing line break, which QUuid
    // then quietly drops.
    static const QRegularExpression form(QRegularExpression::anchoredPattern(
        QStringLiteral("[0-9A-Fa-f]{8}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{4}-[0-9A-Fa-f]{12}")));
    return form.match(text).hasMatch();
}

const StopwatchState kStoppedStopwatch{std::nullopt, {}};

} // namespace

void FocusToggleIntent::perform() const
{
    FocusSession session = ExtrasStore::read<FocusSession>(kKey).value_or(FocusSession{std::nullopt, kDefaultMinutes});
    const Date now = Clock::now();
    const bool running = session.endDate && *session.endDate > now;
    if (running)
        session.endDate = std::nullopt;
    else
        session.endDate = now.addingSeconds(double(saturatingMultiply(session.minutes, 60)));
    requireStored(ExtrasStore::write(session, kKey));
    reloadKinds({kKind});
}

void StopwatchToggleIntent::perform() const
{
    StopwatchState state = ExtrasStore::read<StopwatchState>(kKey).value_or(kStoppedStopwatch);
    const Date now = Clock::now();
    if (state.startDate) {
        state.laps.push_back(now.secondsSince(*state.startDate));
    } else {
        state.startDate = now;
        state.laps.clear();
    }
    requireStored(ExtrasStore::write(state, kKey));
    reloadKinds({kKind});
}

void StopwatchResetIntent::perform() const
{
    requireStored(ExtrasStore::write(kStoppedStopwatch, StopwatchToggleIntent::kKey));
    reloadKinds({StopwatchToggleIntent::kKind});
}

void HabitToggleIntent::perform() const
{
    if (!isUuidString(habitID)) requireStored({QStringLiteral("\"%1\" is not a habit id (a UUID)").arg(habitID)});
    requireStored(ExtrasStore::toggleHabitToday(QUuid::fromString(habitID)));
    reloadKinds({kKind});
}

void AddWaterIntent::perform() const
{
    requireStored(ExtrasStore::addToCounter(kCounter, 1));
    reloadKinds({kKind});
}

void AddStepsIntent::perform() const
{
    requireStored(ExtrasStore::addToCounter(kCounter, steps));
    reloadKinds({kKind});
}

void MediaCommandIntent::perform() const
{
    if (command == kPlayPause) {
        if (std::optional<NowPlayingSnapshot> snapshot = MediaBridge::nowPlaying()) {
            const Date now = Clock::now();
            const qint64 elapsed = snapshot->isPlaying ? elapsedWholeSeconds(snapshot->updated, now) : 0;
            qint64 position = saturatingAdd(snapshot->positionSeconds, elapsed);
            // A track of unknown length (duration 0) keeps its position instead of jumping to 0.
            if (snapshot->durationSeconds > 0) position = std::min(position, snapshot->durationSeconds);
            snapshot->positionSeconds = position;
            snapshot->isPlaying = !snapshot->isPlaying;
            snapshot->updated = now;
            MediaBridge::setNowPlaying(*snapshot);
            timeline::WidgetCenter::shared().reloadTimelines(QString::fromLatin1(kinds::nowPlaying));
            timeline::WidgetCenter::shared().reloadTimelines(QString::fromLatin1(kinds::remote));
        }
    }
    DistributedNotifications().post(kNotificationPrefix + command);
}

void registerButtonIntents(intents::IntentRegistry& registry)
{
    registry.registerAction<FocusToggleIntent>();
    registry.registerAction<StopwatchToggleIntent>();
    registry.registerAction<StopwatchResetIntent>();
    registry.registerAction<HabitToggleIntent>();
    registry.registerAction<AddWaterIntent>();
    registry.registerAction<AddStepsIntent>();
    registry.registerAction<MediaCommandIntent>();
}

} // namespace velk
