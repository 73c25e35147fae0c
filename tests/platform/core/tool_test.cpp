#include "platform/core/Defaults.h"
#include "platform/core/GroupContainer.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <thread>

using namespace velk;

namespace {

struct ToolRun {
    int status = -1;
    QString out;
    QString err;
};

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QByteArray bin = qgetenv("VELK_BINARY_DIR");
        if (bin.isEmpty()) GTEST_SKIP() << "VELK_BINARY_DIR is not set (run through CTest)";
        tool_ = QString::fromUtf8(bin) + QStringLiteral("/src/platform/core/velk-defaults");
        if (!QFile::exists(tool_)) GTEST_SKIP() << "velk-defaults is not built";
        previous_ = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
    }
    void TearDown() override
    {
        if (!tool_.isEmpty()) qputenv("XDG_DATA_HOME", previous_);
    }

    // fileSizeLimit > 0: the tool runs under that RLIMIT_FSIZE with SIGXFSZ ignored, as on a
    // disk with that much room for any one file.
    ToolRun run(const QStringList& args, rlim_t fileSizeLimit = 0) const
    {
        QProcess p;
        if (fileSizeLimit > 0) {
            p.setChildProcessModifier([fileSizeLimit] {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{fileSizeLimit, fileSizeLimit};
                ::setrlimit(RLIMIT_FSIZE, &limit);
            });
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_DATA_HOME"), home_.path());
        p.setProcessEnvironment(env);
        p.start(tool_, args);
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
                QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
    }

    QString suiteFile(const QString& name) const
    {
        return GroupContainer::dataRoot() + QLatin1Char('/') + name + QStringLiteral(".sqlite");
    }

    QTemporaryDir home_;
    QString tool_;
    QByteArray previous_;
};

TEST_F(ToolTest, EveryKindRoundTripsBetweenProcesses)
{
    // Written by the tool, read here.
    ASSERT_EQ(run({"write", "velk.focus.v1", "--json", R"({"minutes":25,"running":false})"}).status, 0);
    ASSERT_EQ(run({"write", "velk.watergoal", "--int", "-12"}).status, 0);
    ASSERT_EQ(run({"write", "velk.flag", "--bool", "true"}).status, 0);
    ASSERT_EQ(run({"write", "velk.name", "--string", "Zoë's desk"}).status, 0);
    Defaults d = Defaults::shared();
    EXPECT_EQ(d.data("velk.focus.v1"), QByteArray(R"({"minutes":25,"running":false})"));
    EXPECT_EQ(d.integer("velk.watergoal"), -12);
    EXPECT_EQ(d.kind("velk.flag"), Defaults::Kind::boolean);
    EXPECT_TRUE(d.boolean("velk.flag"));
    EXPECT_EQ(d.string("velk.name"), QStringLiteral("Zoë's desk"));

    // Written here, read by the tool.
    d.setData("velk.habits.v1", "[1,2]");
    d.setInteger("velk.stepsgoal", 10000);
    d.setBool("velk.off", false);
    d.setString("velk.city", QStringLiteral("Zürich"));
    const struct {
        const char* key;
        const char* shown;
    } reads[] = {
        {"velk.habits.v1", "[1,2]\n"},
        {"velk.stepsgoal", "10000\n"},
        {"velk.off", "false\n"},
        {"velk.city", "Zürich\n"},
    };
    for (const auto& r : reads) {
        const ToolRun got = run({"read", r.key});
        EXPECT_EQ(got.status, 0) << r.key;
        EXPECT_EQ(got.out, QString::fromUtf8(r.shown)) << r.key;
    }

    const ToolRun list = run({"list"});
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(list.out.contains("velk.focus.v1\tdata\t{\"minutes\":25,\"running\":false}\n"))
        << list.out.toStdString();
    EXPECT_TRUE(list.out.contains("velk.watergoal\tinteger\t-12\n"));
    EXPECT_TRUE(list.out.contains("velk.flag\tbool\ttrue\n"));

    ASSERT_EQ(run({"delete", "velk.city"}).status, 0);
    EXPECT_FALSE(d.contains("velk.city"));
    EXPECT_EQ(run({"read", "velk.city"}).status, 1);
}

TEST_F(ToolTest, SuiteAndStandardAreChosenByOption)
{
    ASSERT_EQ(run({"--suite", "other.suite", "write", "k", "--int", "1"}).status, 0);
    ASSERT_EQ(run({"--standard", "velk", "write", "velk.pollseconds", "--int", "30"}).status, 0);
    EXPECT_EQ(Defaults::suite("other.suite")->integer("k"), 1);
    EXPECT_FALSE(Defaults::shared().contains("k"));
    EXPECT_TRUE(QFile::exists(suiteFile("velk")));
    EXPECT_EQ(run({"--standard", "velk", "read", "velk.pollseconds"}).out, "30\n");
}

TEST_F(ToolTest, BadUsageExitsTwoAndWritesNothing)
{
    const QStringList cases[] = {
        {},
        {"frobnicate"},
        {"read"},
        {"read", "a", "b"},
        {"list", "extra"},
        {"write", "k"},
        {"write", "k", "--json", "{not json"},
        {"write", "k", "--json", "1, 2"},
        {"write", "k", "--int", "12.5"},
        {"write", "k", "--bool", "yes"},
        {"write", "k", "--float", "1"},
        {"--suite"},
        {"--colour", "x", "list"},
        {"--suite", "a", "--standard", "b", "list"},
        // Standard names become file names: these would land outside the intended one.
        {"--standard", "..", "write", "k", "--int", "1"},
        {"--standard", ".", "list"},
        {"--standard", "../x", "list"},
        {"--standard", "", "list"},
    };
    for (const QStringList& args : cases) {
        const ToolRun got = run(args);
        EXPECT_EQ(got.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(got.err.startsWith("velk-defaults: ")) << got.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(suiteFile(Defaults::kAppGroupSuite)));
    EXPECT_FALSE(QFile::exists(suiteFile("velk")));
    EXPECT_FALSE(QFile::exists(home_.path() + "/..sqlite"));
}

TEST_F(ToolTest, UnreadableSuiteIsReportedAndKept)
{
    ASSERT_TRUE(GroupContainer::makePrivateDirectory(GroupContainer::dataRoot()));
    QFile f(suiteFile(Defaults::kAppGroupSuite));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray junk(4096, 'x');
    f.write(junk);
    f.close();

    EXPECT_EQ(run({"write", "k", "--int", "1"}).status, 3);
    EXPECT_EQ(run({"list"}).status, 3);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), junk);
}

// A suite with many rows, then pages of it overwritten: the tool reports the damage as errors
// and never writes into the file.
TEST_F(ToolTest, ADamagedFileIsAnErrorNotAShortList)
{
    struct Case {
        const char* what;
        std::vector<int> pages; // 1-based, as SQLite counts them
    };
    for (const Case& c : {Case{"the roots of the table and its index", {2, 3}}, Case{"the last page", {-1}}}) {
        const QString name = QStringLiteral("damaged.") + QString::number(c.pages.front());
        // Written on a thread of its own: its connection closes when it ends, so every row is
        // in the main file, not in a write-ahead log.
        std::thread([&] {
            auto suite = Defaults::suite(name);
            ASSERT_TRUE(suite);
            for (int i = 0; i < 300; ++i)
                ASSERT_TRUE(suite->setString(QStringLiteral("key.%1").arg(i, 3, 10, QLatin1Char('0')),
                                             QString(300, QLatin1Char('v'))));
        }).join();
        const QString path = suiteFile(name);
        ASSERT_FALSE(QFile::exists(path + "-wal"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const qint64 pageCount = file.size() / 4096;
        ASSERT_GT(pageCount, 10);
        for (int page : c.pages) {
            file.seek((page > 0 ? page - 1 : pageCount + page) * 4096);
            file.write(QByteArray(4096, char(0xA5)));
        }
        file.close();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray damaged = file.readAll();
        file.close();

        const ToolRun list = run({"--suite", name, "list"});
        EXPECT_EQ(list.status, 3) << c.what;
        EXPECT_TRUE(list.err.contains("cannot")) << list.err.toStdString();
        const ToolRun write = run({"--suite", name, "write", "new", "--int", "1"});
        EXPECT_EQ(write.status, 3) << c.what;
        EXPECT_TRUE(write.err.contains("damaged")) << write.err.toStdString();
        if (c.pages.front() == 2) {
            EXPECT_EQ(run({"--suite", name, "read", "key.150"}).status, 3);
        }
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), damaged) << c.what;
        file.close();
    }
}

// A value that does not fit on the disk: the write fails with a message and a non-zero exit,
// and the file is unchanged.
TEST_F(ToolTest, AWriteThatDoesNotFitFailsAndKeepsTheFile)
{
    const QString name = QStringLiteral("full");
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(
            run({"--suite", name, "write", QStringLiteral("k%1").arg(i), "--string", QString(1000, QLatin1Char('v'))})
                .status,
            0);
    QFile file(suiteFile(name));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    // Room for the shared-memory index (32 KiB) beside the file, not for the value's pages.
    const rlim_t room = rlim_t(std::max<qsizetype>(before.size(), 32768));
    const QString big(100000, QLatin1Char('b'));

    const ToolRun got = run({"--suite", name, "write", "big", "--string", big}, room);
    EXPECT_EQ(got.status, 3);
    EXPECT_TRUE(got.err.contains("velk-defaults: cannot write big in " + suiteFile(name))) << got.err.toStdString();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    file.close();
    EXPECT_EQ(run({"--suite", name, "read", "big"}).status, 1);
    EXPECT_EQ(run({"--suite", name, "read", "k39"}).out, QString(1000, QLatin1Char('v')) + "\n");
}

} // namespace
