#include "platform/core/Defaults.h"
#include "platform/core/GroupContainer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <limits>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace velk;

namespace {

// Each test gets its own data root, so stores opened by one test never leak into another.
class DefaultsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        previous_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", previous_); }

    QString root() const { return home_.path() + QStringLiteral("/velk"); }
    QString suiteFile() const
    {
        return root() + QLatin1Char('/') + Defaults::kAppGroupSuite + QStringLiteral(".sqlite");
    }
    QString standardFile() const
    {
        return root() + QLatin1Char('/') + QCoreApplication::applicationName() + QStringLiteral(".sqlite");
    }

    // A file that is not a database where a store would be.
    QByteArray plantGarbage(const QString& path)
    {
        EXPECT_TRUE(GroupContainer::makePrivateDirectory(root()));
        QByteArray junk;
        for (int i = 0; i < 200; ++i)
            junk += "this is someone's notes, not a database\n";
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(junk);
        return junk;
    }

    static unsigned mode(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
    }

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir home_;
    QByteArray previous_;
};

TEST_F(DefaultsTest, ValuesRoundTripWithTheirKind)
{
    Defaults d = Defaults::shared();
    EXPECT_EQ(d.path(), suiteFile());

    QByteArray big(2048, '\0');
    for (int i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    ASSERT_TRUE(d.setData("doc", R"({"a":[1,2,3]})"));
    ASSERT_TRUE(d.setData("binary", big));
    ASSERT_TRUE(d.setData("empty", QByteArray()));
    ASSERT_TRUE(d.setInteger("int", std::numeric_limits<qint64>::min()));
    ASSERT_TRUE(d.setBool("flag", true));
    ASSERT_TRUE(d.setString("text", QStringLiteral("Grüße \u2603")));
    ASSERT_TRUE(d.setString("blank", QString()));

    EXPECT_EQ(d.data("doc"), QByteArray(R"({"a":[1,2,3]})"));
    EXPECT_EQ(d.data("binary"), big);
    EXPECT_EQ(d.data("empty"), QByteArray()); // present, though empty
    EXPECT_EQ(d.integer("int"), std::numeric_limits<qint64>::min());
    EXPECT_TRUE(d.boolean("flag"));
    EXPECT_EQ(d.string("text"), QStringLiteral("Grüße \u2603"));
    EXPECT_EQ(d.string("blank"), QString());
    EXPECT_EQ(d.kind("empty"), Defaults::Kind::data);
    EXPECT_EQ(d.kind("blank"), Defaults::Kind::string);
    EXPECT_EQ(d.kind("flag"), Defaults::Kind::boolean);
    EXPECT_EQ(d.keys(), (QStringList{"binary", "blank", "doc", "empty", "flag", "int", "text"}));

    // A write replaces the value whole, kind included.
    ASSERT_TRUE(d.setInteger("doc", 7));
    EXPECT_EQ(d.kind("doc"), Defaults::Kind::integer);
    EXPECT_EQ(d.data("doc"), std::nullopt);

    // Another handle on the same suite sees the same values.
    EXPECT_EQ(Defaults::suite(Defaults::kAppGroupSuite)->integer("doc"), 7);
    ASSERT_TRUE(d.remove("doc"));
    EXPECT_FALSE(d.contains("doc"));
}

TEST_F(DefaultsTest, AValuePastTheCapIsRefusedAndThePreviousOneKept)
{
    Defaults d = Defaults::shared();
    const QByteArray atCap(Defaults::kMaxValueBytes, 'x');
    ASSERT_TRUE(d.setData("list", atCap));
    ASSERT_TRUE(d.setString("name", "kept"));
    EXPECT_FALSE(d.setData("list", atCap + "y"));
    EXPECT_TRUE(Defaults::lastError().contains("more than")) << Defaults::lastError().toStdString();
    EXPECT_FALSE(d.setString("name", QString(Defaults::kMaxValueBytes / 2 + 1, QChar(0xe9)))); // two bytes each
    EXPECT_EQ(d.data("list"), atCap);
    EXPECT_EQ(d.string("name"), QStringLiteral("kept"));
}

TEST_F(DefaultsTest, ReadsAcrossKindsAndAbsentKeys)
{
    Defaults d = Defaults::shared();
    d.setBool("yes", true);
    d.setBool("no", false);
    d.setInteger("two", 2);
    d.setString("numeric", QStringLiteral(" 42 "));
    d.setString("word", QStringLiteral("twelve"));
    d.setData("json", "42");

    struct Case {
        const char* key;
        qint64 integer;
        bool boolean;
        bool hasData;
        bool hasString;
    };
    const Case cases[] = {
        {"yes", 1, true, false, false},      {"no", 0, false, false, false},  {"two", 2, true, false, false},
        {"numeric", 42, false, false, true}, {"word", 0, false, false, true}, {"json", 0, false, true, false},
        {"absent", 0, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(d.integer(c.key), c.integer);
        EXPECT_EQ(d.boolean(c.key), c.boolean);
        EXPECT_EQ(d.data(c.key).has_value(), c.hasData);
        EXPECT_EQ(d.string(c.key).has_value(), c.hasString);
    }
    EXPECT_EQ(d.kind("absent"), std::nullopt);
    EXPECT_TRUE(d.remove("absent"));
}

TEST_F(DefaultsTest, FilesArePrivate)
{
    Defaults::shared().setInteger("k", 1);
    EXPECT_EQ(mode(root()), 0700u);
    EXPECT_EQ(mode(suiteFile()), 0600u);
}

TEST_F(DefaultsTest, AnOpenDataFolderIsTightenedButFoldersAboveItAreLeftAlone)
{
    ASSERT_TRUE(GroupContainer::makePrivateDirectory(root()));
    ASSERT_EQ(::chmod(QFile::encodeName(root()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(home_.path()).constData(), 0755), 0);
    EXPECT_TRUE(GroupContainer::makePrivateDirectory(root() + QStringLiteral("/group")));
    EXPECT_EQ(mode(root()), 0700u);
    EXPECT_EQ(mode(home_.path()), 0755u);
}

TEST_F(DefaultsTest, SuiteThatIsNotADatabaseIsKeptAndNeverStoodInFor)
{
    const QByteArray junk = plantGarbage(suiteFile());
    QStringList warnings;
    static QStringList* sink = nullptr;
    sink = &warnings;
    const auto previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& ctx, const QString& msg) {
        if (type == QtWarningMsg && QByteArray(ctx.category) == "com.harrowcrest.velk.defaults") *sink << msg;
    });

    EXPECT_EQ(Defaults::suite(Defaults::kAppGroupSuite), std::nullopt);
    Defaults d = Defaults::shared();
    EXPECT_EQ(d.path(), suiteFile());
    // Counts meant for the suite must not land in this process's own file.
    EXPECT_FALSE(d.setInteger("velk.watergoal", 6));
    EXPECT_TRUE(Defaults::lastError().contains(suiteFile())) << Defaults::lastError().toStdString();
    EXPECT_EQ(Defaults::shared().integer("velk.watergoal"), 0);
    EXPECT_FALSE(Defaults::lastError().isEmpty()); // a failed read, not an absent key
    qInstallMessageHandler(previous);

    EXPECT_EQ(warnings.size(), 1) << warnings.join('\n').toStdString(); // said once, not per access
    EXPECT_EQ(contents(suiteFile()), junk);
    EXPECT_FALSE(QFile::exists(suiteFile() + "-wal"));
    EXPECT_FALSE(QFile::exists(standardFile()));
}

TEST_F(DefaultsTest, UnopenableStandardDefaultsStillWorkForTheRun)
{
    plantGarbage(standardFile());
    Defaults d = Defaults::standard();
    EXPECT_TRUE(d.path().isEmpty());
    ASSERT_TRUE(d.setString("velk.note", QStringLiteral("kept")));
    EXPECT_EQ(Defaults::standard().string("velk.note"), QStringLiteral("kept"));
    EXPECT_EQ(Defaults::standard().addToInteger("n", 2), 2);
    EXPECT_TRUE(Defaults::lastError().isEmpty());
}

TEST_F(DefaultsTest, SuiteNamesThatAreNotPlainAreRefused)
{
    for (const char* name : {"", ".", "..", "../escape", "a/b"})
        EXPECT_EQ(Defaults::suite(QString::fromUtf8(name)), std::nullopt) << name;
    EXPECT_FALSE(QFile::exists(home_.path() + "/escape.sqlite"));
}

TEST_F(DefaultsTest, AddToIntegerStartsAtTheReadValueAndSaturates)
{
    Defaults d = Defaults::shared();
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    d.setBool("flag", true);
    d.setData("doc", "{}");
    d.setInteger("high", max - 1);
    d.setInteger("low", min + 1);

    struct Case {
        const char* key;
        qint64 delta;
        qint64 expected;
    };
    const Case cases[] = {
        {"absent", 3, 3}, {"flag", 1, 2}, {"doc", 5, 5}, {"high", 5, max}, {"low", -5, min}, {"high", -1, max - 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(d.addToInteger(c.key, c.delta), c.expected);
        EXPECT_EQ(d.integer(c.key), c.expected);
        EXPECT_EQ(d.kind(c.key), Defaults::Kind::integer);
    }
}

TEST_F(DefaultsTest, ThreadsSharingAHandleLoseNoIncrement)
{
    Defaults d = Defaults::shared();
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([d]() mutable {
            for (int i = 0; i < 100; ++i)
                d.addToInteger("count", 1);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(d.integer("count"), 400);
}

TEST_F(DefaultsTest, ProcessesLoseNoIncrement)
{
    constexpr int kProcesses = 3;
    constexpr int kEach = 200;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            // A fresh data root: the child opens its own connection, none inherited.
            auto suite = Defaults::suite(Defaults::kAppGroupSuite);
            for (int i = 0; suite && i < kEach; ++i)
                suite->addToInteger("velk.counter.water.2025-03-07", 1);
            ::_exit(suite ? 0 : 1);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(Defaults::shared().integer("velk.counter.water.2025-03-07"), kProcesses * kEach);
}

// Reads are kept while the file is unchanged: every way the file can change under a kept value
// must show at the very next read.
TEST_F(DefaultsTest, AReadAfterAWriteThroughTheSameHandleSeesIt)
{
    Defaults d = Defaults::shared();
    struct Case {
        const char* what;
        std::function<void()> write;
        std::optional<qint64> expected; // nothing: absent
    };
    const Case cases[] = {
        {"set", [&] { d.setInteger("k", 24); }, 24},
        {"same value again", [&] { d.setInteger("k", 24); }, 24},
        {"other kind", [&] { d.setBool("k", true); }, 1},
        {"add", [&] { d.addToInteger("k", 10); }, 11},
        {"remove", [&] { d.remove("k"); }, std::nullopt},
        {"set after removal", [&] { d.setString("k", QStringLiteral("12")); }, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        d.integer("k"); // kept before the write
        d.contains("k");
        c.write();
        EXPECT_EQ(d.contains("k"), c.expected.has_value());
        EXPECT_EQ(d.integer("k"), c.expected.value_or(0));
    }
}

TEST_F(DefaultsTest, ReadersOnOtherThreadsSeeEachCommitInOrderAndTheLastOne)
{
    Defaults d = Defaults::shared();
    d.setInteger("n", 0);
    d.setString("gone", QStringLiteral("here"));
    EXPECT_EQ(d.integer("n"), 0); // kept by this thread while the others write
    EXPECT_TRUE(d.contains("gone"));
    constexpr int kWrites = 300;
    std::atomic<bool> written{false};
    struct Seen {
        bool backwards = false; // a read older than one before it
        qint64 last = -1;
        bool goneStillThere = true;
    };
    std::vector<Seen> seen(4);
    std::vector<std::thread> readers;
    for (Seen& s : seen)
        readers.emplace_back([d, &s, &written] {
            qint64 previous = 0;
            while (!written.load()) {
                const qint64 now = d.integer("n");
                s.backwards |= now < previous;
                previous = now;
            }
            // Every commit happened before this read: it must see the last of them.
            s.last = d.integer("n");
            s.goneStillThere = d.string("gone").has_value();
        });
    std::thread writer([d]() mutable {
        for (int i = 1; i <= kWrites; ++i)
            d.setInteger("n", i);
        d.remove("gone");
    });
    writer.join();
    written = true;
    for (auto& t : readers)
        t.join();
    for (const Seen& s : seen) {
        EXPECT_FALSE(s.backwards);
        EXPECT_EQ(s.last, kWrites);
        EXPECT_FALSE(s.goneStillThere);
    }
    // This thread read before the writer started, and sees the end as well.
    EXPECT_EQ(d.integer("n"), kWrites);
    EXPECT_FALSE(d.contains("gone"));
}

// Another process writes while this one holds what it read: each change shows at the next read,
// one at a time and after a burst long enough for the WAL to be checkpointed and started over.
TEST_F(DefaultsTest, ReadsSeeWhatAnotherProcessWroteAtTheNextRead)
{
    struct Command {
        char op; // 's'et, 'r'emove, 'b'urst of sets 1..value
        qint64 value;
    };
    // The writing child, told what to do through one pipe and answering through another. It
    // ends when its command pipe closes, also when a check below gives up early.
    struct Child {
        int commands[2] = {-1, -1};
        int answers[2] = {-1, -1};
        pid_t pid = -1;
        ~Child()
        {
            for (int fd : {commands[1], answers[0]})
                if (fd >= 0) ::close(fd);
            if (pid > 0) ::waitpid(pid, nullptr, 0);
        }
        bool ask(char op, qint64 value) const
        {
            const Command c{op, value};
            char done = 0;
            return ::write(commands[1], &c, sizeof c) == sizeof c && ::read(answers[0], &done, 1) == 1;
        }
    } child;
    ASSERT_EQ(::pipe(child.commands), 0);
    ASSERT_EQ(::pipe(child.answers), 0);
    // Forked before this process opens the suite, so the child's connection is its own.
    child.pid = ::fork();
    ASSERT_GE(child.pid, 0);
    if (child.pid == 0) {
        ::close(child.commands[1]);
        ::close(child.answers[0]);
        auto suite = Defaults::suite(Defaults::kAppGroupSuite);
        Command c{};
        while (suite && ::read(child.commands[0], &c, sizeof c) == sizeof c) {
            if (c.op == 's') suite->setInteger("velk.timeformat", c.value);
            if (c.op == 'r') suite->remove("velk.timeformat");
            for (qint64 i = 1; c.op == 'b' && i <= c.value; ++i)
                suite->setInteger("velk.timeformat", i);
            if (::write(child.answers[1], "k", 1) != 1) break;
        }
        ::_exit(suite ? 0 : 1);
    }
    ::close(child.commands[0]);
    ::close(child.answers[1]);

    Defaults d = Defaults::shared();
    d.setString("velk.other", QStringLiteral("mine"));
    EXPECT_EQ(d.integer("velk.timeformat"), 0);
    ASSERT_TRUE(child.ask('s', 12));
    EXPECT_EQ(d.integer("velk.timeformat"), 12);
    EXPECT_EQ(d.integer("velk.timeformat"), 12);
    ASSERT_TRUE(child.ask('r', 0));
    EXPECT_FALSE(d.contains("velk.timeformat"));
    for (qint64 i = 100; i < 400; ++i) {
        ASSERT_TRUE(child.ask('s', i));
        ASSERT_EQ(d.integer("velk.timeformat"), i);
    }
    ASSERT_TRUE(child.ask('b', 3000));
    EXPECT_EQ(d.integer("velk.timeformat"), 3000);
    EXPECT_EQ(d.string("velk.other"), QStringLiteral("mine"));

    ::close(std::exchange(child.commands[1], -1));
    const pid_t pid = std::exchange(child.pid, -1);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

TEST_F(DefaultsTest, GroupContainerIsCreatedPrivateOnDemand)
{
    const auto folder = GroupContainer::url(Defaults::kAppGroupSuite);
    ASSERT_TRUE(folder.has_value());
    EXPECT_EQ(*folder, root() + "/group/" + Defaults::kAppGroupSuite);
    EXPECT_TRUE(QFileInfo(*folder).isDir());
    EXPECT_EQ(mode(*folder), 0700u);
    EXPECT_EQ(GroupContainer::url("../x"), std::nullopt);
}

} // namespace
