// The real velk-widgets against the real plug-in, as a user runs it.
#include "fixtures/calendar/CalendarFixtures.h"
#include "platform/core/Defaults.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result velkWidgets(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment(),
                   const std::function<void()>& inChild = {})
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (inChild) p.setChildProcessModifier(inChild);
    p.start(QStringLiteral(VELK_WIDGETS_PROGRAM), args);
    EXPECT_TRUE(p.waitForFinished(120000));
    Result r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

// A full disk, as far as the program can tell: no file may grow past a few bytes, and the
// signal that would kill it for trying is ignored, so writes fail as they do on a full disk.
void fullDisk()
{
    const rlimit limit{64, 64};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    ::signal(SIGXFSZ, SIG_IGN);
}

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The last line of stderr: the program's own message after anything Qt printed.
QString lastLine(const QString& err)
{
    return err.trimmed().split('\n').last();
}

} // namespace

TEST(ProgramTest, LoadsThePluginNextToItAndRunsItsButtonActions)
{
    EXPECT_EQ(velkWidgets({"list"}).status, 0);

    // The action registered by the plug-in runs in the program and writes the shared suite
    // (this test's private one, inherited by the program).
    auto before = velk::Defaults::shared().keys();
    const Result r = velkWidgets({"run-intent", "AddWaterIntent"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_NE(velk::Defaults::shared().keys(), before);

    const Result bad = velkWidgets({"run-intent", "AddStepsIntent", "--param", "steps=lots"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_TRUE(lastLine(bad.err).startsWith("velk-widgets: ")) << bad.err.toStdString();
}

TEST(ProgramTest, ClearErrorsNeverACrash)
{
    struct Case {
        QStringList args;
        int status;
    };
    for (const Case& c :
         {Case{{"render", "velk.no.such", "-o", "/tmp/never.png"}, 2}, Case{{"tree", "x", "--size", "wide"}, 2},
          Case{{"frobnicate"}, 2}, Case{{"run-intent", "NoSuchIntent"}, 2}, Case{{"help"}, 0}}) {
        const Result r = velkWidgets(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString() << r.err.toStdString();
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELK_WIDGETS_PLUGIN", QFileInfo(VELK_WIDGETS_PROGRAM).absolutePath() + "/no-such-plugin.so");
    const Result missing = velkWidgets({"list"}, env);
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(lastLine(missing.err).contains("VELK_WIDGETS_PLUGIN")) << missing.err.toStdString();

    // A directory holding the plug-in is as good as its path.
    env.insert("VELK_WIDGETS_PLUGIN", QFileInfo(VELK_WIDGETS_PROGRAM).absolutePath());
    EXPECT_EQ(velkWidgets({"list"}, env).status, 0);

    // The host with no display at all (a text console, an ssh session): one line, no abort.
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    const Result headless = velkWidgets({}, env);
    EXPECT_EQ(headless.status, 1);
    EXPECT_EQ(headless.err.trimmed(), lastLine(headless.err));
    EXPECT_TRUE(headless.err.contains("DISPLAY")) << headless.err.toStdString();
}

// Today's reminders come from the user's iCalendar files through the real plug-in, and the
// toggle run from the command line completes one in its file and refreshes the stored snapshot.
TEST(ProgramTest, RemindersFromCalendarFilesAndTheToggleWritesBack)
{
    const QString store = qEnvironmentVariable("XDG_DATA_HOME") + "/velk/calendars";
    ASSERT_TRUE(velk::test::copyCalendarFixtures(store));
    velk::CalendarAccess::setStatus(velk::CalendarEntityType::reminder, velk::CalendarAuthorizationStatus::fullAccess);
    velk::Defaults::shared().setInteger("velk.timeformat", 24);

    const Result tree = velkWidgets({"tree", "velk.reminders.checklist", "--now", "2025-03-07T09:30:00Z"});
    ASSERT_EQ(tree.status, 0) << tree.err.toStdString();
    EXPECT_TRUE(tree.out.contains("\"Call the bank\"")) << tree.out.toStdString();
    EXPECT_TRUE(tree.out.contains("\"Pay rent\""));

    const Result run = velkWidgets({"run-intent", "ToggleReminderIntent", "--param", "reminderID=call-1"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    QFile ics(store + "/Personal/call-bank.ics");
    ASSERT_TRUE(ics.open(QIODevice::ReadOnly));
    const QByteArray text = ics.readAll();
    EXPECT_TRUE(text.contains("STATUS:COMPLETED")) << text.toStdString();
    EXPECT_TRUE(text.contains("SUMMARY:Call the bank"));
    EXPECT_TRUE(velk::Defaults::shared().data("velk.snapshot.reminders.v1").has_value());
}

// A toggle that changed nothing says why and exits non-zero: an id of nothing, a reminder whose
// file cannot be saved on a full disk.
TEST(ProgramTest, TogglesThatChangeNothingFail)
{
    const QString store = qEnvironmentVariable("XDG_DATA_HOME") + "/velk/calendars";
    ASSERT_TRUE(velk::test::copyCalendarFixtures(store));
    velk::CalendarAccess::setStatus(velk::CalendarEntityType::reminder, velk::CalendarAuthorizationStatus::fullAccess);
    const QByteArray before = contents(store + "/Personal/call-bank.ics");
    ASSERT_GT(before.size(), 64);

    const struct {
        QStringList args;
        bool fullDisk;
        const char* says;
    } cases[] = {
        {{"run-intent", "ToggleReminderIntent", "--param", "reminderID=call-1"},
         true,
         "the reminder could not be saved"},
        {{"run-intent", "ToggleReminderIntent", "--param", "reminderID=no-such-id"},
         false,
         "no reminder has the id no-such-id"},
        {{"run-intent", "HabitToggleIntent", "--param", "habitID=nope"}, false, "\"nope\" is not a habit id"},
        {{"run-intent", "HabitToggleIntent", "--param",
          "habitID=" + QUuid::createUuid().toString(QUuid::WithoutBraces)},
         false,
         "no habit has the id"},
    };
    for (const auto& c : cases) {
        const Result r = velkWidgets(c.args, QProcessEnvironment::systemEnvironment(), c.fullDisk ? fullDisk : nullptr);
        EXPECT_EQ(r.status, 1) << c.says;
        EXPECT_TRUE(lastLine(r.err).startsWith("velk-widgets: " + c.args[1] + " failed: ")) << r.err.toStdString();
        EXPECT_TRUE(lastLine(r.err).contains(c.says)) << r.err.toStdString();
    }
    EXPECT_EQ(contents(store + "/Personal/call-bank.ics"), before);
}

// A save that fails on a full disk keeps the old file byte for byte, says so and exits
// non-zero: the placement file on `add`, the picture on `render -o`.
TEST(ProgramTest, AFullDiskKeepsTheOldFileAndFails)
{
    const Result list = velkWidgets({"list"});
    ASSERT_EQ(list.status, 0);
    const QString kind = list.out.section('\t', 0, 0);
    ASSERT_FALSE(kind.isEmpty());

    const Result added = velkWidgets({"add", kind});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    const QString placements = qEnvironmentVariable("XDG_CONFIG_HOME") + "/velk/widgets.json";
    const QByteArray before = contents(placements);
    ASSERT_GT(before.size(), 64);
    const Result full = velkWidgets({"add", kind}, QProcessEnvironment::systemEnvironment(), fullDisk);
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains("velk-widgets: cannot write " + placements)) << full.err.toStdString();
    EXPECT_TRUE(full.out.isEmpty()) << "an id that was never placed: " << full.out.toStdString();
    EXPECT_EQ(contents(placements), before);

    const QTemporaryDir out;
    const QString png = out.filePath("full.png");
    ASSERT_EQ(velkWidgets({"render", kind, "-o", png}).status, 0);
    const QByteArray picture = contents(png);
    const Result render =
        velkWidgets({"render", kind, "--scale", "2", "-o", png}, QProcessEnvironment::systemEnvironment(), fullDisk);
    EXPECT_EQ(render.status, 1);
    EXPECT_TRUE(render.err.contains("velk-widgets: cannot write " + png)) << render.err.toStdString();
    EXPECT_EQ(contents(png), picture);
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{"full.png"});
    // Nothing is left beside them.
    EXPECT_EQ(QDir(QFileInfo(placements).absolutePath()).entryList(QDir::Files), QStringList{"widgets.json"});
}
