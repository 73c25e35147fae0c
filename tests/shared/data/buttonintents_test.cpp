#include "shared/data/activity/ButtonIntents.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/DistributedNotifications.h"
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/activity/ExtrasStoreActivity.h"
#include "shared/data/media/MediaBridge.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QJsonDocument>
#include <QUuid>
#include <gtest/gtest.h>
#include <limits>

using namespace velk;

namespace {

const Date kNow = Date(762'000'000.25); // 2025-02-24, a Monday, 10:40 UTC

QJsonObject params(const char* json) { return QJsonDocument::fromJson(json).object(); }

// Runs actions the way the host does: by type name, with parameter values from JSON, against
// the real suite, recording the reloads they ask for.
class ButtonIntentsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults suite = Defaults::shared();
        for (const QString& key : suite.keys()) suite.remove(key);
        registerButtonIntents(registry_);
    }

    void run(const QString& type, const QJsonObject& parameters = {})
    {
        const auto result = registry_.run(type, parameters);
        ASSERT_TRUE(result.ok) << result.error.toStdString();
    }
    template <class T>
    static std::optional<T> stored(const QString& key)
    {
        return ExtrasStore::read<T>(key);
    }

    intents::IntentRegistry registry_;
    timeline::WidgetCenterRecorder reloads_;
    ClockPin clock_{kNow};
};

// Names posted on the session bus while it lives.
class PostedNames {
public:
    PostedNames()
    {
        if (!bus_.isConnected()) return;
        for (const QString& name : {kReloadWidgetsNotification, MediaCommandIntent::kNotificationPrefix + "playpause",
                                    MediaCommandIntent::kNotificationPrefix + "next",
                                    MediaCommandIntent::kNotificationPrefix + "shuffle"})
            bus_.observe(name, &context_, [this, name] { names_.append(name); });
        // Earlier tests posted on this bus too, and what they posted may not have been
        // delivered yet: wait for a marker of our own, which the bus delivers after them.
        const QString marker = QStringLiteral("velk.test.barrier.") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        bool seen = false;
        QObject* barrier = bus_.observe(marker, &context_, [&seen] { seen = true; });
        bus_.post(marker);
        QDeadlineTimer deadline(5000);
        while (!seen && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        delete barrier;
        names_.clear();
    }
    bool available() const { return bus_.isConnected(); }
    // Everything posted so far, once the expected count has arrived and a little more time
    // has passed for any extra posts.
    QStringList settle(qsizetype expected)
    {
        QDeadlineTimer deadline(5000);
        while (names_.size() < expected && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QDeadlineTimer grace(200);
        while (!grace.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return names_;
    }

private:
    DistributedNotifications bus_;
    QObject context_;
    QStringList names_;
};

} // namespace

TEST_F(ButtonIntentsTest, EveryActionIsRegisteredWithItsTitleAndDefaults)
{
    struct Case {
        const char* type;
        const char* title;
        QJsonObject parameters; // name -> default
    };
    for (const Case& c : {
             Case{"FocusToggleIntent", "Start or Stop Focus", {}},
             Case{"StopwatchToggleIntent", "Start or Lap Stopwatch", {}},
             Case{"StopwatchResetIntent", "Reset Stopwatch", {}},
             Case{"HabitToggleIntent", "Check In Habit", {{"habitID", ""}}},
             Case{"AddWaterIntent", "Log a Glass of Water", {}},
             Case{"AddStepsIntent", "Log Steps", {{"steps", 1000}}},
             Case{"MediaCommandIntent", "Control Music", {{"command", "playpause"}}},
         }) {
        const auto d = registry_.description(c.type);
        ASSERT_TRUE(d) << c.type;
        EXPECT_FALSE(d->configuration);
        EXPECT_EQ(d->title, c.title);
        QJsonObject defaults;
        for (const auto& p : d->parameters) defaults.insert(p.name, p.defaultValue);
        EXPECT_EQ(defaults, c.parameters) << c.type;
    }
    EXPECT_EQ(registry_.typeNames().size(), 7);
}

TEST_F(ButtonIntentsTest, FocusStartsStopsAndRestartsAnEndedSession)
{
    run("FocusToggleIntent");
    EXPECT_EQ(stored<FocusSession>(FocusToggleIntent::kKey), (FocusSession{kNow.addingSeconds(1500), 25}));
    run("FocusToggleIntent");
    EXPECT_EQ(stored<FocusSession>(FocusToggleIntent::kKey), (FocusSession{std::nullopt, 25}));

    // A session that ended a minute ago is not running: the tap starts a new one.
    ExtrasStore::write(FocusSession{kNow.addingSeconds(-60), 10}, FocusToggleIntent::kKey);
    run("FocusToggleIntent");
    EXPECT_EQ(stored<FocusSession>(FocusToggleIntent::kKey), (FocusSession{kNow.addingSeconds(600), 10}));
    EXPECT_EQ(reloads_.kinds(), QStringList(3, "velk.focus.timer"));
}

TEST_F(ButtonIntentsTest, FocusMinutesBeyondRangeSaturate)
{
    ExtrasStore::write(FocusSession{std::nullopt, std::numeric_limits<qint64>::max()}, FocusToggleIntent::kKey);
    run("FocusToggleIntent");
    const auto session = stored<FocusSession>(FocusToggleIntent::kKey);
    ASSERT_TRUE(session && session->endDate);
    EXPECT_EQ(*session->endDate, kNow.addingSeconds(double(std::numeric_limits<qint64>::max())));
}

TEST_F(ButtonIntentsTest, StopwatchLapsCountFromTheStartAndAStartClearsOldLaps)
{
    ExtrasStore::write(StopwatchState{std::nullopt, {3.0, 4.0}}, StopwatchToggleIntent::kKey);
    run("StopwatchToggleIntent");
    EXPECT_EQ(stored<StopwatchState>(StopwatchToggleIntent::kKey), (StopwatchState{kNow, {}}));
    Clock::pin(kNow.addingSeconds(12.5));
    run("StopwatchToggleIntent");
    Clock::pin(kNow.addingSeconds(22.5));
    run("StopwatchToggleIntent");
    EXPECT_EQ(stored<StopwatchState>(StopwatchToggleIntent::kKey), (StopwatchState{kNow, {12.5, 22.5}}));

    run("StopwatchResetIntent");
    EXPECT_EQ(Defaults::shared().data(StopwatchToggleIntent::kKey), QByteArray(R"({"laps":[]})"));
    EXPECT_EQ(reloads_.kinds(), QStringList(4, "velk.stopwatch"));
}

TEST_F(ButtonIntentsTest, HabitToggleNeedsAUuid)
{
    const HabitItem run(QStringLiteral("Run"));
    ExtrasStore::write(std::vector<HabitItem>{run}, ExtrasStoreActivity::kHabitsKey);
    const QByteArray before = *Defaults::shared().data(ExtrasStoreActivity::kHabitsKey);

    const QString runID = run.id.toString(QUuid::WithoutBraces);
    for (const QString& bad : {QString(), QStringLiteral("not-a-uuid"),
                               QStringLiteral("{00000000-0000-0000-0000-000000000000}"), runID + "\n", " " + runID}) {
        this->run("HabitToggleIntent", {{"habitID", bad}});
        this->run("HabitToggleIntent", {});
    }
    EXPECT_TRUE(reloads_.kinds().isEmpty());

    // A well-formed id of no habit changes nothing, yet the widget is reloaded.
    this->run("HabitToggleIntent", {{"habitID", QUuid::createUuid().toString(QUuid::WithoutBraces)}});
    EXPECT_EQ(Defaults::shared().data(ExtrasStoreActivity::kHabitsKey), before);
    EXPECT_EQ(reloads_.kinds(), QStringList{"velk.habits.week"});

    // Either case names the habit.
    this->run("HabitToggleIntent", {{"habitID", run.id.toString(QUuid::WithoutBraces).toLower()}});
    const auto habits = stored<std::vector<HabitItem>>(ExtrasStoreActivity::kHabitsKey);
    ASSERT_TRUE(habits);
    EXPECT_EQ(habits->at(0).checkins, std::set<QString>{ExtrasStore::dayKey(kNow)});
}

TEST_F(ButtonIntentsTest, WaterAndStepsAddToTodaysCounters)
{
    run("AddWaterIntent");
    run("AddWaterIntent");
    run("AddStepsIntent");
    run("AddStepsIntent", params(R"({"steps": 250})"));
    EXPECT_EQ(ExtrasStoreActivity::counter("water", 8).value, 2);
    EXPECT_EQ(ExtrasStoreActivity::counter("steps", 10000).value, 1250);
    EXPECT_EQ(reloads_.kinds(), QStringList({"velk.water", "velk.water", "velk.steps", "velk.steps"}));

    // A parameter of the wrong type does not run at all.
    reloads_.clear();
    for (const char* bad : {R"({"steps": "many"})", R"({"steps": 2.5})"})
        EXPECT_FALSE(registry_.run("AddStepsIntent", params(bad)).ok) << bad;
    EXPECT_EQ(ExtrasStoreActivity::counter("steps", 10000).value, 1250);
    EXPECT_TRUE(reloads_.kinds().isEmpty());
}

TEST_F(ButtonIntentsTest, PlayPauseMovesThePositionOnAndFlipsPlaying)
{
    const NowPlayingSnapshot base{"Song", "Band", 100, 180, true, kNow.addingSeconds(-120.9)};
    struct Case {
        const char* what;
        qint64 position;
        qint64 duration;
        bool playing;
        double age;
        qint64 expected;
    };
    constexpr qint64 kMax = std::numeric_limits<qint64>::max();
    for (const Case& c : {
             Case{"capped at the end", 100, 180, true, 120.9, 180},
             Case{"whole seconds only", 100, 300, true, 120.9, 220},
             Case{"paused keeps its place", 100, 180, false, 120.9, 100},
             Case{"updated in the future", 100, 180, true, -30, 100},
             Case{"unknown length keeps counting", 100, 0, true, 120.9, 220},
             Case{"saturates", kMax - 10, 0, true, 120.9, kMax},
         }) {
        NowPlayingSnapshot before = base;
        before.positionSeconds = c.position;
        before.durationSeconds = c.duration;
        before.isPlaying = c.playing;
        before.updated = kNow.addingSeconds(-c.age);
        MediaBridge::setNowPlaying(before);
        reloads_.clear();

        run("MediaCommandIntent");
        NowPlayingSnapshot after = before;
        after.positionSeconds = c.expected;
        after.isPlaying = !c.playing;
        after.updated = kNow;
        EXPECT_EQ(MediaBridge::nowPlaying(), after) << c.what;
        EXPECT_EQ(reloads_.kinds(), QStringList({"velk.nowplaying", "velk.remote"})) << c.what;
    }
}

TEST_F(ButtonIntentsTest, MediaCommandsArePostedForTheApp)
{
    PostedNames posted;
    const NowPlayingSnapshot snapshot{"Song", "Band", 10, 180, true, kNow.addingSeconds(-5)};

    // No snapshot: nothing to update or reload, but the player still gets the command.
    run("MediaCommandIntent", params(R"({"command": "playpause"})"));
    EXPECT_FALSE(MediaBridge::nowPlaying());
    EXPECT_TRUE(reloads_.reloads().empty());

    // Other commands, known or not, leave the snapshot to the app.
    MediaBridge::setNowPlaying(snapshot);
    run("MediaCommandIntent", params(R"({"command": "next"})"));
    run("MediaCommandIntent", params(R"({"command": "shuffle"})"));
    EXPECT_EQ(MediaBridge::nowPlaying(), snapshot);
    EXPECT_TRUE(reloads_.reloads().empty());

    if (!posted.available()) GTEST_SKIP() << "no session bus";
    const QString prefix = MediaCommandIntent::kNotificationPrefix;
    EXPECT_EQ(posted.settle(3), QStringList({prefix + "playpause", prefix + "next", prefix + "shuffle"}));
}

TEST_F(ButtonIntentsTest, SuiteChangesAreAnnouncedToTheApp)
{
    PostedNames posted;
    if (!posted.available()) GTEST_SKIP() << "no session bus";
    run("AddWaterIntent");
    run("StopwatchResetIntent");
    run("HabitToggleIntent", {{"habitID", "nope"}});
    EXPECT_EQ(posted.settle(2), QStringList(2, kReloadWidgetsNotification));
}
