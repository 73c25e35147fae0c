// The host on an ordinary desktop: providers that answer nothing, too late or not at all, a
// clock set back, other writers of the placement file, a folder it cannot write.
#include "host/DesktopHost.h"
#include "host/PlacementCommands.h"
#include "host/WidgetHost.h"
#include "host/WidgetTimeline.h"
#include "host/WidgetWindow.h"

#include "platform/core/Clock.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThreadPool>
#include <gtest/gtest.h>

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
    QThreadPool pool;

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

// The next entry a minute away is waited for in whole seconds; one under half a second away is
// timed to the millisecond, since a whole-second timer would fire at once, again and again.
TEST(HostTimersTest, TheLastStretchBeforeAnEntryIsTimedToTheMillisecond)
{
    const Date t0(800000000);
    ClockPin pin(t0);
    QThreadPool pool;
    for (const auto& [mode, type] : {std::pair{"soon", Qt::PreciseTimer}, std::pair{"minute", Qt::VeryCoarseTimer}}) {
        SCOPED_TRACE(mode);
        WidgetTimeline timeline(modeWidget(), {{"mode", mode}}, designSize(WidgetFamily::small), &pool);
        timeline.reevaluate();
        ASSERT_TRUE(test::waitFor([&] { return timeline.hasTimeline() && !timeline.isRunning(); }));
        ASSERT_TRUE(timeline.nextWake());
        EXPECT_EQ(*timeline.nextWake(), t0.addingSeconds(QLatin1String(mode) == "soon" ? 0.4 : 60));
        EXPECT_EQ(timeline.wakeTimerType(), type);
    }
}

// A timer that counts for a minute from its entry; the placeholder shows none.
WidgetDefinition timerWidget()
{
    return AppIntentConfiguration<ModeConfig>("velk.test.timer", ModeProvider{}, [](const TickEntry& e) {
               return e.data.n > 0 ? view::TimerText(e.date, e.date.addingSeconds(60)) : view::Text("idle");
           })
        .configurationDisplayName("Timer");
}

TEST(HostTimersTest, OnlyAWidgetWithARunningTimerRepaintsEverySecond)
{
    const Date t0(800000000);
    ClockPin pin(t0);
    QThreadPool pool;
    WidgetTimeline timeline(timerWidget(), {}, designSize(WidgetFamily::small), &pool);
    WidgetWindow window(Placement{"T", "velk.test.timer", QPoint(0, 0), 1, {}}, &timeline);
    EXPECT_FALSE(window.updatesEverySecond());
    timeline.reload();
    ASSERT_TRUE(test::waitFor([&] { return timeline.hasTimeline(); }));
    EXPECT_TRUE(window.updatesEverySecond());
    // The tick after its end draws the final value and stops ticking.
    Clock::pin(t0.addingSeconds(61));
    window.rerender();
    EXPECT_FALSE(window.updatesEverySecond());
}

TEST(HostTimersTest, AProviderThatBlocksDoesNotHoldUpTheOthers)
{
    QThreadPool pool;
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

class HostFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(bundle.add(modeWidget())); }
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
    EXPECT_TRUE(host.saveError().startsWith("cannot write /proc/velk-test/widgets.json")) << host.saveError().toStdString();

    QString o, e;
    QTextStream out(&o), err(&e);
    HostCommand add;
    add.verb = Verb::add;
    add.target = "velk.test.mode";
    EXPECT_EQ(runPlacementCommand(add, bundle, store, out, err, false), 1);
    EXPECT_EQ(e.count('\n'), 1) << e.toStdString();
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
        for (const QString& v : c.vars) env.insert(v.section('=', 0, 0), v.section('=', 1));
        EXPECT_EQ(missingDisplay(env).isEmpty(), c.ok) << c.vars.join(' ').toStdString();
    }
}
