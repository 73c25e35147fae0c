// The real velk program on the test's private session bus, offscreen: one instance per
// session, later starts handing over and leaving, the widget host started when none answers.
#include "app/screens/VelkApp.h"
#include "platform/timeline/WidgetCenter.h"
#include "support/WaitFor.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <csignal>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

namespace {

QDBusConnectionInterface* bus()
{
    return QDBusConnection::sessionBus().interface();
}

bool owned(const QString& name)
{
    return bus()->isServiceRegistered(name);
}

uint ownerPid(const QString& name)
{
    return bus()->servicePid(name).value();
}

// A started velk, ended when the test ends whatever happened.
struct Running {
    QProcess process;
    Running(const QStringList& args)
    {
        process.start(QStringLiteral(VELK_APP_PROGRAM), args);
        EXPECT_TRUE(process.waitForStarted());
    }
    ~Running()
    {
        process.terminate();
        if (!process.waitForFinished(30000)) process.kill();
    }
};

struct Finished {
    int status = -1;
    QString err;
};

Finished runToEnd(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(VELK_APP_PROGRAM), args);
    const bool ended = p.waitForFinished(60000);
    EXPECT_TRUE(ended) << "velk " << args.join(u' ').toStdString() << " did not hand over and end";
    if (!ended) p.kill();
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardError())};
}

} // namespace

TEST(VelkProgram, OneInstanceAndLaterStartsHandOverAndEnd)
{
    // A host already answers, so the app starts none.
    ASSERT_TRUE(QDBusConnection::sessionBus().registerService(timeline::WidgetCenter::kService));
    Running first({QStringLiteral("--login-item")});
    ASSERT_TRUE(test::waitFor([] { return owned(VelkApp::kBusName); }));
    const uint pid = ownerPid(VelkApp::kBusName);
    EXPECT_EQ(pid, uint(first.process.processId()));

    for (const QStringList& args : {QStringList{}, QStringList{QStringLiteral("velkwidgets://open/reminders")},
                                    QStringList{QStringLiteral("--login-item")}}) {
        const Finished second = runToEnd(args);
        EXPECT_EQ(second.status, 0) << second.err.toStdString();
        EXPECT_EQ(first.process.state(), QProcess::Running);
        EXPECT_EQ(ownerPid(VelkApp::kBusName), pid);
    }

    // Offscreen there is no tray: the app says so once and keeps its window.
    first.process.terminate();
    first.process.waitForFinished(30000);
    const QString err = QString::fromUtf8(first.process.readAllStandardError());
    EXPECT_EQ(err.count(QStringLiteral("no system tray")), 1) << err.toStdString();
    QDBusConnection::sessionBus().unregisterService(timeline::WidgetCenter::kService);
}

TEST(VelkProgram, StartsTheWidgetHostWhenNoneAnswers)
{
    ASSERT_FALSE(owned(timeline::WidgetCenter::kService));
    Running app({});
    ASSERT_TRUE(test::waitFor([] { return owned(timeline::WidgetCenter::kService); }));
    // The host outlives the app by design; this test ends the one it caused.
    const uint host = ownerPid(timeline::WidgetCenter::kService);
    ASSERT_GT(host, 0u);
    ::kill(pid_t(host), SIGTERM);
    EXPECT_TRUE(test::waitFor([] { return !owned(timeline::WidgetCenter::kService); }));
}
