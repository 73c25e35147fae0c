#include "shared/data/activity/ButtonIntents.h"

#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/core/DistributedNotifications.h"
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/data/activity/ExtrasStoreActivity.h"
#include "shared/data/media/MediaBridge.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QUuid>
#include <csignal>
#include <gtest/gtest.h>
#include <limits>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velk;

namespace {

const Date kNow = Date(762'000'000.25); // 2025-02-24, a Monday, 10:40 UTC

QJsonObject params(const char* json)
{
    return QJsonDocument::fromJson(json).object();
}

// Runs actions the way the host does: by type name, with parameter values from JSON, against
// the real suite, recording the reloads they ask for.
class ButtonIntentsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults suite = Defaults::shared();
        for (const QString& key : suite.keys())
            suite.remove(key);
        registerButtonIntents(registry_);
    }

    void run(const QString& type, const QJsonObject& parameters = {})
    {
        const auto result = registry_.run(type, parameters);
        ASSERT_TRUE(result.ok) << result.error.toStdString();
    }
    // The reason an action gave for changing nothing, or empty when it did not fail.
    QString failure(const QString& type, const QJsonObject& parameters = {})
    {
        try {
            registry_.run(type, parameters);
        } catch (const StoreWriteError& e) {
            return QString::fromUtf8(e.what());
        }
        return {};
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
        for (const QString& name :
             {kReloadWidgetsNotification, MediaCommandIntent::kNotificationPrefix + "playpause",
              MediaCommandIntent::kNotificationPrefix + "next", MediaCommandIntent::kNotificationPrefix + "shuffle"})
            bus_.observe(name, &context_, [this, name] { names_.append(name); });
        // Earlier tests posted on this bus too, and what they posted may not have been
        // delivered yet: wait for a marker of our own, which the bus delivers after them.
        awaitMarker();
        names_.clear();
    }
    bool available() const { return bus_.isConnected(); }
    // Everything posted so far: the posts come from this process's bus connection, so a marker
    // posted now arrives after every one of them, extra ones included.
    QStringList settle()
    {
        awaitMarker();
        return names_;
    }

private:
    void awaitMarker()
    {
        const QString marker =
            QStringLiteral("velk.test.barrier.") + QUuid::createUuid().toString(QUuid::WithoutBraces);
        bool seen = false;
        QObject* barrier = bus_.observe(marker, &context_, [&seen] { seen = true; });
        bus_.post(marker);
        EXPECT_TRUE(velk::test::waitFor([&] { return seen; })) << "the bus never delivered the marker";
        delete barrier;
    }

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
        for (const auto& p : d->parameters)
            defaults.insert(p.name, p.defaultValue);
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
    ExtrasStore::write(std::vector<HabitItem>{run}, ExtrasStore::kHabitsKey);
    const QByteArray before = *Defaults::shared().data(ExtrasStore::kHabitsKey);

    const QString runID = run.id.toString(QUuid::WithoutBraces);
    for (const QString& bad : {QString(), QStringLiteral("not-a-uuid"),
                               QStringLiteral("{00000000-0000-0000-0000-000000000000}"), runID + "\n", " " + runID}) {
        EXPECT_EQ(failure("HabitToggleIntent", {{"habitID", bad}}),
                  QString("\"%1\" is not a habit id (a UUID)").arg(bad));
        EXPECT_FALSE(failure("HabitToggleIntent", {}).isEmpty());
    }

    // A well-formed id of no habit changes nothing and fails too; neither is news for the widget.
    const QString stranger = QUuid::createUuid().toString(QUuid::WithoutBraces);
    EXPECT_EQ(failure("HabitToggleIntent", {{"habitID", stranger}}), "no habit has the id " + stranger);
    EXPECT_EQ(Defaults::shared().data(ExtrasStore::kHabitsKey), before);
    EXPECT_TRUE(reloads_.kinds().isEmpty());

    // A stored list this version cannot read is left alone, and the tap says so.
    const QByteArray unreadable = R"([{"name":"Run","checkins":[]}])"; // no id
    Defaults::shared().setData(ExtrasStore::kHabitsKey, unreadable);
    EXPECT_TRUE(failure("HabitToggleIntent", {{"habitID", runID}}).contains("cannot be read"));
    EXPECT_EQ(Defaults::shared().data(ExtrasStore::kHabitsKey), unreadable);
    Defaults::shared().setData(ExtrasStore::kHabitsKey, before);

    // Either case names the habit.
    this->run("HabitToggleIntent", {{"habitID", run.id.toString(QUuid::WithoutBraces).toLower()}});
    const auto habits = stored<std::vector<HabitItem>>(ExtrasStore::kHabitsKey);
    ASSERT_TRUE(habits);
    EXPECT_EQ(habits->at(0).checkins, std::set<QString>{ExtrasStore::dayKey(kNow)});
}

TEST_F(ButtonIntentsTest, WaterAndStepsAddToTodaysCounters)
{
    run("AddWaterIntent");
    run("AddWaterIntent");
    run("AddStepsIntent");
    run("AddStepsIntent", params(R"({"steps": 250})"));
    EXPECT_EQ(ExtrasStore::counter("water", 8).value, 2);
    EXPECT_EQ(ExtrasStore::counter("steps", 10000).value, 1250);
    EXPECT_EQ(reloads_.kinds(), QStringList({"velk.water", "velk.water", "velk.steps", "velk.steps"}));

    // A parameter of the wrong type does not run at all.
    reloads_.clear();
    for (const char* bad : {R"({"steps": "many"})", R"({"steps": 2.5})"})
        EXPECT_FALSE(registry_.run("AddStepsIntent", params(bad)).ok) << bad;
    EXPECT_EQ(ExtrasStore::counter("steps", 10000).value, 1250);
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
    EXPECT_EQ(posted.settle(), QStringList({prefix + "playpause", prefix + "next", prefix + "shuffle"}));
}

TEST_F(ButtonIntentsTest, SuiteChangesAreAnnouncedToTheApp)
{
    PostedNames posted;
    if (!posted.available()) GTEST_SKIP() << "no session bus";
    run("AddWaterIntent");
    run("StopwatchResetIntent");
    EXPECT_FALSE(failure("HabitToggleIntent", {{"habitID", "nope"}}).isEmpty());
    EXPECT_EQ(posted.settle(), QStringList(2, kReloadWidgetsNotification));
}

namespace {

// Counters whose change cannot be stored: the action throws, so `run-intent` and the host's log
// say the write failed, and nothing lands in another file. Each case gets a data root of its
// own, since the process keeps every suite it has opened.
class CounterWriteFailureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        previous_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", previous_); }

    QString root() const { return home_.path() + QStringLiteral("/velk"); }
    QString suiteFile() const
    {
        return root() + QLatin1Char('/') + Defaults::kAppGroupSuite + QStringLiteral(".sqlite");
    }

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir home_;
    QByteArray previous_;
    ClockPin clock_{kNow};
    timeline::WidgetCenterRecorder reloads_;
};

} // namespace

TEST_F(CounterWriteFailureTest, ADamagedSharedSuiteFailsAndNoOtherFileTakesTheCount)
{
    ASSERT_TRUE(QDir().mkpath(root()));
    const QByteArray junk = QByteArray("these are someone's notes, not a database\n").repeated(100);
    {
        QFile f(suiteFile());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
    }
    EXPECT_THROW(AddWaterIntent{}.perform(), StoreWriteError);
    EXPECT_THROW(HabitToggleIntent(HabitItem::samples()[0].id.toString(QUuid::WithoutBraces)).perform(),
                 StoreWriteError);
    EXPECT_EQ(contents(suiteFile()), junk);
    EXPECT_EQ(QDir(root()).entryList(QDir::Files), QStringList({QFileInfo(suiteFile()).fileName()}));
    EXPECT_TRUE(reloads_.reloads().empty()); // nothing changed, nothing to show
}

TEST_F(CounterWriteFailureTest, AFolderThatCannotBeMadeFails)
{
    QFile blocker(home_.path() + QStringLiteral("/file"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_DATA_HOME", blocker.fileName().toUtf8()); // the data root would be inside a file
    try {
        AddStepsIntent{}.perform();
        ADD_FAILURE() << "the steps were reported stored";
    } catch (const StoreWriteError& e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("cannot be opened")) << e.what();
    }
    EXPECT_EQ(ExtrasStore::counter(AddStepsIntent::kCounter, 1).value, 0);
}

// A full disk, as a file size limit in a child process (SIGXFSZ ignored, so the write fails
// with EFBIG instead of killing it): the tap fails and the stored count stays.
TEST_F(CounterWriteFailureTest, AFullDiskFailsAndKeepsTheCount)
{
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        // This data root was never opened by the parent: the child's connection is its own.
        if (!ExtrasStore::addToCounter(AddWaterIntent::kCounter, 1)) ::_exit(10);
        qint64 largest = 0;
        for (const QFileInfo& file : QDir(root()).entryInfoList(QDir::Files))
            largest = std::max(largest, file.size());
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(largest), rlim_t(largest)};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(11);
        // Some taps may still fit in pages the files already have; enough of them outgrow it.
        // (No successful perform() here: its reload would reach for the bus, which a forked
        // child must not touch.)
        int fitted = 0;
        while (fitted < 500 && ExtrasStore::addToCounter(AddWaterIntent::kCounter, 1))
            ++fitted;
        if (fitted == 500) ::_exit(12);
        const qint64 stored = ExtrasStore::counter(AddWaterIntent::kCounter, 1).value;
        if (stored != 1 + fitted) ::_exit(13);
        try {
            AddWaterIntent{}.perform();
            ::_exit(14);
        } catch (const StoreWriteError&) {}
        ::_exit(ExtrasStore::counter(AddWaterIntent::kCounter, 1).value == stored ? 0 : 15);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
