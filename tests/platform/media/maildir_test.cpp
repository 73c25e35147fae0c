// The Maildir inbox: unread counting, the newest message's preview, encoded header words and
// the failures a poll must report.
#include "platform/media/MaildirInbox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using velk::MaildirInbox;

namespace {

void writeMessage(const QString& path, const QByteArray& headers, qint64 msecsAgo)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(headers + "\r\n\r\nbody\r\n");
    ASSERT_TRUE(f.setFileTime(QDateTime::currentDateTime().addMSecs(-msecsAgo), QFileDevice::FileModificationTime));
}

struct Maildir {
    QTemporaryDir dir;
    Maildir()
    {
        for (const char* sub : {"new", "cur", "tmp"})
            QDir(dir.path()).mkpath(QLatin1String(sub));
    }
    QString path(const char* rel) const { return dir.path() + u'/' + QLatin1String(rel); }
};

} // namespace

TEST(MaildirHeaders, EncodedWordsAreDecoded)
{
    const struct {
        QByteArray raw;
        QString expected;
    } cases[] = {
        {"plain text", QStringLiteral("plain text")},
        {"=?UTF-8?B?w4lsw6huZQ==?=", QStringLiteral("Élène")},
        {"=?iso-8859-1?Q?Caf=E9_au_lait?=", QStringLiteral("Café au lait")},
        {"=?utf-8?q?a?= =?utf-8?q?b?=", QStringLiteral("ab")}, // space between words dropped
        {"Re: =?utf-8?q?caf=C3=A9?= time", QStringLiteral("Re: café time")},
        {"=?UTF-8*en?Q?hi?=", QStringLiteral("hi")},
        {"=?x-unknown?Q?ok?=", QStringLiteral("ok")},
        {"raw \xc3\xbc utf-8", QStringLiteral("raw ü utf-8")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaildirInbox::decodeWords(c.raw), c.expected) << c.raw.constData();
}

TEST(MaildirHeaders, PreviewNamesTheSender)
{
    const struct {
        QByteArray headers;
        QString expected;
    } cases[] = {
        {"From: Ada Lovelace <ada@example.org>\nSubject: Engines", QStringLiteral("Ada Lovelace: Engines")},
        {"From: \"Doe, Jane\" <jane@example.org>\nSubject: Hi", QStringLiteral("Doe, Jane: Hi")},
        {"From: <bare@example.org>\nSubject: x", QStringLiteral("bare@example.org: x")},
        {"From: bare@example.org\nSubject: x", QStringLiteral("bare@example.org: x")},
        {"From: bob@example.org (Bob)\nSubject: y", QStringLiteral("Bob: y")},
        {"Subject: folded\n  across lines\nFrom: =?UTF-8?Q?J=C3=B6rg?= <j@example.org>",
         QStringLiteral("Jörg: folded across lines")},
        {"From: A <a@b>\r\n\r\nSubject: in the body", QStringLiteral("A: ")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MaildirInbox::preview(MaildirInbox::readHeaders(c.headers)), c.expected) << c.headers.constData();
}

TEST(MaildirHeaders, SeenFlag)
{
    EXPECT_TRUE(MaildirInbox::isSeen(QStringLiteral("1700.M1.host:2,S")));
    EXPECT_TRUE(MaildirInbox::isSeen(QStringLiteral("1700.M1.host:2,FRS")));
    EXPECT_FALSE(MaildirInbox::isSeen(QStringLiteral("1700.M1.host:2,F")));
    EXPECT_FALSE(MaildirInbox::isSeen(QStringLiteral("1700.M1.host:2,")));
    EXPECT_FALSE(MaildirInbox::isSeen(QStringLiteral("1700.M1.hostS")));
}

TEST(MaildirInboxTest, CountsUnreadAndPreviewsTheNewest)
{
    Maildir box;
    writeMessage(box.path("cur/100.M1.h:2,S"), "From: Old <o@x>\nSubject: read long ago", 60000);
    writeMessage(box.path("cur/200.M2.h:2,F"), "From: Flagged <f@x>\nSubject: unread", 30000);
    writeMessage(box.path("new/300.M3.h"),
                 "From: =?UTF-8?B?w4lsw6huZQ==?= <e@x>\nSubject: =?utf-8?q?Caf=C3=A9?=", 1000);
    MaildirInbox inbox(box.dir.path());
    ASSERT_TRUE(inbox.exists());
    EXPECT_EQ(inbox.unreadReply().text, QStringLiteral("2|Élène: Café"));

    // A message arriving later is seen by the next reading.
    writeMessage(box.path("new/400.M4.h"), "From: Late <l@x>\nSubject: just now", 0);
    EXPECT_EQ(inbox.unreadReply().text, QStringLiteral("3|Late: just now"));
}

// Only regular files inside the folder are mail: links (to a file elsewhere, to a device) and
// FIFOs are passed over, whatever their dates, and none of them holds up the reading.
TEST(MaildirInboxTest, OnlyRegularFilesInTheFolderCount)
{
    Maildir box;
    QTemporaryDir elsewhere;
    const QString secret = elsewhere.path() + "/secret";
    writeMessage(secret, "From: Root <r@x>\nSubject: not a mail", 0);
    // A long message: its header block is read, not the whole of it.
    writeMessage(box.path("new/100.M1.h"), "From: Ada <a@x>\nSubject: hi\n\n" + QByteArray(1 << 20, 'b'), 5000);
    ASSERT_TRUE(QFile::link(secret, box.path("new/200.M2.h")));
    ASSERT_TRUE(QFile::link("/dev/zero", box.path("new/300.M3.h")));
    ASSERT_TRUE(QFile::link(box.path("new/100.M1.h"), box.path("cur/400.M4.h:2,")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(box.path("new/500.M5.h")).constData(), 0600), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(elsewhere.path() + "/fifo").constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(elsewhere.path() + "/fifo", box.path("new/600.M6.h")));
    EXPECT_EQ(MaildirInbox(box.dir.path()).unreadReply().text, QStringLiteral("1|Ada: hi"));
}

TEST(MaildirInboxTest, EmptyAndMissingInboxes)
{
    Maildir box;
    EXPECT_EQ(MaildirInbox(box.dir.path()).unreadReply().text, QStringLiteral("0|"));

    MaildirInbox missing(box.dir.path() + QStringLiteral("/nothing"));
    EXPECT_FALSE(missing.exists());
    EXPECT_FALSE(missing.unreadReply().ok());
}

TEST(MaildirInboxTest, AnUnreadableFolderIsAFailure)
{
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    Maildir box;
    writeMessage(box.path("new/1.M1.h"), "From: A <a@x>\nSubject: s", 0);
    ASSERT_EQ(::chmod(box.path("new").toLocal8Bit().constData(), 0), 0);
    const velk::ScriptReply reply = MaildirInbox(box.dir.path()).unreadReply();
    ::chmod(box.path("new").toLocal8Bit().constData(), 0700);
    EXPECT_FALSE(reply.ok());
    EXPECT_TRUE(reply.error.contains(QStringLiteral("new")));
}

TEST(MaildirInboxTest, AFolderThatIsNotOneIsAFailure)
{
    Maildir box;
    QDir(box.dir.path()).rmdir(QStringLiteral("new"));
    QFile file(box.path("new"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_FALSE(MaildirInbox(box.dir.path()).unreadReply().ok());
}

TEST(MaildirInboxTest, DefaultPathFollowsTheSetting)
{
    ::setenv("VELK_MAILDIR", "/srv/mail/me", 1);
    EXPECT_EQ(MaildirInbox::defaultPath(), QStringLiteral("/srv/mail/me"));
    ::setenv("VELK_MAILDIR", "relative/path", 1);
    EXPECT_EQ(MaildirInbox::defaultPath(), QDir::homePath() + QStringLiteral("/Maildir"));
    ::unsetenv("VELK_MAILDIR");
}
