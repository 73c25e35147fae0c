// The real velk-widgets against the real plug-in, as a user runs it.
#include "platform/core/Defaults.h"
#include "fixtures/calendar/CalendarFixtures.h"

#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

namespace {

struct Result {
    int status = -1;
    QString out;
    QString err;
};

Result velkWidgets(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELK_WIDGETS_PROGRAM), args);
    EXPECT_TRUE(p.waitForFinished(120000));
    Result r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
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
    for (const Case& c : {Case{{"render", "velk.no.such", "-o", "/tmp/never.png"}, 2}, Case{{"tree", "x", "--size", "wide"}, 2},
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
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
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
