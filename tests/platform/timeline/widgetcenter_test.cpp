#include "platform/timeline/WidgetCenter.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QElapsedTimer>
#include <QObject>
#include <QStringList>
#include <gtest/gtest.h>

using namespace velk::timeline;
using velk::test::waitFor;

namespace {

// Stands in for the widget host on the session bus, on a connection of its own so the calls
// travel through the bus daemon as they would from another process.
class FakeHost : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.harrowcrest.velk.WidgetHost")
public:
    QStringList calls;
public Q_SLOTS:
    void ReloadTimelines(const QString& kind) { calls << kind; }
    void ReloadAllTimelines() { calls << QStringLiteral("*"); }
};

} // namespace

TEST(WidgetCenterTest, SendsReloadsToTheHostInOrder)
{
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    QDBusConnection hostBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-host");
    FakeHost host;
    ASSERT_TRUE(hostBus.registerObject(WidgetCenter::kPath, &host, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(hostBus.registerService(WidgetCenter::kService));

    WidgetCenter::shared().reloadTimelines("velk.water");
    WidgetCenter::shared().reloadAllTimelines();
    WidgetCenter::shared().reloadTimelines("velk.steps");
    EXPECT_TRUE(waitFor([&] { return host.calls.size() == 3; }));
    EXPECT_EQ(host.calls, QStringList({"velk.water", "*", "velk.steps"}));

    hostBus.unregisterService(WidgetCenter::kService);
    hostBus.unregisterObject(WidgetCenter::kPath);
    QDBusConnection::disconnectFromBus("fake-host");
}

TEST(WidgetCenterTest, WithoutAHostNothingHappensAndNothingWaits)
{
    if (QDBusConnection::sessionBus().isConnected()) {
        ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(WidgetCenter::kService).value());
    }
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 50; ++i)
        WidgetCenter::shared().reloadTimelines("velk.water");
    WidgetCenter::shared().reloadAllTimelines();
    EXPECT_LT(t.elapsed(), 2000); // a blocking call would wait out the bus's timeout
}

TEST(WidgetCenterTest, RecorderTakesTheCallsWhileItLives)
{
    {
        WidgetCenterRecorder recorder;
        WidgetCenter::shared().reloadTimelines("a");
        WidgetCenter::shared().reloadAllTimelines();
        WidgetCenter::shared().reloadTimelines("b");
        EXPECT_EQ(recorder.reloads(),
                  (std::vector<WidgetCenterRecorder::Reload>{{false, "a"}, {true, {}}, {false, "b"}}));
        EXPECT_EQ(recorder.kinds(), QStringList({"a", "b"}));
        recorder.clear();
        EXPECT_TRUE(recorder.reloads().empty());
    }
}

TEST(WidgetCenterTest, OnceTheRecorderIsGoneCallsReachTheBusAgain)
{
    {
        WidgetCenterRecorder recorder;
    }
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    QDBusConnection hostBus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "fake-host-2");
    FakeHost host;
    hostBus.registerObject(WidgetCenter::kPath, &host, QDBusConnection::ExportAllSlots);
    ASSERT_TRUE(hostBus.registerService(WidgetCenter::kService));
    WidgetCenter::shared().reloadTimelines("c");
    EXPECT_TRUE(waitFor([&] { return !host.calls.isEmpty(); }));
    EXPECT_EQ(host.calls, QStringList({"c"}));
    hostBus.unregisterService(WidgetCenter::kService);
    QDBusConnection::disconnectFromBus("fake-host-2");
}

#include "widgetcenter_test.moc"
