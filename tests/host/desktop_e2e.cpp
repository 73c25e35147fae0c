// The desktop host on a real X server with a window manager and a private session bus:
// placing, moving and finding widgets again after a restart, reloads over D-Bus and taps.
// Run by CTest under dbus-run-session and xvfb-run (see CMakeLists.txt).
#include "host/HostService.h"
#include "host/WidgetHost.h"
#include "host/WidgetTimeline.h"
#include "host/WidgetWindow.h"

#include "platform/core/Clock.h"
#include "platform/timeline/IntentButton.h"
#include "platform/timeline/WidgetCenter.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <atomic>
#include <cstdlib>
#include <unicode/locid.h>
#include <unicode/timezone.h>

using namespace velk;
using namespace velk::host;
using namespace velk::timeline;

namespace {

std::atomic<int> g_count{0};
std::atomic<int> g_counterAsked{0};
std::atomic<int> g_otherAsked{0};

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
    static auto parameters() { return std::make_tuple(intents::parameter("surface", "Background", &PlainConfig::surface)); }
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
    MarkEntry snapshot(const PlainConfig&, const TimelineContext&) const { return placeholder({}); }
    Timeline<MarkEntry> timeline(const PlainConfig&, const TimelineContext&) const
    {
        ++*asked;
        return {{{Clock::now(), {g_count.load()}, Backdrop::follow}}, ReloadPolicy::never()};
    }
};

view::View face(const MarkEntry& e, QColor colour)
{
    return view::ZStack({view::RoundedRectangle(22).fill(Color::rgb255(colour.red(), colour.green(), colour.blue())),
                         view::Text(QString("n%1").arg(e.data.n)).font(view::Font::system(40, view::Weight::bold))
                             .foregroundColor(Color::rgb255(255, 255, 255))});
}

WidgetBundle testBundle()
{
    WidgetBundle b;
    // The whole counter widget is one button.
    b.add(AppIntentConfiguration<PlainConfig>("velk.test.counter", CounterProvider{&g_counterAsked},
                                              [](const MarkEntry& e) {
                                                  return view::Button(buttonAction(CountIntent{}), face(e, QColor(40, 120, 200)));
                                              })
              .configurationDisplayName("Counter")
              .supportedFamilies(WidgetFamily::small));
    b.add(AppIntentConfiguration<PlainConfig>("velk.test.other", CounterProvider{&g_otherAsked},
                                              [](const MarkEntry& e) { return face(e, QColor(200, 90, 40)); })
              .configurationDisplayName("Other")
              .supportedFamilies(WidgetFamily::medium));
    return b;
}

template <class Pred>
bool waitFor(Pred pred, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!pred()) {
        if (t.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// `local` is relative to `origin`, the window's place when the gesture began.
void mouse(QWindow* w, QPoint origin, QEvent::Type type, QPoint local, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent e(type, QPointF(local), QPointF(local), QPointF(origin + local), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
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

    QDBusMessage call = QDBusMessage::createMethodCall(WidgetCenter::kService, WidgetCenter::kPath, WidgetCenter::kInterface,
                                                       "PlacedWidgets");
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

    // Nothing changes, so nothing is painted again: a reload that brings the same entry is
    // no reason to draw.
    const int settled = w->paintCount();
    host->reloadTimelines("velk.test.counter");
    const int asked = host->timeline(id)->requestCount();
    ASSERT_TRUE(waitFor([&] { return !host->timeline(id)->isRunning() && host->timeline(id)->requestCount() == asked; }));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(w->paintCount(), settled);
}

TEST_F(DesktopTest, ScreenshotOfSixWidgets)
{
    auto host = startHost();
    QStringList ids;
    for (int i = 0; i < 6; ++i) ids << host->addWidget(i % 2 ? "velk.test.other" : "velk.test.counter");
    ASSERT_TRUE(waitFor([&] {
        for (const QString& id : ids)
            if (!host->window(id)->isExposed() || host->window(id)->paintCount() == 0) return false;
        return true;
    }));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 300) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QString out = qEnvironmentVariable("VELK_BINARY_DIR", QDir::tempPath()) + "/host-desktop.png";
    EXPECT_TRUE(QGuiApplication::primaryScreen()->grabWindow(0).save(out));
}

int main(int argc, char** argv)
{
    ::setenv("TZ", "UTC", 1);
    QTemporaryDir home;
    const QByteArray root = home.path().toUtf8();
    ::setenv("XDG_DATA_HOME", (root + "/data").constData(), 1);
    ::setenv("XDG_CONFIG_HOME", (root + "/config").constData(), 1);
    ::setenv("XDG_CACHE_HOME", (root + "/cache").constData(), 1);
    ::setenv("VELK_TEST_HOME", root.constData(), 1);
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(icu::Locale("en_US"), status);
    icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("UTC"));
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
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
        QThread::msleep(500);
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
