#include "platform/calendar/CalendarStoreWatcher.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace velk;

namespace {

// Counts the watcher's signals; wait() runs the event loop until the next one or the timeout.
class Signals {
public:
    explicit Signals(CalendarStoreWatcher& w)
    {
        QObject::connect(&w, &CalendarStoreWatcher::changed, [this] {
            ++count_;
            loop_.quit();
        });
    }
    bool wait(int ms)
    {
        const int before = count_;
        QTimer::singleShot(ms, &loop_, &QEventLoop::quit);
        if (count_ == before) loop_.exec();
        return count_ > before;
    }
    int count() const { return count_; }
    void clear() { count_ = 0; }

private:
    int count_ = 0;
    QEventLoop loop_;
};

bool write(const QString& path, const QByteArray& bytes)
{
    QSaveFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() && f.commit();
}

TEST(CalendarStoreWatcher, SignalsOnceForEachSettledChange)
{
    QTemporaryDir dir;
    const QString root = dir.path() + "/calendars"; // not there yet: the watcher makes it
    const mode_t umaskBefore = ::umask(022);        // the usual one, which leaves new folders open to all
    CalendarStoreWatcher watcher(root, nullptr, 50);
    ::umask(umaskBefore);
    ASSERT_TRUE(QDir(root).exists());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(root).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u); // calendars are the user's alone, like all other state
    Signals spy(watcher);

    // A new collection with a file, as a sync tool makes them.
    ASSERT_TRUE(QDir().mkpath(root + "/Work"));
    ASSERT_TRUE(spy.wait(2000));
    ASSERT_TRUE(write(root + "/Work/a.ics", "BEGIN:VCALENDAR\nEND:VCALENDAR\n"));
    ASSERT_TRUE(write(root + "/Work/b.ics", "BEGIN:VCALENDAR\nEND:VCALENDAR\n"));
    ASSERT_TRUE(spy.wait(2000));
    spy.clear();

    // A file rewritten in place, then one replaced atomically, then one removed.
    {
        QFile f(root + "/Work/a.ics");
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write("\n");
    }
    ASSERT_TRUE(spy.wait(2000));
    spy.clear();
    ASSERT_TRUE(write(root + "/Work/b.ics", "BEGIN:VCALENDAR\nVERSION:2.0\nEND:VCALENDAR\n"));
    ASSERT_TRUE(spy.wait(2000));
    spy.clear();
    ASSERT_TRUE(QFile::remove(root + "/Work/a.ics"));
    ASSERT_TRUE(spy.wait(2000));
    EXPECT_EQ(spy.count(), 1);
}

} // namespace
