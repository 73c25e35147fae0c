#pragma once
// The actions behind the buttons of the interactive widgets. Each changes at most one value in
// the shared suite, then has the affected widgets rebuilt; the music command also asks the app
// to pass the command on to the player. None reports an error to its widget: bad or missing
// stored values fall back to the defaults below. A change that cannot be stored throws
// StoreWriteError (ExtrasStore.h), so whoever ran the action can say the write failed.
#include "platform/intents/Intent.h"
#include "shared/widget/WidgetKinds.h"

#include <QString>
#include <tuple>

namespace velk::intents {
class IntentRegistry;
}

namespace velk {

struct FocusToggleIntent {
    static constexpr const char* typeName = "FocusToggleIntent";
    static constexpr const char* title = "Start or Stop Focus";
    static constexpr qint64 kDefaultMinutes = 25;
    static inline const QString kKey = QStringLiteral("velk.focus.v1");
    static inline const QString kKind = QString::fromLatin1(kinds::focus);

    static auto parameters() { return std::make_tuple(); }
    // Stops a running session; otherwise (also when the last one has ended) starts one.
    void perform() const;
};

struct StopwatchToggleIntent {
    static constexpr const char* typeName = "StopwatchToggleIntent";
    static constexpr const char* title = "Start or Lap Stopwatch";
    static inline const QString kKey = QStringLiteral("velk.stopwatch.v1");
    static inline const QString kKind = QString::fromLatin1(kinds::stopwatch);

    static auto parameters() { return std::make_tuple(); }
    // Takes a lap (seconds since the start) while running; otherwise starts afresh, no laps.
    void perform() const;
};

struct StopwatchResetIntent {
    static constexpr const char* typeName = "StopwatchResetIntent";
    static constexpr const char* title = "Reset Stopwatch";

    static auto parameters() { return std::make_tuple(); }
    void perform() const;
};

struct HabitToggleIntent {
    static constexpr const char* typeName = "HabitToggleIntent";
    static constexpr const char* title = "Check In Habit";
    static inline const QString kKind = QString::fromLatin1(kinds::habits);

    QString habitID; // a habit's UUID in its 36-character form

    HabitToggleIntent() = default;
    explicit HabitToggleIntent(QString habitID) : habitID(std::move(habitID)) {}

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("habitID", "Habit ID", &HabitToggleIntent::habitID));
    }
    // An id that is not a UUID, or names no habit, changes nothing, reloads nothing and fails.
    void perform() const;
};

struct AddWaterIntent {
    static constexpr const char* typeName = "AddWaterIntent";
    static constexpr const char* title = "Log a Glass of Water";
    static inline const QString kCounter = QStringLiteral("water");
    static inline const QString kKind = QString::fromLatin1(kinds::water);

    static auto parameters() { return std::make_tuple(); }
    void perform() const;
};

struct AddStepsIntent {
    static constexpr const char* typeName = "AddStepsIntent";
    static constexpr const char* title = "Log Steps";
    static inline const QString kCounter = QStringLiteral("steps");
    static inline const QString kKind = QString::fromLatin1(kinds::steps);

    qint64 steps = 1000;

    static auto parameters() { return std::make_tuple(intents::parameter("steps", "Steps", &AddStepsIntent::steps)); }
    void perform() const;
};

struct MediaCommandIntent {
    static constexpr const char* typeName = "MediaCommandIntent";
    static constexpr const char* title = "Control Music";
    static inline const QString kPlayPause = QStringLiteral("playpause");
    // Followed by the command, this names the notification the app turns into a player command.
    static inline const QString kNotificationPrefix = QStringLiteral("com.harrowcrest.velk.media.");

    QString command = kPlayPause; // "playpause", "next" or "previous"

    MediaCommandIntent() = default;
    explicit MediaCommandIntent(QString command) : command(std::move(command)) {}

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("command", "Command", &MediaCommandIntent::command));
    }
    // Play/pause also flips the stored now-playing snapshot at once, so the widgets show the
    // change before the app's next reading of the player.
    void perform() const;
};

// Registers every intent above by type name, so the host can run a button's action (or any
// of them from the command line).
void registerButtonIntents(intents::IntentRegistry& registry);

} // namespace velk
