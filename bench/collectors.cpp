// What the app's collectors cost: one piece of work of each, and the whole set left idle.
//
// BM_AllCollectorsIdle starts the service hub with every collector (screen time on this
// session's display, the player on the session bus, mail on an empty Maildir, the battery
// helper, location without a source) and lets the event loop run for VELK_IDLE_SECONDS
// (default 60); it reports the process's CPU time over that span as a share of one core.
#include "BenchSupport.h"

#include "app/services/AppServices.h"
#include "app/services/LocationService.h"
#include "app/services/MailPoller.h"
#include "app/services/MusicListener.h"
#include "app/services/PeripheralBatteryPoller.h"
#include "app/services/UsageTracker.h"
#include "platform/core/Defaults.h"
#include "platform/media/MaildirInbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

using namespace velk;

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

QString makeMaildir(const QString& root, int messages)
{
    for (const char* sub : {"new", "cur", "tmp"})
        QDir(root).mkpath(QLatin1String(sub));
    for (int i = 0; i < messages; ++i) {
        QFile f(
            QStringLiteral("%1/%2/%3.M%3.bench%4").arg(root, i % 3 ? "cur" : "new").arg(i).arg(i % 3 ? ":2,S" : ""));
        f.open(QIODevice::WriteOnly);
        f.write("From: =?UTF-8?Q?J=C3=B6rg?= <j@example.org>\nSubject: Message " + QByteArray::number(i) +
                "\n\nbody\n");
    }
    return root;
}

void BM_UsageSample(benchmark::State& state)
{
    struct Busy final : DesktopActivity {
        std::optional<QString> frontmostApplicationName() override { return QStringLiteral("Editor"); }
        double idleSeconds() override { return 0; }
    };
    UsageTracker tracker(std::make_unique<Busy>());
    for (auto _ : state)
        tracker.sample();
}
BENCHMARK(BM_UsageSample);

void BM_MaildirRead500(benchmark::State& state)
{
    QTemporaryDir dir;
    const MaildirInbox inbox(makeMaildir(dir.path(), 500));
    for (auto _ : state)
        benchmark::DoNotOptimize(inbox.unreadReply());
}
BENCHMARK(BM_MaildirRead500)->Unit(benchmark::kMillisecond);

void BM_MusicPollWithoutPlayer(benchmark::State& state)
{
    MusicListener listener(new MusicPlayer());
    // A poll ends when the bus has answered: each one is waited for.
    for (auto _ : state) {
        listener.syncFromMusic();
        while (listener.isSyncing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}
BENCHMARK(BM_MusicPollWithoutPlayer)->Unit(benchmark::kMicrosecond);

void BM_BatteryReportParse(benchmark::State& state)
{
    const QByteArray report = R"({"SPBluetoothDataType":[{"device_connected":[
        {"Kim’s Earbuds":{"device_batteryLevelLeft":"80%","device_batteryLevelRight":"60%","device_batteryLevelCase":"40%"}},
        {"Mouse":{"device_batteryLevelMain":"77%"}},{"Keyboard":{"device_batteryLevel":55}}]}]})";
    for (auto _ : state)
        benchmark::DoNotOptimize(PeripheralBatteryPoller::parseReport(report));
}
BENCHMARK(BM_BatteryReportParse);

// The helper run a battery poll makes (a process, BlueZ asked over the system bus).
void BM_BatteryHelperRun(benchmark::State& state)
{
    const QString tool = PeripheralBatteryPoller::defaultToolPath();
    for (auto _ : state)
        benchmark::DoNotOptimize(PeripheralBatteryPoller::readBluetoothBatteries(tool));
}
BENCHMARK(BM_BatteryHelperRun)->Unit(benchmark::kMillisecond);

void BM_AllCollectorsIdle(benchmark::State& state)
{
    const int seconds =
        qEnvironmentVariableIntValue("VELK_IDLE_SECONDS") > 0 ? qEnvironmentVariableIntValue("VELK_IDLE_SECONDS") : 60;
    QTemporaryDir dir;
    Defaults::standard().setBool(MailPoller::kEnabledKey, true);
    UsageTracker usage(DesktopActivity::system());
    MusicListener music(new MusicPlayer());
    MailPoller mail(MaildirInbox(makeMaildir(dir.path() + "/Maildir", 50)));
    PeripheralBatteryPoller batteries;
    LocationService location(std::make_unique<PositionSource>());
    AppServices hub({&usage, &music, &mail, &batteries, &location});
    hub.start();
    // Start-up work (first samples and polls, the helper run) is not idle cost.
    QEventLoop settle;
    QTimer::singleShot(3000, &settle, &QEventLoop::quit);
    settle.exec();

    for (auto _ : state) {
        const double cpu0 = cpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop loop; // sleeps until an event comes, as the app's own loop does
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        loop.exec();
        const double cpu = cpuSeconds() - cpu0;
        state.SetIterationTime(double(wall.elapsed()) / 1000.0);
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / (double(wall.elapsed()) / 1000.0);
    }
}
BENCHMARK(BM_AllCollectorsIdle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

} // namespace

int main(int argc, char** argv)
{
    velk::bench::PrivateHome home;
    QCoreApplication app(argc, argv);
    return velk::bench::runBenchmarks(argc, argv);
}
