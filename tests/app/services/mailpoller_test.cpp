// The mail poller on a fixture Maildir: the stored inbox, the status texts, a new message,
// an unreadable Maildir, opening the mail client and stopping.
#include "app/services/MailPoller.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/timeline/WidgetCenter.h"
#include "shared/data/media/MediaBridge.h"
#include "support/WaitFor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

using namespace velk;

namespace {

class MailPollerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Defaults::standard().setBool(MailPoller::kEnabledKey, true);
        MailPoller::setInbox(std::nullopt);
        for (const char* sub : {"new", "cur", "tmp"})
            QDir(box.path()).mkpath(QLatin1String(sub));
    }
    void deliver(const char* rel, const QByteArray& headers)
    {
        QFile f(box.path() + u'/' + QLatin1String(rel));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(headers + "\n\nbody\n");
    }

    // Polls (or starts) and waits until the count has been stored.
    template <class Ask>
    bool andWait(MailPoller& poller, Ask ask)
    {
        int polled = 0;
        const QMetaObject::Connection c = QObject::connect(&poller, &MailPoller::polled, [&] { ++polled; });
        ask();
        const bool done = velk::test::waitFor([&] { return polled > 0; });
        QObject::disconnect(c);
        return done;
    }

    QTemporaryDir box;
    ClockPin pin{Date(800000000)};
    timeline::WidgetCenterRecorder reloads;
};

} // namespace

TEST(MailPollerParsing, Counts)
{
    const struct {
        const char* text;
        qint64 expected;
    } cases[] = {{"3", 3}, {"+7", 7}, {"-2", -2}, {"7 ", 0}, {"x", 0}, {"", 0}, {"99999999999999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(MailPoller::parseCount(c.text), c.expected) << c.text;
}

TEST_F(MailPollerTest, StoresTheUnreadCountAndThePreview)
{
    deliver("cur/1.M1.h:2,S", "From: Old <o@x>\nSubject: seen");
    deliver("new/2.M2.h", "From: Ada <a@x>\nSubject: a|b");
    MailPoller poller{MaildirInbox(box.path())};
    ASSERT_TRUE(andWait(poller, [&] { poller.start(false); }));
    EXPECT_TRUE(poller.isRunning());
    EXPECT_EQ(poller.status(), QStringLiteral("Connected · 1 unread"));
    const std::optional<InboxSnapshot> inbox = MediaBridge::inbox();
    ASSERT_TRUE(inbox);
    EXPECT_EQ(inbox->unread, 1);
    EXPECT_EQ(inbox->latestPreview, QStringLiteral("Ada: a|b"));
    EXPECT_EQ(inbox->latestDate, Date(800000000));
    EXPECT_TRUE(inbox->connected);
    EXPECT_EQ(reloads.kinds(), QStringList{"velk.inbox"});

    // A message arriving is counted at the next poll.
    deliver("new/3.M3.h", "From: Bo <b@x>\nSubject: more");
    ASSERT_TRUE(andWait(poller, [&] { poller.poll(); }));
    EXPECT_EQ(MediaBridge::inbox()->unread, 2);
    EXPECT_EQ(poller.status(), QStringLiteral("Connected · 2 unread"));
}

TEST_F(MailPollerTest, AnEmptyInboxHasNoPreview)
{
    MailPoller poller{MaildirInbox(box.path())};
    ASSERT_TRUE(andWait(poller, [&] { poller.poll(); }));
    EXPECT_EQ(poller.status(), QStringLiteral("Connected · 0 unread"));
    EXPECT_EQ(MediaBridge::inbox()->latestPreview, std::nullopt);
}

TEST_F(MailPollerTest, AnUnreadableMaildirStoresADisconnectedInbox)
{
    QDir(box.path()).rmdir("new");
    deliver("new", "not a folder");
    MailPoller poller{MaildirInbox(box.path())};
    ASSERT_TRUE(andWait(poller, [&] { poller.poll(); }));
    EXPECT_EQ(poller.status(), poller.refusedText());
    EXPECT_TRUE(poller.status()->startsWith(QStringLiteral("Not permitted — allow VELK → read ")));
    const std::optional<InboxSnapshot> inbox = MediaBridge::inbox();
    ASSERT_TRUE(inbox);
    EXPECT_EQ(*inbox, (InboxSnapshot{0, std::nullopt, std::nullopt, false, Date(800000000)}));
    EXPECT_EQ(reloads.kinds(), QStringList{"velk.inbox"});
}

TEST_F(MailPollerTest, AMissingMaildirWaitsAndKeepsTheStoredInbox)
{
    MailPoller::setInbox(InboxSnapshot{4, QStringLiteral("kept"), Date(1), true, Date(1)});
    MailPoller poller{MaildirInbox(box.path() + "/absent")};
    bool opened = false;
    poller.openInBackground = [&](const QString&) { return opened = true; };
    poller.start(false);
    EXPECT_EQ(poller.status(), poller.waitingText());
    EXPECT_FALSE(opened);
    EXPECT_EQ(MediaBridge::inbox()->latestPreview, QStringLiteral("kept"));
    EXPECT_TRUE(reloads.kinds().isEmpty());
}

TEST_F(MailPollerTest, AUserStartOpensTheMailClientThenPolls)
{
    MailPoller poller{MaildirInbox(box.path() + "/absent")};
    QString opened;
    poller.findMailClient = [] { return std::optional<QString>("mail.desktop"); };
    poller.openInBackground = [&](const QString& id) {
        opened = id;
        return true;
    };
    poller.afterOpenDelayMs = 50;
    poller.start(true);
    EXPECT_EQ(poller.status(), QStringLiteral("Opening Mail…"));
    EXPECT_EQ(opened, QStringLiteral("mail.desktop"));
    EXPECT_TRUE(velk::test::waitFor([&] { return poller.status() == poller.waitingText(); }));
    poller.start(true); // still one timer
    EXPECT_TRUE(poller.isRunning());
}

TEST_F(MailPollerTest, SwitchedOffPollsDoNothingAndStopWithdraws)
{
    MailPoller poller{MaildirInbox(box.path())};
    ASSERT_TRUE(andWait(poller, [&] { poller.start(false); }));
    ASSERT_TRUE(MediaBridge::inbox());
    Defaults::standard().setBool(MailPoller::kEnabledKey, false);
    const auto status = poller.status();
    poller.poll();
    EXPECT_EQ(poller.status(), status);

    reloads.clear();
    poller.stop();
    EXPECT_FALSE(poller.isRunning());
    EXPECT_EQ(poller.status(), std::nullopt);
    EXPECT_FALSE(MediaBridge::inbox());
    EXPECT_EQ(reloads.kinds(), QStringList{"velk.inbox"});
}

// Listing a big inbox takes seconds: a poll hands the count to the poller's own thread and
// returns at once; the result is stored on the poller's thread when it comes. A poll asked for
// meanwhile is made after it, and a stop withdraws what a running count would have stored.
TEST_F(MailPollerTest, CountsOffThePollersThread)
{
    deliver("new/1.M1.h", "From: Ada <a@x>\nSubject: one");
    MailPoller poller{MaildirInbox(box.path())};
    int polled = 0;
    QObject::connect(&poller, &MailPoller::polled, [&] {
        EXPECT_EQ(QThread::currentThread(), poller.thread());
        ++polled;
    });
    poller.poll();
    EXPECT_FALSE(MediaBridge::inbox()); // not yet: the count runs elsewhere
    deliver("new/2.M2.h", "From: Bo <b@x>\nSubject: two");
    poller.poll();
    ASSERT_TRUE(velk::test::waitFor([&] { return polled == 2; }));
    EXPECT_EQ(MediaBridge::inbox()->unread, 2);

    poller.poll();
    poller.stop();
    EXPECT_FALSE(MediaBridge::inbox());
    deliver("new/3.M3.h", "From: Cy <c@x>\nSubject: three");
    ASSERT_TRUE(andWait(poller, [&] { poller.poll(); })); // after the withdrawn one has ended
    EXPECT_EQ(polled, 3);
    EXPECT_EQ(MediaBridge::inbox()->unread, 3);
}
