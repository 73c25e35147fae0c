#include "platform/core/FileSave.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace velk;

namespace {

class FileSaveTest : public ::testing::Test {
protected:
    QString at(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static unsigned mode(const QString& path)
    {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
    }
    QStringList entries() const
    {
        return QDir(dir_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(FileSaveTest, ReplacesWholeAndSetsTheModeAskedFor)
{
    const QString path = at("state.json");
    QString error;
    ASSERT_TRUE(saveFileAtomically(path, "first", &error, FileAccess::ownerOnly)) << error.toStdString();
    EXPECT_EQ(contents(path), "first");
    EXPECT_EQ(mode(path), 0600u);

    ::chmod(QFile::encodeName(path).constData(), 0640);
    ASSERT_TRUE(saveFileAtomically(path, "", &error));
    EXPECT_EQ(contents(path), "");
    EXPECT_EQ(mode(path), 0640u); // kept
    ASSERT_TRUE(saveFileAtomically(path, "third", &error, FileAccess::ownerOnly));
    EXPECT_EQ(mode(path), 0600u);                      // tightened
    EXPECT_EQ(entries(), QStringList({"state.json"})); // no temporary left behind
}

TEST_F(FileSaveTest, NothingButARegularFileIsReplaced)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir_.path()).mkdir("folder"));
    ASSERT_TRUE(QFile::link("/dev/null", at("device")));
    ASSERT_TRUE(QFile::link(at("nowhere"), at("dangling")));
    for (const char* name : {"fifo", "folder", "device", "dangling"}) {
        QString error;
        EXPECT_FALSE(saveFileAtomically(at(name), "x", &error)) << name;
        EXPECT_FALSE(error.isEmpty()) << name;
    }
    EXPECT_TRUE(QFileInfo(at("fifo")).exists() && !QFileInfo(at("fifo")).isFile());
    EXPECT_EQ(QFileInfo(at("device")).symLinkTarget(), "/dev/null");
    EXPECT_FALSE(QFile::exists(at("nowhere")));
    EXPECT_EQ(entries().size(), 4);

    // A link to a regular file replaces that file and keeps the link.
    QString error;
    ASSERT_TRUE(saveFileAtomically(at("target"), "old", &error));
    ASSERT_TRUE(QFile::link(at("target"), at("link")));
    ASSERT_TRUE(saveFileAtomically(at("link"), "new", &error)) << error.toStdString();
    EXPECT_EQ(contents(at("target")), "new");
    EXPECT_TRUE(QFileInfo(at("link")).isSymLink());
}

// A full disk, as a file size limit in a child process (SIGXFSZ ignored, so the write fails
// with EFBIG): the save fails, says so, and the old file stays byte for byte.
TEST_F(FileSaveTest, AFailedWriteKeepsTheOldFile)
{
    const QString path = at("widgets.json");
    const QByteArray old = QByteArray("[{\"id\": 1}]\n").repeated(50);
    QString error;
    ASSERT_TRUE(saveFileAtomically(path, old, &error));
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{4096, 4096};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) ::_exit(10);
        QString why;
        if (saveFileAtomically(path, QByteArray(1 << 20, 'n'), &why)) ::_exit(11);
        ::_exit(why.contains("kept") ? 0 : 12);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(contents(path), old);
    EXPECT_EQ(entries(), QStringList({"widgets.json"}));
}

TEST_F(FileSaveTest, ReadsOnlyRegularFilesUpToTheCap)
{
    QString error;
    bool missing = false;
    ASSERT_TRUE(saveFileAtomically(at("ten"), "0123456789", &error));
    EXPECT_EQ(readRegularFile(at("ten"), 10, &error), QByteArray("0123456789"));
    EXPECT_EQ(readRegularFile(at("ten"), 9, &error), std::nullopt);
    EXPECT_TRUE(error.contains("larger than 9")) << error.toStdString();
    ASSERT_TRUE(saveFileAtomically(at("empty"), "", &error));
    EXPECT_EQ(readRegularFile(at("empty"), 0, &error), QByteArray(""));

    EXPECT_EQ(readRegularFile(at("absent"), 10, &error, &missing), std::nullopt);
    EXPECT_TRUE(missing);

    // None of these may block or grow without end.
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("fifo")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", at("zero")));
    for (const QString& path : {at("fifo"), at("zero"), QString("/dev/zero"), dir_.path()}) {
        error.clear();
        EXPECT_EQ(readRegularFile(path, 1 << 20, &error, &missing), std::nullopt) << path.toStdString();
        EXPECT_FALSE(missing);
        EXPECT_FALSE(error.isEmpty());
    }
}

TEST_F(FileSaveTest, ReadsTheFirstBytesOrRefusesLinksWhenAsked)
{
    QString error;
    ASSERT_TRUE(saveFileAtomically(at("ten"), "0123456789", &error));
    ASSERT_TRUE(QFile::link(at("ten"), at("link")));
    EXPECT_EQ(readRegularFile(at("ten"), 4, &error, nullptr, {.cutAtCap = true}), QByteArray("0123"));
    EXPECT_EQ(readRegularFile(at("ten"), 40, &error, nullptr, {.cutAtCap = true}), QByteArray("0123456789"));
    EXPECT_EQ(readRegularFile(at("link"), 40, &error), QByteArray("0123456789"));
    EXPECT_EQ(readRegularFile(at("link"), 40, &error, nullptr, {.followLinks = false}), std::nullopt);
    EXPECT_TRUE(error.contains("symbolic link")) << error.toStdString();
    // Cutting never turns a FIFO or a device into something to read.
    ASSERT_EQ(::mkfifo(QFile::encodeName(at("fifo")).constData(), 0600), 0);
    for (const QString& path : {at("fifo"), QString("/dev/zero")})
        EXPECT_EQ(readRegularFile(path, 4, &error, nullptr, {.cutAtCap = true}), std::nullopt) << path.toStdString();
}
