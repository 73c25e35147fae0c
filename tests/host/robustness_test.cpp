// The host on an ordinary desktop: providers that answer nothing, too late or not at all, a
// clock set back, other writers of the placement file, a folder it cannot write.
#include "host/DesktopHost.h"
#include "host/PlacementCommands.h"
#include "host/WakeSchedule.h"
#include "host/WidgetHost.h"
#include "host/WidgetTimeline.h"
#include "host/WidgetWindow.h"
#include "host/Worker.h"

#include "platform/core/Clock.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QScreen>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <set>

using namespace velk;
using namespace velk::host;
using namespace velk::timeline;

namespace {

enum class Plain { plain };
VELK_APP_ENUM(Plain, "Surface", {Plain::plain, "plain", "Plain"})

struct Tick {
    qint64 n = 0;
    VELK_FIELDS(Tick, n)
};

// `mode` picks how the provider behaves: "ok" (one entry now, reload at end), "empty" (no
// entries, reload at end), "past" (one entry, a reload date two days ago), "soon" and "minute"
// (one entry now and the next 0.4 s or a minute later, reload at end), "block" (waits for
// g_unblock first).
struct ModeConfig {
    static constexpr const char* typeName = "ModeConfig";
    static constexpr const char* title = "Mode";
    Plain surface = Plain::plain;
    QString mode = "ok";
    static auto parameters()
    {
        return std::make_tuple(intents::parameter("surface", "Surface", &ModeConfig::surface),
                               intents::parameter("mode", "Mode", &ModeConfig::mode));
    }
};

using TickEntry = Entry<Tick, Plain>;
QSemaphore g_unblock;

struct ModeProvider {
    TickEntry placeholder(const TimelineContext&) const { return {Clock::now(), {0}, Plain::plain}; }
    TickEntry snapshot(const ModeConfig&, const TimelineContext&) const { return {Clock::now(), {0}, Plain::plain}; }
    Timeline<TickEntry> timeline(const ModeConfig& c, const TimelineContext&) const
    {
        const Date now = Clock::now();
        if (c.mode == "empty") return {{}, ReloadPolicy::atEnd()};
        if (c.mode == "past") return {{{now, {1}, Plain::plain}}, ReloadPolicy::after(now.addingSeconds(-2 * 86400))};
        if (c.mode == "soon" || c.mode == "minute")
            return {{{now, {1}, Plain::plain}, {now.addingSeconds(c.mode == "soon" ? 0.4 : 60), {2}, Plain::plain}},
                    ReloadPolicy::atEnd()};
        if (c.mode == "block") g_unblock.tryAcquire(1, test::kWaitLimitMs);
        return {{{now, {1}, Plain::plain}}, ReloadPolicy::atEnd()};
    }
};

WidgetDefinition modeWidget()
{
    return AppIntentConfiguration<ModeConfig>("velk.test.mode", ModeProvider{},
                                              [](const TickEntry& e) { return view::Text(QString::number(e.data.n)); })
        .configurationDisplayName("Mode");
}

QJsonObject readJson(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(f.readAll()).object() : QJsonObject();
}

} // namespace

TEST(HostTimersTest, NoEndlessAskingAndAClockSetBackAsksAtOnce)
{
    const Date t0(800000000);
    ClockPin pin(t0);
    WorkerPool pool;

    // An empty timeline has no end to reload at: it is asked again later, not never and not
    // at once.
    WidgetTimeline empty(modeWidget(), {{"mode", "empty"}}, designSize(WidgetFamily::small), &pool);
    empty.reevaluate();
    ASSERT_TRUE(test::waitFor([&] { return empty.hasTimeline() && !empty.isRunning(); }));
    EXPECT_EQ(empty.requestCount(), 1);
    ASSERT_TRUE(empty.nextWake());
    EXPECT_GT(*empty.nextWake(), t0.addingSeconds(60));

    // A reload date in the past is honoured once, then slowed down.
    WidgetTimeline past(modeWidget(), {{"mode", "past"}}, designSize(WidgetFamily::small), &pool);
    past.reevaluate();
    ASSERT_TRUE(test::waitFor([&] { return past.hasTimeline() && !past.isRunning(); }));
    EXPECT_EQ(past.requestCount(), 1);
    ASSERT_TRUE(past.nextWake());
    EXPECT_GT(*past.nextWake(), t0);
    EXPECT_LE(*past.nextWake(), t0.addingSeconds(5));

    // The clock is set back a day: the due reload is made now, not a day later.
    Clock::pin(t0.addingSeconds(-86400));
    past.reevaluate();
    EXPECT_EQ(past.requestCount(), 2);
    ASSERT_TRUE(test::waitFor([&] { return !past.isRunning(); }));
}

// The widgets share one timer, timed to the millisecond: an entry 0.4 s away is woken for at its
// moment; entries on the minute at the minute; a reload date is put off to the next whole
// minute, where the host wakes anyway, but a provider slowed down is not.
TEST(HostTimersTest, WidgetsShareOneTimerAndReloadsWaitForTheMinute)
{
    const Date minute0(800000040); // a whole minute of the epoch
    const Date t0 = minute0.addingSeconds(10);
    ClockPin pin(t0);
    WorkerPool pool;
    auto ready = [](WidgetTimeline& t) {
        t.reevaluate();
        return test::waitFor([&] { return t.hasTimeline() && !t.isRunning(); });
    };
    {
        WidgetTimeline soon(modeWidget(), {{"mode", "soon"}}, designSize(WidgetFamily::small), &pool);
        ASSERT_TRUE(ready(soon));
        EXPECT_EQ(soon.nextWake(), t0.addingSeconds(0.4));
        EXPECT_EQ(WakeSchedule::shared()->armedFor(), t0.addingSeconds(0.4));
    }
    EXPECT_FALSE(WakeSchedule::shared()->armedFor());

    Clock::pin(minute0.addingSeconds(60));
    const Date minute2 = minute0.addingSeconds(120);
    WidgetTimeline clock(modeWidget(), {{"mode", "minute"}}, designSize(WidgetFamily::small), &pool);
    ASSERT_TRUE(ready(clock));
    EXPECT_EQ(clock.nextWake(), minute2);

    Clock::pin(minute0.addingSeconds(110));
    WidgetTimeline empty(modeWidget(), {{"mode", "empty"}}, designSize(WidgetFamily::small), &pool);
    ASSERT_TRUE(ready(empty)); // asked again 15 minutes on, at the minute after
    EXPECT_EQ(empty.nextWake(), WakeSchedule::nextWholeMinute(minute0.addingSeconds(110 + 900)));
    EXPECT_EQ(empty.nextWake(), minute0.addingSeconds(1020));
    WidgetTimeline past(modeWidget(), {{"mode", "past"}}, designSize(WidgetFamily::small), &pool);
    ASSERT_TRUE(ready(past));
    EXPECT_EQ(past.nextWake(), minute0.addingSeconds(115));
    EXPECT_EQ(WakeSchedule::shared()->armedFor(), minute0.addingSeconds(115));
    EXPECT_EQ(WakeSchedule::shared()->pending(), 3);
    EXPECT_EQ(WakeSchedule::nextWholeMinute(minute2), minute2);
}

// The schedule wakes everything due at the moment it was set for in one pass, even when the
// wall clock lags the timer by a few milliseconds, and wakes nothing else.
TEST(HostTimersTest, OneWakeServesEveryoneDueAtItsMoment)
{
    const Date t0(800000000);
    ClockPin pin(t0);
    WakeSchedule schedule;
    QObject a, b, c;
    std::vector<std::pair<char, Date>> woken;
    schedule.set(&a, t0.addingSeconds(0.05), [&](Date at) { woken.emplace_back('a', at); });
    schedule.set(&b, t0.addingSeconds(0.05), [&](Date at) { woken.emplace_back('b', at); });
    schedule.set(&c, t0.addingSeconds(3600), [&](Date at) { woken.emplace_back('c', at); });
    schedule.set(&c, t0.addingSeconds(7200), [&](Date at) { woken.emplace_back('c', at); }); // replaces
    EXPECT_EQ(schedule.pending(), 3);
    EXPECT_EQ(schedule.armedFor(), t0.addingSeconds(0.05));
    // The pinned clock stands still: the timer ends 50 ms later by its own clock.
    ASSERT_TRUE(test::waitFor([&] { return woken.size() == 2; }));
    std::sort(woken.begin(), woken.end());
    EXPECT_EQ(woken[0], std::make_pair('a', t0.addingSeconds(0.05)));
    EXPECT_EQ(woken[1], std::make_pair('b', t0.addingSeconds(0.05)));
    EXPECT_EQ(schedule.armedFor(), t0.addingSeconds(7200));
    schedule.clear(&c);
    EXPECT_FALSE(schedule.armedFor());
}

// A timer that counts for a minute from its entry; the placeholder shows none.
WidgetDefinition timerWidget()
{
    return AppIntentConfiguration<ModeConfig>("velk.test.timer", ModeProvider{},
                                              [](const TickEntry& e) {
                                                  return e.data.n > 0
                                                             ? view::TimerText(e.date, e.date.addingSeconds(60))
                                                             : view::Text("idle");
                                              })
        .configurationDisplayName("Timer");
}

TEST(HostTimersTest, OnlyAWidgetWithARunningTimerRepaintsEverySecond)
{
    const Date t0(800000000);
    ClockPin pin(t0);
    WorkerPool pool;
    WidgetTimeline timeline(timerWidget(), {}, designSize(WidgetFamily::small), &pool);
    WidgetWindow window(Placement{"T", "velk.test.timer", QPoint(0, 0), 1, {}}, &timeline);
    EXPECT_FALSE(window.updatesEverySecond());
    window.show();
    timeline.reload();
    ASSERT_TRUE(test::waitFor([&] { return timeline.hasTimeline() && window.paintCount() > 0; }));
    // What is still to draw, drawn now: a window lays its entry out at its first paint.
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window, &request);
    EXPECT_TRUE(window.updatesEverySecond());
    // The tick after its end draws the final value and stops ticking.
    Clock::pin(t0.addingSeconds(61));
    window.rerender();
    EXPECT_FALSE(window.updatesEverySecond());
}

TEST(HostTimersTest, AProviderThatBlocksDoesNotHoldUpTheOthers)
{
    WorkerPool pool;
    pool.setMaxThreadCount(1);
    WidgetTimeline stuck(modeWidget(), {{"mode", "block"}}, designSize(WidgetFamily::small), &pool);
    WidgetTimeline other(modeWidget(), {{"mode", "ok"}}, designSize(WidgetFamily::small), &pool);
    stuck.setSlowAfterMs(50);
    stuck.reload();
    other.reload();
    EXPECT_TRUE(test::waitFor([&] { return other.hasTimeline(); }));
    EXPECT_TRUE(stuck.isRunning());
    g_unblock.release();
    ASSERT_TRUE(test::waitFor([&] { return stuck.hasTimeline(); }));
    // The pool is whole again once the slow one is done.
    EXPECT_TRUE(pool.waitForDone(test::kWaitLimitMs));
    EXPECT_EQ(pool.maxThreadCount(), 1);
}

// The pool's threads are made once and kept: work handed over long after the last does not
// make a thread anew, and a result comes back only while the object it was asked for lives.
TEST(HostWorkerTest, ThreadsAreKeptAndAResultForAGoneObjectIsDropped)
{
    WorkerPool pool;
    std::set<QThread*> threads;
    QMutex mutex;
    int delivered = 0;
    auto context = std::make_unique<QObject>();
    for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < 8; ++i)
            pool.run(
                context.get(),
                [&threads, &mutex, i] {
                    QMutexLocker lock(&mutex);
                    threads.insert(QThread::currentThread());
                    return i;
                },
                [&](const WorkResult<int>& r) {
                    EXPECT_TRUE(r.value);
                    EXPECT_EQ(QThread::currentThread(), QCoreApplication::instance()->thread());
                    ++delivered;
                });
        ASSERT_TRUE(test::waitFor([&] { return delivered == 8 * (round + 1); }));
        ASSERT_TRUE(test::waitFor([&] { return pool.activeThreadCount() == 0; })); // waitForDone would end the threads
    }
    EXPECT_LE(threads.size(), size_t(WorkerPool::kThreads));
    EXPECT_EQ(pool.expiryTimeout(), -1);

    // Thrown, and asked for by an object destroyed before the answer is taken in.
    QSemaphore started, release;
    bool thrownSeen = false;
    pool.run(
        context.get(), []() -> int { throw std::runtime_error("no data"); },
        [&](const WorkResult<int>& r) { thrownSeen = !r.value && r.error == "no data"; });
    ASSERT_TRUE(test::waitFor([&] { return thrownSeen; }));
    pool.run(
        context.get(),
        [&] {
            started.release();
            release.acquire();
            return 1;
        },
        [&](const WorkResult<int>&) { ++delivered; });
    started.acquire();
    context.reset();
    release.release();
    ASSERT_TRUE(pool.waitForDone(test::kWaitLimitMs));
    QCoreApplication::processEvents();
    EXPECT_EQ(delivered, 24);
}

class HostFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bundle.add(modeWidget())); }

public:
    QTemporaryDir dir;
    WidgetBundle bundle;
    intents::IntentRegistry registry;
};

TEST_F(HostFileTest, ChangesOtherWritersMakeWhileTheHostRunsAreKept)
{
    const PlacementStore store(dir.filePath("velk/widgets.json"));
    WidgetHost host(bundle, registry, store);
    EXPECT_TRUE(host.start().isEmpty());
    const QString mine = host.addWidget("velk.test.mode", QPoint(10, 10));

    // `velk-widgets add` with no bus to reach the host: it edits the file.
    auto addOffline = [&] {
        QString o, e;
        QTextStream out(&o), err(&e);
        HostCommand add;
        add.verb = Verb::add;
        add.target = "velk.test.mode";
        EXPECT_EQ(runPlacementCommand(add, bundle, store, out, err, false), 0) << e.toStdString();
        return o.trimmed();
    };
    const QString second = addOffline();
    host.syncFromDisk();
    EXPECT_NE(host.window(second), nullptr);

    // Another one lands just before the host writes a move of its own: both stay.
    const QString third = addOffline();
    host.moveWidget(mine, QPoint(300, 200));
    const auto onDisk = store.load().placements;
    ASSERT_EQ(onDisk.size(), 3u);
    EXPECT_EQ(onDisk[0].position, QPoint(300, 200));
    EXPECT_EQ(onDisk[2].id, third);
    EXPECT_NE(host.window(third), nullptr);
    EXPECT_EQ(host.placements(), onDisk);

    // Removed elsewhere: its window goes.
    QString o, e;
    QTextStream out(&o), err(&e);
    HostCommand remove;
    remove.verb = Verb::remove;
    remove.target = second;
    ASSERT_EQ(runPlacementCommand(remove, bundle, store, out, err, false), 0);
    host.syncFromDisk();
    EXPECT_EQ(host.window(second), nullptr);
    EXPECT_EQ(host.placements().size(), 2u);
}

// An editor that writes the file in place (no rename the folder would see).
TEST_F(HostFileTest, AnInPlaceEditOfThePlacementFileIsSeen)
{
    // Written before the host starts, with the screen it will see, so the folder sees no
    // change once it runs.
    const PlacementStore store(dir.filePath("velk/widgets.json"));
    const QString mine = "MINE";
    std::vector<Placement> edited = {{mine, "velk.test.mode", QPoint(10, 10), 1, {}}};
    const QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_TRUE(store.save(edited, nullptr, screen ? std::optional(screen->availableGeometry()) : std::nullopt));
    WidgetHost host(bundle, registry, store);
    EXPECT_TRUE(host.start().isEmpty());
    ASSERT_NE(host.window(mine), nullptr);
    edited = store.load().placements;
    edited.push_back({"EDITED", "velk.test.mode", QPoint(400, 10), 1, {}});
    QFile f(store.path());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite | QIODevice::Truncate));
    f.write(serializePlacements(edited));
    f.close();
    EXPECT_TRUE(test::waitFor([&] { return host.window("EDITED") != nullptr; }));
    EXPECT_NE(host.window(mine), nullptr);
}

TEST_F(HostFileTest, MembersANewerVersionWroteSurviveTheHostsWrites)
{
    const QString path = dir.filePath("widgets.json");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(R"({"version": 3, "grid": {"snap": 8},
                "widgets": [{"id": "A", "kind": "velk.test.mode", "x": 1, "y": 2, "locked": true, "stack": ["B"]}]})");
    f.close();
    WidgetHost host(bundle, registry, PlacementStore(path));
    EXPECT_TRUE(host.start().isEmpty());
    host.moveWidget("A", QPoint(40, 50));
    const QJsonObject file = readJson(path);
    EXPECT_EQ(file["version"].toInt(), 3);
    EXPECT_EQ(file["grid"].toObject()["snap"].toInt(), 8);
    const QJsonObject widget = file["widgets"].toArray().at(0).toObject();
    EXPECT_EQ(widget["x"].toInt(), 40);
    EXPECT_TRUE(widget["locked"].toBool());
    EXPECT_EQ(widget["stack"].toArray().at(0).toString(), "B");
}

TEST_F(HostFileTest, AFolderThatCannotBeWrittenKeepsWidgetsShownAndSaysWhy)
{
    // procfs refuses new files even to root.
    const PlacementStore store("/proc/velk-test/widgets.json");
    WidgetHost host(bundle, registry, store);
    EXPECT_TRUE(host.start().isEmpty());
    const QString id = host.addWidget("velk.test.mode");
    EXPECT_NE(host.window(id), nullptr);
    EXPECT_TRUE(host.saveError().startsWith("cannot write /proc/velk-test/widgets.json"))
        << host.saveError().toStdString();

    QString o, e;
    QTextStream out(&o), err(&e);
    HostCommand add;
    add.verb = Verb::add;
    add.target = "velk.test.mode";
    EXPECT_EQ(runPlacementCommand(add, bundle, store, out, err, false), 1);
    EXPECT_EQ(e.count('\n'), 1) << e.toStdString();
}

// An app that saves often sends a reload per save: those that come while one waits are the same
// reload, made once, and each widget's provider is asked once for the whole burst.
TEST_F(HostFileTest, ABurstOfReloadsAsksEachProviderOnce)
{
    WidgetHost host(bundle, registry, PlacementStore(dir.filePath("widgets.json")));
    EXPECT_TRUE(host.start().isEmpty());
    const QString a = host.addWidget("velk.test.mode", QPoint(10, 10));
    const QString b = host.addWidget("velk.test.mode", QPoint(200, 10));
    auto idle = [&] {
        return test::waitFor([&] {
            return host.timeline(a)->hasTimeline() && !host.timeline(a)->isRunning() &&
                   host.timeline(b)->hasTimeline() && !host.timeline(b)->isRunning();
        });
    };
    ASSERT_TRUE(idle());
    const int askedA = host.timeline(a)->requestCount();
    const int askedB = host.timeline(b)->requestCount();
    for (int i = 0; i < 200; ++i) {
        host.reloadTimelines("velk.test.mode");
        if (i % 20 == 0) host.reloadAllTimelines();
    }
    ASSERT_TRUE(test::waitFor([&] { return host.timeline(a)->requestCount() > askedA; }));
    ASSERT_TRUE(idle());
    EXPECT_EQ(host.timeline(a)->requestCount(), askedA + 1);
    EXPECT_EQ(host.timeline(b)->requestCount(), askedB + 1);
}

TEST(DesktopHostTest, NoDisplayIsNamedBeforeQtWouldAbort)
{
    struct Case {
        QStringList vars;
        bool ok;
    };
    for (const Case& c : {Case{{}, false}, Case{{"DISPLAY=:0"}, true}, Case{{"WAYLAND_DISPLAY=wayland-0"}, true},
                          Case{{"QT_QPA_PLATFORM=offscreen"}, true}, Case{{"DISPLAY="}, false}}) {
        QProcessEnvironment env;
        for (const QString& v : c.vars)
            env.insert(v.section('=', 0, 0), v.section('=', 1));
        EXPECT_EQ(missingDisplay(env).isEmpty(), c.ok) << c.vars.join(' ').toStdString();
    }
}
