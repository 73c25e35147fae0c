// The notes store: its operations, the file they leave, an unreadable file kept aside, a
// failed write keeping the old file, and a kill -9 in the middle of saves.
#include "app/services/NotesStore.h"
#include "platform/core/Clock.h"
#include "platform/core/Coding.h"
#include "support/HostileFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

using namespace velk;

namespace {

QByteArray read(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class NotesStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.path() + "/notes.json";
    ClockPin pin{Date(800000000.5)};
};

} // namespace

TEST_F(NotesStoreTest, OperationsSurviveARestart)
{
    {
        NotesStore store(path);
        EXPECT_TRUE(store.notes().isEmpty());
        store.add("first");
        const QJsonArray file = QJsonDocument::fromJson(read(path)).array();
        ASSERT_EQ(file.size(), 1);
        EXPECT_EQ(file[0].toObject().keys(), (QStringList{"edited", "id", "pinned", "text"}));
        EXPECT_EQ(file[0].toObject().value("pinned"), false);
        EXPECT_EQ(file[0].toObject().value("edited").toDouble(), 800000000.5);
        store.add("  ");
        store.add("third");
        EXPECT_EQ(store.notes().first().text, QStringLiteral("third"));
        store.togglePin(store.notes()[1]);
        store.remove(store.notes()[0]);
    }
    NotesStore reopened(path);
    ASSERT_EQ(reopened.notes().size(), 2);
    EXPECT_EQ(reopened.notes()[0].text, QStringLiteral("  "));
    EXPECT_TRUE(reopened.notes()[0].pinned);
    EXPECT_EQ(reopened.notes()[0].edited, Date(800000000.5));
    EXPECT_EQ(reopened.notes()[1].text, QStringLiteral("first"));
}

TEST_F(NotesStoreTest, SharedIdsAndNotesThatAreNotThere)
{
    const QUuid id = QUuid::createUuid();
    const QList<NoteItem> twins{{id, "a", Date(1), false}, {id, "b", Date(2), false}};
    ASSERT_TRUE(NotesStore::save(twins, path));
    NotesStore store(path);
    store.togglePin(twins[0]);
    EXPECT_TRUE(store.notes()[0].pinned);
    EXPECT_FALSE(store.notes()[1].pinned);

    // Toggling a stranger writes nothing; deleting one rewrites the same list.
    QFile::remove(path);
    const NoteItem stranger{QUuid::createUuid(), "x", Date(0), false};
    store.togglePin(stranger);
    EXPECT_FALSE(QFile::exists(path));
    store.remove(stranger);
    EXPECT_EQ(NotesStore(path).notes(), store.notes());

    store.remove(twins[0]);
    EXPECT_TRUE(store.notes().isEmpty());
}

TEST_F(NotesStoreTest, AnUnreadableFileIsKeptAsideBeforeTheFirstSave)
{
    const QByteArray old =
        R"([{"id":"8C2E1B4A-5D6F-4E3A-9B1C-2D3E4F5A6B7C","text":"keep me","edited":1}])"; // no "pinned"
    write(path, old);
    NotesStore store(path);
    EXPECT_TRUE(store.notes().isEmpty());
    EXPECT_EQ(read(path), old); // loading writes nothing
    EXPECT_EQ(store.keptAsidePath(), std::nullopt);

    store.add("new");
    EXPECT_EQ(QJsonDocument::fromJson(read(path)).array().size(), 1);
    const QString aside =
        path + ".unreadable-" + Date(800000000.5).toQDateTime().toLocalTime().toString("yyyyMMdd-HHmmss");
    EXPECT_EQ(read(aside), old);
    EXPECT_EQ(store.keptAsidePath(), aside);
    store.add("newer"); // only once
    EXPECT_EQ(QDir(dir.path()).entryList({"notes.json.unreadable-*"}).size(), 1);
}

TEST_F(NotesStoreTest, AFailedWriteKeepsTheOldFileAndSaysSo)
{
    NotesStore store(path);
    store.add("small");
    const QByteArray before = read(path);

    // A file size limit makes the write fail as a full disk does.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 4096;
    setrlimit(RLIMIT_FSIZE, &small);
    store.add(QString(100000, u'x'));
    setrlimit(RLIMIT_FSIZE, &old);

    EXPECT_FALSE(store.lastSaveSucceeded());
    EXPECT_EQ(read(path), before);
    EXPECT_EQ(store.notes().size(), 2);                           // the list in memory is the new one
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no leftover temporary file
}

// Whatever sits at the path, loading neither waits on it nor reads it without end, and the
// first save keeps it aside and writes a regular file in its place.
TEST_F(NotesStoreTest, AFifoADeviceOrAnOversizedFileIsRefusedAndKeptAside)
{
    const QByteArray big = "[" + QByteArray(kNotesFileMaxBytes, ' ') + "]";
    for (const auto& make : velk::test::hostileFileMakers(path, big)) {
        QDir(dir.path()).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(dir.path()));
        ASSERT_TRUE(make());
        NotesStore store(path);
        EXPECT_TRUE(store.notes().isEmpty());
        store.add("new");
        EXPECT_TRUE(store.lastSaveSucceeded());
        EXPECT_TRUE(QFileInfo(path).isFile() && !QFileInfo(path).isSymLink());
        EXPECT_EQ(QJsonDocument::fromJson(read(path)).array().size(), 1);
        EXPECT_EQ(QDir(dir.path()).entryList({"notes.json.unreadable-*"}, QDir::AllEntries | QDir::System).size(), 1);
    }
}

TEST_F(NotesStoreTest, TheFileIsTheUsersAloneAndNeverPastTheCap)
{
    const mode_t umaskBefore = ::umask(022);
    NotesStore store(path);
    store.add("mine");
    ::umask(umaskBefore);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // A note that would take the file past the cap is not taken, in memory or on disk.
    const QByteArray before = read(path);
    store.add(QString(int(kNotesFileMaxBytes), u'x'));
    EXPECT_FALSE(store.lastSaveSucceeded());
    EXPECT_EQ(store.notes().size(), 1);
    EXPECT_EQ(read(path), before);
    EXPECT_FALSE(NotesStore::save(
        {NoteItem("x", Date(0), false), NoteItem(QString(int(kNotesFileMaxBytes), u'y'), Date(0), false)}, path));
    EXPECT_EQ(read(path), before);
}

// Run as a child by the next test: saves growing lists until killed.
TEST(NotesStoreChild, SavesForever)
{
    const QString path = qEnvironmentVariable("VELK_NOTES_CHILD");
    if (path.isEmpty()) GTEST_SKIP() << "runs only as the child of KillDuringSaves";
    QList<NoteItem> notes;
    for (int i = 0;; ++i) {
        notes.prepend(NoteItem(QUuid::createUuid(), QString(2000, QChar(u'a' + i % 26)), Date(i), false));
        NotesStore::save(notes, path);
    }
}

TEST_F(NotesStoreTest, AKillDuringSavesLeavesAWholeList)
{
    for (int round = 0; round < 5; ++round) {
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VELK_NOTES_CHILD", path);
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=NotesStoreChild.SavesForever"});
        ASSERT_TRUE(child.waitForStarted());
        // Kill once the child has saved a few times, at whatever point it has reached.
        QElapsedTimer waited;
        waited.start();
        while (QFileInfo(path).size() < 2000 * (round + 2) && waited.elapsed() < 60000)
            QThread::msleep(1);
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished();
        const auto notes = decodeJson<std::vector<NoteItem>>(read(path));
        ASSERT_TRUE(notes) << "round " << round;
        EXPECT_FALSE(notes->empty());
    }
}
