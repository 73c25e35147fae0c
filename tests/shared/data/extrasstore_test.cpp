#include "shared/data/activity/ExtrasStore.h"

#include "platform/core/DistributedNotifications.h"
#include "platform/timeline/WidgetCenter.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QUuid>
#include <cmath>
#include <gtest/gtest.h>

using namespace velk;

namespace {

struct Session {
    std::optional<Date> endDate;
    qint64 minutes = 25;
    double ratio = 0;
    VELK_FIELDS(Session, endDate, minutes, ratio)
    friend bool operator==(const Session&, const Session&) = default;
};

const QString kKey = QStringLiteral("test.extras.session");

} // namespace

TEST(ExtrasStoreTest, WritesWholeValuesAndReadsThemBack)
{
    Defaults::shared().remove(kKey);
    EXPECT_FALSE(ExtrasStore::read<Session>(kKey));
    const Session s{Date(1000), 50, 0.5};
    ExtrasStore::write(s, kKey);
    EXPECT_EQ(ExtrasStore::read<Session>(kKey), s);
    ExtrasStore::write(Session{}, kKey);
    EXPECT_EQ(ExtrasStore::read<Session>(kKey), Session{});
    // Arrays of records go the same way.
    ExtrasStore::write(std::vector<Session>{s, s}, kKey);
    EXPECT_EQ(ExtrasStore::read<std::vector<Session>>(kKey)->size(), 2u);
}

TEST(ExtrasStoreTest, UndecodableDataReadsAsNothingAndStaysInPlace)
{
    for (const QByteArray& bad : {QByteArray("{not json"), QByteArray(R"({"minutes":2.5,"ratio":0})"),
                                  QByteArray(R"({"ratio":0})"), QByteArray("[]")}) {
        Defaults::shared().setData(kKey, bad);
        EXPECT_FALSE(ExtrasStore::read<Session>(kKey)) << bad.constData();
        EXPECT_EQ(Defaults::shared().data(kKey), bad);
    }
}

TEST(ExtrasStoreTest, AValueThatCannotBeEncodedWritesNothing)
{
    const Session kept{Date(5), 10, 1};
    ExtrasStore::write(kept, kKey);
    ExtrasStore::write(Session{std::nullopt, 1, std::nan("")}, kKey);
    EXPECT_EQ(ExtrasStore::read<Session>(kKey), kept);
}

TEST(ExtrasStoreTest, DayKeyIsTheDayInTheProcessZone)
{
    // 2025-03-07 00:00:00 and 23:59:59 UTC, the tests' zone.
    const Date midnight = Date::fromUnix(1741305600);
    EXPECT_EQ(ExtrasStore::dayKey(midnight), "2025-03-07");
    EXPECT_EQ(ExtrasStore::dayKey(midnight.addingSeconds(86399)), "2025-03-07");
    EXPECT_EQ(ExtrasStore::dayKey(midnight.addingSeconds(-1)), "2025-03-06");
    EXPECT_EQ(&ExtrasStore::dayFormat(), &ExtrasStore::dayFormat());
}

namespace {

// The widget host and the app, on a connection of their own: what reaches them, in the order
// it arrives (the bus keeps the order of one sender's messages).
class Listener : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.harrowcrest.velk.WidgetHost")
public:
    QStringList heard;
public Q_SLOTS:
    void ReloadTimelines(const QString& kind) { heard << kind; }
    void ReloadAllTimelines() { heard << QStringLiteral("*"); }
};

} // namespace

TEST(ReloadKindsTest, ReloadsInOrderThenPostsOnce)
{
    if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus";
    QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "listener");
    Listener listener;
    ASSERT_TRUE(bus.registerObject(timeline::WidgetCenter::kPath, &listener, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(timeline::WidgetCenter::kService));
    DistributedNotifications(bus).observe(kReloadWidgetsNotification, &listener,
                                          [&] { listener.heard << QStringLiteral("posted"); });
    // reloadKinds sends on this process's session connection. A marker posted there after it
    // reaches the listener's connection after everything it sent (one sender, one receiver:
    // the bus keeps the order), so anything sent twice is here once the marker is.
    const QString marker = QStringLiteral("velk.test.marker.") + QUuid::createUuid().toString(QUuid::WithoutBraces);
    int markers = 0;
    DistributedNotifications(bus).observe(marker, &listener, [&] { ++markers; });
    bus.interface()->isServiceRegistered(timeline::WidgetCenter::kService); // the match rules are in place

    auto settle = [&] {
        const int before = markers;
        DistributedNotifications().post(marker);
        EXPECT_TRUE(velk::test::waitFor([&] { return markers > before; }));
    };

    reloadKinds({"velk.nowplaying", "velk.remote"});
    settle();
    EXPECT_EQ(listener.heard, QStringList({"velk.nowplaying", "velk.remote", "posted"}));

    listener.heard.clear();
    reloadKinds({});
    settle();
    EXPECT_EQ(listener.heard, QStringList({"posted"}));

    bus.unregisterService(timeline::WidgetCenter::kService);
    QDBusConnection::disconnectFromBus("listener");
}

#include "extrasstore_test.moc"
