// The desktop host on a real X server with a window manager and a private session bus:
// placing, moving and finding widgets again after a restart, reloads over D-Bus, taps (on a
// test bundle and on the real reminders checklist, through the plug-in) and the add menu.
// Run by CTest under dbus-run-session and xvfb-run (see CMakeLists.txt).
#include "host/HostMenus.h"
#include "host/HostService.h"
#include "host/WidgetHost.h"
#include "host/WidgetPlugin.h"
#include "host/WidgetPreviews.h"
#include "host/WidgetTimeline.h"
#include "host/WidgetWindow.h"
#include "platform/core/ExitWait.h"
#include "support/TestEnvironment.h"
#include "support/WaitFor.h"

#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/IntentButton.h"
#include "platform/timeline/WidgetCenter.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>
#include <gtest/gtest.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#ifdef VELK_HAVE_XCB
#include <xcb/xcb.h>
#endif

using namespace velk;
using namespace velk::host;
using namespace velk::timeline;

namespace {

std::atomic<int> g_count{0};
std::atomic<int> g_counterAsked{0};
std::atomic<int> g_otherAsked{0};
std::atomic<int> g_previewsAsked{0};

struct Mark {
    qint64 n = 0;
    VELK_FIELDS(Mark, n)
};
enum class Backdrop { follow };
VELK_APP_ENUM(Backdrop, "Background", {Backdrop::follow, "follow", "Follow"})
using MarkEntry = Entry<Mark, Backdrop>;

struct PlainConfig {
    static constexpr const char* typeName = "E2EPlainConfig";
    static constexpr const char* title = "Plain";
    Backdrop surface = Backdrop::follow;
    static auto parameters()
    {
        return std::make_tuple(intents::parameter("surface", "Background", &PlainConfig::surface));
    }
};

struct CountIntent {
    static constexpr const char* typeName = "E2ECountIntent";
    static constexpr const char* title = "Count";
    static auto parameters() { return std::make_tuple(); }
    void perform() const { ++g_count; }
};

struct CounterProvider {
    std::atomic<int>* asked;
    MarkEntry placeholder(const TimelineContext&) const { return {Clock::now(), {-1}, Backdrop::follow}; }
    MarkEntry snapshot(const PlainConfig&, const TimelineContext& context) const
    {
        if (context.isPreview) ++g_previewsAsked;
        return placeholder({});
    }
    Timeline<MarkEntry> timeline(const PlainConfig&, const TimelineContext&) const
    {
        ++*asked;
        return {{{Clock::now(), {g_count.load()}, Backdrop::follow}}, ReloadPolicy::never()};
    }
};

view::View face(const MarkEntry& e, QColor colour)
{
    return view::ZStack({view::RoundedRectangle(22).fill(Color::rgb255(colour.red(), colour.green(), colour.blue())),
                         view::Text(QString("n%1").arg(e.data.n))
                             .font(view::Font::system(40, view::Weight::bold))
                             .foregroundColor(Color::rgb255(255, 255, 255))});
}

WidgetBundle testBundle()
{
    WidgetBundle b;
    // The whole counter widget is one button.
    b.add(AppIntentConfiguration<PlainConfig>("velk.test.counter", CounterProvider{&g_counterAsked},
                                              [](const MarkEntry& e) {
                                                  return view::Button(buttonAction(CountIntent{}),
                                                                      face(e, QColor(40, 120, 200)));
                                              })
              .configurationDisplayName("Counter")
              .supportedFamilies(WidgetFamily::small));
    b.add(AppIntentConfiguration<PlainConfig>("velk.test.other", CounterProvider{&g_otherAsked},
                                              [](const MarkEntry& e) { return face(e, QColor(200, 90, 40)); })
              .configurationDisplayName("Other")
              .supportedFamilies(WidgetFamily::medium));
    return b;
}

using test::waitFor;

#ifdef VELK_HAVE_XCB
// True once a window manager has announced itself on the root window (it does so after it
// has taken over the placing of windows).
bool windowManagerRunning()
{
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    bool running = false;
    if (!xcb_connection_has_error(c)) {
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
        const char name[] = "_NET_SUPPORTING_WM_CHECK";
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, sizeof name - 1, name), nullptr);
        if (atom && atom->atom != XCB_ATOM_NONE) {
            xcb_get_property_reply_t* p =
                xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom->atom, XCB_ATOM_WINDOW, 0, 1), nullptr);
            running = p && xcb_get_property_value_length(p) > 0;
            free(p);
        }
        free(atom);
    }
    xcb_disconnect(c);
    return running;
}

// Whether the window manager maps a window it is asked to map: one that has taken the display
// but does not answer yet (or died holding it) would leave the first test's windows unmapped.
bool windowManagerMapsWindows()
{
    int screen = 0;
    xcb_connection_t* c = xcb_connect(nullptr, &screen);
    bool mapped = false;
    if (!xcb_connection_has_error(c)) {
        const xcb_screen_t* root = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
        const xcb_window_t probe = xcb_generate_id(c);
        const uint32_t events = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        xcb_create_window(c, XCB_COPY_FROM_PARENT, probe, root->root, 0, 0, 8, 8, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                          root->root_visual, XCB_CW_EVENT_MASK, &events);
        xcb_map_window(c, probe);
        xcb_flush(c);
        mapped = waitFor([&] {
            while (xcb_generic_event_t* e = xcb_poll_for_event(c)) {
                const bool map = (e->response_type & 0x7f) == XCB_MAP_NOTIFY;
                free(e);
                if (map) return true;
            }
            return false;
        });
        xcb_destroy_window(c, probe);
        xcb_flush(c);
    }
    xcb_disconnect(c);
    return mapped;
}
#endif

// `local` is relative to `origin`, the window's place when the gesture began.
void mouse(QWindow* w, QPoint origin, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(local), QPointF(local), QPointF(origin + local), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

// The first node of an inspected tree, depth first, that `accept` takes.
std::optional<QJsonObject> findNode(const QJsonObject& node, const std::function<bool(const QJsonObject&)>& accept)
{
    if (accept(node)) return node;
    for (const auto& child : node.value("children").toArray())
        if (auto found = findNode(child.toObject(), accept)) return found;
    return std::nullopt;
}

std::optional<QJsonObject> toggleOf(const QJsonObject& tree, const QString& reminderID)
{
    return findNode(tree, [&](const QJsonObject& n) {
        const QJsonObject action = n.value("action").toObject();
        return action.value("intentType") == "ToggleReminderIntent" &&
               action.value("parameters").toObject().value("reminderID") == reminderID;
    });
}

bool hasCheckmark(const QJsonObject& node)
{
    return findNode(node, [](const QJsonObject& n) { return n.value("symbol") == "checkmark"; }).has_value();
}

// The plug-in the program ships, loaded once: its module stays loaded for the process.
const LoadedPlugin& realWidgets()
{
    static const LoadedPlugin plugin = loadWidgetPlugin({QStringLiteral(VELK_WIDGETS_PLUGIN_FILE)});
    return plugin;
}

// The fixture calendars, consent and the 24-hour clock the real widgets are shown with.
void seedCalendars(const QString& calendars)
{
    ASSERT_TRUE(test::copyCalendarFixtures(calendars));
    test::grantCalendarAccess();
    Defaults::shared().setInteger("velk.timeformat", 24);
}

class DesktopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        store = std::make_unique<PlacementStore>(dir.filePath("config/velk/widgets.json"));
        intents::IntentRegistry::shared().registerAction<CountIntent>();
    }
    std::unique_ptr<WidgetHost> startHost()
    {
        auto host = std::make_unique<WidgetHost>(bundle, intents::IntentRegistry::shared(), *store);
        host->start();
        return host;
    }

public:
    QTemporaryDir dir;
    WidgetBundle bundle = testBundle();
    std::unique_ptr<PlacementStore> store;
};

} // namespace

TEST_F(DesktopTest, PlacedWidgetsComeBackWhereTheyWereMovedTo)
{
    QString counter, other;
    QPoint moved;
    {
        auto host = startHost();
        counter = host->addWidget("velk.test.counter");
        other = host->addWidget("velk.test.other");
        ASSERT_FALSE(counter.isEmpty());
        EXPECT_TRUE(host->addWidget("velk.test.nothing").isEmpty());
        WidgetWindow* w = host->window(counter);
        ASSERT_TRUE(waitFor([&] { return w->isExposed(); }));
        // Placed side by side, never on top of one another.
        EXPECT_FALSE(w->geometry().intersects(host->window(other)->geometry()));
        EXPECT_EQ(w->size(), QSize(160, 160));
        EXPECT_EQ(host->window(other)->size(), QSize(344, 160));
        EXPECT_TRUE(w->flags() & Qt::WindowStaysOnBottomHint);

        const QPoint start = w->position();
        mouse(w, start, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton, Qt::LeftButton);
        mouse(w, start, QEvent::MouseMove, {70, 45}, Qt::NoButton, Qt::LeftButton);
        mouse(w, start, QEvent::MouseMove, {320, 220}, Qt::NoButton, Qt::LeftButton);
        mouse(w, start, QEvent::MouseButtonRelease, {320, 220}, Qt::LeftButton, Qt::NoButton);
        moved = start + QPoint(300, 200);
        EXPECT_EQ(host->placement(counter)->position, moved);
        ASSERT_TRUE(waitFor([&] { return w->position() == moved; })) << w->position().x() << "," << w->position().y();
        // A drag is not a tap.
        EXPECT_EQ(g_count.load(), 0);
        host->setScale(other, 1.5);
    }
    auto host = startHost();
    ASSERT_EQ(host->windowIds().size(), 2);
    WidgetWindow* w = host->window(counter);
    ASSERT_TRUE(waitFor([&] { return w->isExposed(); }));
    EXPECT_EQ(w->position(), moved);
    EXPECT_EQ(host->window(other)->size(), QSize(516, 240));
    EXPECT_TRUE(host->removeWidget(other));
    EXPECT_EQ(store->load().placements.size(), 1u);
}

TEST_F(DesktopTest, AReloadByKindOverDBusAsksOnlyThatKind)
{
    auto host = startHost();
    auto* service = new HostService(host.get());
    QString error;
    ASSERT_TRUE(service->registerOnSessionBus(&error)) << error.toStdString();
    // One host per session: a second one (on a connection of its own, as another process
    // would have) is turned away.
    HostService second(host.get());
    EXPECT_FALSE(second.registerOn(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "second"), &error));
    EXPECT_EQ(error, "a widget host is already running");

    const QString a = host->addWidget("velk.test.counter");
    const QString b = host->addWidget("velk.test.other");
    ASSERT_TRUE(waitFor([&] { return host->timeline(a)->hasTimeline() && host->timeline(b)->hasTimeline(); }));
    const int counterBefore = host->timeline(a)->requestCount();
    const int otherBefore = host->timeline(b)->requestCount();

    // The very client the app and the intents use.
    WidgetCenter::shared().reloadTimelines("velk.test.other");
    ASSERT_TRUE(waitFor([&] { return host->timeline(b)->requestCount() == otherBefore + 1; }));
    QCoreApplication::processEvents();
    EXPECT_EQ(host->timeline(a)->requestCount(), counterBefore);

    WidgetCenter::shared().reloadAllTimelines();
    EXPECT_TRUE(waitFor([&] { return host->timeline(a)->requestCount() == counterBefore + 1; }));

    QDBusMessage call = QDBusMessage::createMethodCall(WidgetCenter::kService, WidgetCenter::kPath,
                                                       WidgetCenter::kInterface, "PlacedWidgets");
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(reply.arguments().value(0).toString().contains(a));
    QDBusConnection::sessionBus().unregisterService(WidgetCenter::kService);
    QDBusConnection::sessionBus().unregisterObject(WidgetCenter::kPath);
}

TEST_F(DesktopTest, ATapRunsTheButtonsIntentThenShowsTheReloadedEntry)
{
    auto host = startHost();
    const QString id = host->addWidget("velk.test.counter");
    WidgetWindow* w = host->window(id);
    ASSERT_TRUE(waitFor([&] { return w->isExposed() && host->timeline(id)->hasTimeline(); }));
    const int before = g_count.load();
    auto shownText = [&] { return host->timeline(id)->entry().data().toObject().value("n").toInt(); };
    EXPECT_EQ(shownText(), before);
    const int paints = w->paintCount();
    EXPECT_FALSE(w->updatesEverySecond());

    mouse(w, w->position(), QEvent::MouseButtonPress, {80, 80}, Qt::LeftButton, Qt::LeftButton);
    mouse(w, w->position(), QEvent::MouseButtonRelease, {80, 80}, Qt::LeftButton, Qt::NoButton);
    ASSERT_TRUE(waitFor([&] { return shownText() == before + 1; }));
    EXPECT_EQ(g_count.load(), before + 1);
    ASSERT_TRUE(waitFor([&] { return w->paintCount() > paints; }));

    // Nothing changes, so nothing is drawn again: a reload that brings the same entry is no
    // reason to draw. The entry is handed over, and the window decides, as the request ends.
    const int updates = w->updateCount();
    const int asked = host->timeline(id)->requestCount() + 1;
    host->reloadTimelines("velk.test.counter");
    ASSERT_TRUE(
        waitFor([&] { return !host->timeline(id)->isRunning() && host->timeline(id)->requestCount() == asked; }));
    EXPECT_EQ(w->updateCount(), updates);
}

// The server's exposures made by a window's map are answered by a paint, but only one the
// window has not had since (Qt exposes the whole window for the map as well): an exposure of
// another request, or after the map's series ended, is left to Qt.
TEST_F(DesktopTest, ExposuresOfTheMapAreAnsweredByOnePaint)
{
    auto host = startHost();
    const QString id = host->addWidget("velk.test.counter");
    WidgetWindow* w = host->window(id);
    ASSERT_TRUE(waitFor([&] { return w->isExposed() && w->paintCount() > 0 && host->timeline(id)->hasTimeline(); }));
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(w, &request); // whatever was still to draw
    const int paints = w->paintCount();

    w->mapped(7);
    EXPECT_FALSE(w->exposedByMap(8, true));
    EXPECT_TRUE(w->exposedByMap(7, false));
    EXPECT_TRUE(w->exposedByMap(7, true));
    EXPECT_FALSE(w->exposedByMap(7, true)); // the series has ended
    QCoreApplication::sendEvent(w, &request);
    EXPECT_EQ(w->paintCount(), paints + 1);
    QCoreApplication::sendEvent(w, &request);
    EXPECT_EQ(w->paintCount(), paints + 1);
}

// What the first paint does not need (menus, clock watch) comes once every placed widget is
// painted, or after a while when one never is (covered, on a desktop without a compositor).
// The providers are asked from the start either way.
TEST_F(DesktopTest, StartUpEndsOnceThePlacedWidgetsArePainted)
{
    for (const bool covered : {false, true}) {
        SCOPED_TRACE(covered ? "one never painted" : "all painted");
        ASSERT_TRUE(store->save(
            {{"A", "velk.test.counter", QPoint(10, 10), 1, {}}, {"B", "velk.test.other", QPoint(200, 10), 1, {}}},
            nullptr, std::nullopt));
        WidgetHost host(bundle, intents::IntentRegistry::shared(), *store);
        // Only the paint ends the wait, unless a widget is never painted.
        host.setStartUpWaitMs(covered ? 50 : 10 * 60 * 1000);
        bool painted = false, startedUp = false, paintedFirst = false;
        QObject::connect(&host, &WidgetHost::firstPaintDone, &host, [&] { painted = true; });
        QObject::connect(&host, &WidgetHost::startedUp, &host, [&] {
            startedUp = true;
            paintedFirst = painted;
        });
        host.start();
        EXPECT_GT(host.timeline("A")->requestCount(), 0);
        EXPECT_GT(host.timeline("B")->requestCount(), 0);
        // As far as the host can tell, B is never painted.
        if (covered) host.window("B")->onFirstPaint = nullptr;
        ASSERT_TRUE(waitFor([&] { return startedUp; }));
        EXPECT_EQ(paintedFirst, !covered);
    }
}

// The reminders checklist from the plug-in, on the fixture calendars: a tap on an open
// reminder's check circle completes it in its .ics file, and the widget then draws it done.
TEST_F(DesktopTest, ATapOnAReminderCheckCircleCompletesItInItsFile)
{
    const LoadedPlugin& plugin = realWidgets();
    ASSERT_TRUE(plugin.ok()) << plugin.error.toStdString();
    const QString calendars = qEnvironmentVariable("XDG_DATA_HOME") + "/velk/calendars";
    seedCalendars(calendars);
    ClockPin pin(test::kFixtureNow);

    WidgetHost host(plugin.bundle, intents::IntentRegistry::shared(), *store);
    host.start();
    const QString id = host.addWidget("velk.reminders.checklist");
    ASSERT_FALSE(id.isEmpty());
    WidgetWindow* w = host.window(id);
    ASSERT_TRUE(waitFor([&] { return w->isExposed() && host.timeline(id)->hasTimeline(); }, 30000));

    const std::optional<QJsonObject> toggle = toggleOf(view::inspect(w->tree()), "call-1");
    ASSERT_TRUE(toggle) << QJsonDocument(view::inspect(w->tree())).toJson().toStdString();
    EXPECT_FALSE(hasCheckmark(*toggle));
    const int paintsBefore = w->paintCount();
    const QJsonObject f = toggle->value("frame").toObject();
    const QPoint centre(int(f.value("x").toDouble() + f.value("w").toDouble() / 2),
                        int(f.value("y").toDouble() + f.value("h").toDouble() / 2));
    mouse(w, w->position(), QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton);
    mouse(w, w->position(), QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton);

    QFile ics(calendars + "/Personal/call-bank.ics");
    auto icsText = [&] {
        if (!ics.open(QIODevice::ReadOnly)) return QByteArray();
        QByteArray text = ics.readAll();
        ics.close();
        return text;
    };
    ASSERT_TRUE(waitFor([&] { return icsText().contains("STATUS:COMPLETED"); }, 30000)) << icsText().toStdString();
    EXPECT_TRUE(icsText().contains("SUMMARY:Call the bank"));

    // The host reloads the tapped widget: its check is drawn and its title struck through.
    ASSERT_TRUE(waitFor(
        [&] {
            const auto t = toggleOf(view::inspect(w->tree()), "call-1");
            return t && hasCheckmark(*t);
        },
        30000))
        << QJsonDocument(view::inspect(w->tree())).toJson().toStdString();
    const auto title =
        findNode(view::inspect(w->tree()), [](const QJsonObject& n) { return n.value("text") == "Call the bank"; });
    ASSERT_TRUE(title);
    EXPECT_TRUE(title->value("flags").toArray().contains(QJsonValue("strikethrough")));
    EXPECT_TRUE(waitFor([&] { return w->paintCount() > paintsBefore; }));
}

// Opening "Add Widget" draws each widget's preview snapshot once, off the GUI thread, as
// the icon of its entry; the placed widgets' timelines are not asked for it.
TEST_F(DesktopTest, TheAddMenuShowsAPreviewOfEachWidget)
{
    auto host = startHost();
    auto* menus = new HostMenus(host.get());
    QList<QAction*> entries;
    for (QAction* group : menus->addMenu()->actions())
        if (group->menu()) entries += group->menu()->actions();
    ASSERT_EQ(entries.size(), 2);
    for (QAction* a : entries)
        EXPECT_TRUE(a->icon().isNull());
    const int counterAsked = g_counterAsked.load();

    emit menus->addMenu()->aboutToShow();
    ASSERT_TRUE(waitFor(
        [&] { return std::all_of(entries.begin(), entries.end(), [](QAction* a) { return !a->icon().isNull(); }); }));
    EXPECT_EQ(g_previewsAsked.load(), 2);
    EXPECT_EQ(g_counterAsked.load(), counterAsked);
    // Kept at the menu's icon size, in the widget's proportions: a wide widget is centred with
    // clear bands above and below.
    const QImage small = menus->previews().preview("velk.test.counter");
    const QImage medium = menus->previews().preview("velk.test.other");
    EXPECT_EQ(small.size(), QSize(48, 48));
    EXPECT_EQ(medium.size(), QSize(48, 48));
    EXPECT_GT(qAlpha(small.pixel(24, 2)), 0);
    EXPECT_EQ(qAlpha(medium.pixel(24, 2)), 0);
    EXPECT_GT(qAlpha(medium.pixel(24, 24)), 0);
    // Drawn at that size, not shrunk to a small icon.
    QMenu* group = menus->addMenu()->actions().first()->menu();
    ASSERT_TRUE(group);
    group->ensurePolished();
    group->adjustSize();
    EXPECT_GE(group->actionGeometry(entries.first()).height(), 48);

    // Opened again, nothing is drawn again.
    emit menus->addMenu()->aboutToShow();
    QCoreApplication::processEvents();
    EXPECT_EQ(menus->previews().started(), 2);
    EXPECT_EQ(g_previewsAsked.load(), 2);
}

// Every widget the plug-in offers draws a preview from its sample data (none throws, none is
// blank).
TEST_F(DesktopTest, EveryShippedWidgetHasAPreview)
{
    const LoadedPlugin& plugin = realWidgets();
    ASSERT_TRUE(plugin.ok()) << plugin.error.toStdString();
    ASSERT_EQ(plugin.bundle.widgets().size(), 53u);
    for (const WidgetDefinition& widget : plugin.bundle.widgets()) {
        const QImage image = renderPreview(widget, QSize(48, 48), desktopEnvironment());
        ASSERT_FALSE(image.isNull()) << widget.kind().toStdString();
        EXPECT_EQ(image.size(), QSize(48, 48));
        const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
        const QColor centre = argb.pixelColor(argb.width() / 2, argb.height() / 2);
        EXPECT_GT(centre.alpha(), 0) << widget.kind().toStdString();
    }
}

// The ten clocks show minutes: half a minute on, nothing is drawn again; at the next minute
// each is drawn once more.
TEST_F(DesktopTest, ClocksRepaintOnlyWhenTheMinuteChanges)
{
    const LoadedPlugin& plugin = realWidgets();
    ASSERT_TRUE(plugin.ok()) << plugin.error.toStdString();
    ClockPin pin(test::kFixtureNow);
    auto host = std::make_unique<WidgetHost>(plugin.bundle, intents::IntentRegistry::shared(), *store);
    host->start();
    QStringList ids;
    for (const WidgetDefinition& widget : plugin.bundle.widgets())
        if (widget.kind().startsWith("velk.clock.")) ids << host->addWidget(widget.kind());
    ASSERT_EQ(ids.size(), 10);
    ASSERT_TRUE(waitFor(
        [&] {
            return std::all_of(ids.begin(), ids.end(), [&](const QString& id) {
                return host->window(id)->isExposed() && host->window(id)->paintCount() > 0 &&
                       host->timeline(id)->hasTimeline();
            });
        },
        30000));
    // What the windows themselves ask to draw; the window system may add exposures of its own.
    auto updates = [&] {
        std::map<QString, int> counts;
        for (const QString& id : ids)
            counts[host->placement(id)->kind] = host->window(id)->updateCount();
        return counts;
    };
    const auto before = updates();
    for (const QString& id : ids)
        EXPECT_FALSE(host->window(id)->updatesEverySecond()) << host->placement(id)->kind.toStdString();

    Clock::pin(test::kFixtureNow.addingSeconds(30));
    host->reevaluateAll();
    EXPECT_EQ(updates(), before);

    std::map<QString, int> paintsBefore;
    for (const QString& id : ids)
        paintsBefore[id] = host->window(id)->paintCount();
    Clock::pin(test::kFixtureNow.addingSeconds(60));
    host->reevaluateAll();
    for (const auto& [kind, count] : updates())
        EXPECT_EQ(count, before.at(kind) + 1) << kind.toStdString();
    EXPECT_TRUE(waitFor([&] {
        return std::all_of(ids.begin(), ids.end(),
                           [&](const QString& id) { return host->window(id)->paintCount() > paintsBefore[id]; });
    }));
    // An update request with nothing new since the last paint (an exposure drew the change
    // first, as at start when the entries come before the windows are mapped) draws nothing.
    for (const QString& id : ids) {
        const int painted = host->window(id)->paintCount();
        QEvent request(QEvent::UpdateRequest);
        QCoreApplication::sendEvent(host->window(id), &request);
        EXPECT_EQ(host->window(id)->paintCount(), painted) << host->placement(id)->kind.toStdString();
    }
}

// Six of the shipped widgets on the fixture day, for a person to look at.
TEST_F(DesktopTest, ScreenshotOfSixWidgets)
{
    const LoadedPlugin& plugin = realWidgets();
    ASSERT_TRUE(plugin.ok()) << plugin.error.toStdString();
    seedCalendars(qEnvironmentVariable("XDG_DATA_HOME") + "/velk/calendars");
    ClockPin pin(test::kFixtureNow);
    auto host = std::make_unique<WidgetHost>(plugin.bundle, intents::IntentRegistry::shared(), *store);
    host->start();
    QStringList ids;
    for (const char* kind : {"velk.clock.analogClassic", "velk.clock.matrixSmall", "velk.clock.world",
                             "velk.reminders.checklist", "velk.calendar.monthGrid", "velk.calendar.agenda"})
        ids << host->addWidget(kind);
    ASSERT_TRUE(waitFor(
        [&] {
            for (const QString& id : ids)
                if (!host->window(id)->isExposed() || host->window(id)->paintCount() == 0 ||
                    !host->timeline(id)->hasTimeline())
                    return false;
            return true;
        },
        30000));
    // Painted windows are on the server: the grab is a request after theirs on the same
    // connection.
    const QString out = qEnvironmentVariable("VELK_BINARY_DIR", QDir::tempPath()) + "/host-desktop.png";
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(out));

    // And the add menu's clocks with their previews, beside them.
    auto* menus = new HostMenus(host.get());
    QMenu* clocks = menus->addMenu()->actions().first()->menu();
    emit menus->addMenu()->aboutToShow();
    clocks->popup(QPoint(700, 100));
    const QList<QAction*> clockEntries = clocks->actions();
    EXPECT_TRUE(waitFor(
        [&] {
            return std::all_of(clockEntries.begin(), clockEntries.end(),
                               [](QAction* a) { return !a->icon().isNull(); });
        },
        20000));
    ASSERT_TRUE(waitFor([&] { return clocks->windowHandle() && clocks->windowHandle()->isExposed(); }));
    // Drawn now, with the icons that arrived.
    clocks->repaint();
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(out.chopped(4) + "-add-menu.png"));
}

int main(int argc, char** argv)
{
    velk::waitForOtherThreadsAtExit();
    QTemporaryDir home;
    velk::test::pinTestEnvironment(home);
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        std::fprintf(stderr, "host_desktop_test needs an X display (CTest runs it under xvfb-run)\n");
        return 77;
    }
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    // A real window manager, so positions and stacking go through one as on a desktop.
    QProcess wm;
    const QString openbox = QStandardPaths::findExecutable("openbox");
    if (!openbox.isEmpty()) {
        wm.start(openbox, {"--sm-disable"});
        wm.waitForStarted();
#ifdef VELK_HAVE_XCB
        if (!waitFor(windowManagerRunning)) {
            std::fprintf(stderr, "openbox did not take over the display\n");
        } else if (!windowManagerMapsWindows()) {
            std::fprintf(stderr, "openbox does not map windows; the tests run without it\n");
            wm.kill();
            wm.waitForFinished();
        }
#endif
    }
    int rc = 0;
    {
        QApplication app(argc, argv);
        rc = RUN_ALL_TESTS();
    }
    if (wm.state() != QProcess::NotRunning) {
        wm.terminate();
        wm.waitForFinished(2000);
    }
    return rc;
}
