#include "platform/core/DistributedNotifications.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

using namespace velk;
using velk::test::waitFor;

namespace {

class NotificationsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    }
};

TEST_F(NotificationsTest, ObserversGetOnlyTheirNameFromAnyPeer)
{
    QObject context;
    int reloads = 0, plays = 0;
    DistributedNotifications center;
    center.observe("com.harrowcrest.velk.reloadwidgets", &context, [&] { ++reloads; });
    center.observe("com.harrowcrest.velk.media.playpause", &context, [&] { ++plays; });

    // Another peer on the bus, as the other process would be.
    QDBusConnection peer = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "velk-test-peer");
    ASSERT_TRUE(peer.isConnected());
    DistributedNotifications other(peer);
    other.post("com.harrowcrest.velk.media.next");
    other.post("com.harrowcrest.velk.reloadwidgets");
    ASSERT_TRUE(waitFor([&] { return reloads == 1; }));

    center.post("com.harrowcrest.velk.media.playpause"); // this process hears its own posts too
    ASSERT_TRUE(waitFor([&] { return plays == 1; }));
    EXPECT_EQ(reloads, 1);
    QDBusConnection::disconnectFromBus("velk-test-peer");
}

TEST_F(NotificationsTest, CallbacksRunOnTheContextThreadUntilItGoes)
{
    QThread worker;
    worker.start();
    auto context = std::make_unique<QObject>();
    context->moveToThread(&worker);
    std::atomic<int> calls{0};
    std::atomic<QThread*> ranOn{nullptr};
    DistributedNotifications center;
    center.observe("velk.test.thread", context.get(), [&] {
        ranOn = QThread::currentThread();
        ++calls;
    });

    center.post("velk.test.thread");
    ASSERT_TRUE(waitFor([&] { return calls == 1; }));
    EXPECT_EQ(ranOn.load(), &worker);

    QObject* raw = context.release();
    QMetaObject::invokeMethod(
        raw, [raw] { delete raw; }, Qt::BlockingQueuedConnection);
    center.post("velk.test.thread");
    // A later post from the same sender arrives after the one above: once it is here, the
    // first had its chance to reach the deleted context.
    QObject sentinelContext;
    bool sentinel = false;
    center.observe("velk.test.sentinel", &sentinelContext, [&] { sentinel = true; });
    center.post("velk.test.sentinel");
    ASSERT_TRUE(waitFor([&] { return sentinel; }));
    EXPECT_EQ(calls, 1);
    worker.quit();
    worker.wait();
}

} // namespace

// Runs whether or not a bus is present: without one nothing is sent and nothing fails.
TEST(NotificationsWithoutBus, DoNothingQuietly)
{
    QDBusConnection none =
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/velk-bus"), "velk-no-bus");
    ASSERT_FALSE(none.isConnected());
    DistributedNotifications center(none);
    QObject context;
    bool called = false;
    QObject* sub = center.observe("x", &context, [&] { called = true; });
    EXPECT_EQ(sub->parent(), &context);
    center.post("x");
    QCoreApplication::processEvents();
    EXPECT_FALSE(called);
    QDBusConnection::disconnectFromBus("velk-no-bus");
}
