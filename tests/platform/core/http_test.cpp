#include "platform/core/HttpLoader.h"
#include "support/FixtureServer.h"
#include "support/WaitFor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace velk;
using velk::test::FixtureResponse;
using velk::test::FixtureServer;

namespace {

QUrl at(const FixtureServer& server, const QString& path)
{
    return QUrl(server.baseUrl() + path);
}

} // namespace

TEST(HttpLoader, HandsBackTheBodyWhateverTheStatus)
{
    FixtureServer server;
    server.route("/ok", FixtureResponse::json(R"({"a":1})"));
    server.route("/fail", FixtureResponse::json(R"({"error":"boom"})", 500));

    const HttpResult ok = HttpLoader::get(at(server, "/ok"), {{"User-Agent", "Mozilla/5.0"}});
    ASSERT_TRUE(ok.ok()) << ok.errorText.toStdString();
    EXPECT_EQ(ok.status, 200);
    EXPECT_EQ(ok.body, R"({"a":1})");
    EXPECT_EQ(server.requests().value(0).headers.value("user-agent"), "Mozilla/5.0");
    EXPECT_EQ(server.requests().value(0).method, "GET");

    const HttpResult fail = HttpLoader::get(at(server, "/fail"));
    ASSERT_TRUE(fail.ok());
    EXPECT_EQ(fail.status, 500);
    EXPECT_EQ(fail.body, R"({"error":"boom"})");

    const HttpResult missing = HttpLoader::get(at(server, "/nowhere"));
    ASSERT_TRUE(missing.ok());
    EXPECT_EQ(missing.status, 404);
    EXPECT_TRUE(missing.body.contains("404 Not Found"));
}

TEST(HttpLoader, FollowsRedirects)
{
    FixtureServer server;
    server.route("/moved", FixtureResponse::redirect(server.baseUrl() + "/here"));
    server.route("/here", FixtureResponse::json("[1]"));
    const HttpResult r = HttpLoader::get(at(server, "/moved"));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "[1]");
}

TEST(HttpLoader, FailuresGiveNoBody)
{
    FixtureServer server;
    FixtureResponse cut = FixtureResponse::json(R"({"current":{"us_aqi":42}})");
    cut.truncateAt = 10;
    server.route("/cut", cut);
    FixtureResponse slow = FixtureResponse::json("{}");
    slow.delayMs = 3000;
    server.route("/slow", slow);

    const HttpResult truncated = HttpLoader::get(at(server, "/cut"));
    EXPECT_EQ(truncated.failure, HttpResult::Failure::transport);
    EXPECT_TRUE(truncated.body.isEmpty());

    const HttpResult late = HttpLoader::get(at(server, "/slow"), {}, 200);
    EXPECT_EQ(late.failure, HttpResult::Failure::timeout);
    EXPECT_TRUE(late.body.isEmpty());

    quint16 closedPort = 0;
    {
        FixtureServer gone;
        closedPort = gone.port();
    }
    const HttpResult refused = HttpLoader::get(QUrl(QStringLiteral("http://127.0.0.1:%1/x").arg(closedPort)));
    EXPECT_EQ(refused.failure, HttpResult::Failure::transport);

    // A name that never resolves (RFC 6761) fails on this thread, naming the host.
    const HttpResult nowhere = HttpLoader::get(QUrl(QStringLiteral("http://velk-test.invalid/x")));
    EXPECT_EQ(nowhere.failure, HttpResult::Failure::transport);
    EXPECT_TRUE(nowhere.errorText.contains(QStringLiteral("velk-test.invalid"))) << nowhere.errorText.toStdString();

    EXPECT_EQ(HttpLoader::get(QUrl("file:///etc/passwd")).failure, HttpResult::Failure::badUrl);
    EXPECT_EQ(HttpLoader::get(QUrl()).failure, HttpResult::Failure::badUrl);
}

// Every request goes through one shared connection pool: a transfer cut off by the time-out, the
// cap or a hang-up must leave nothing behind that spoils the next request to the same server.
TEST(HttpLoader, RequestsAfterAFailureStillWork)
{
    FixtureServer server;
    server.route("/ok", FixtureResponse::json("[2]"));
    FixtureResponse slow = FixtureResponse::json("{}");
    slow.delayMs = 3000;
    server.route("/slow", slow);
    FixtureResponse cut = FixtureResponse::json(R"({"a":"bcdefgh"})");
    cut.truncateAt = 5;
    server.route("/cut", cut);
    FixtureResponse huge;
    huge.streamBytes = FixtureResponse::kEndless;
    huge.announceLength = false;
    server.route("/huge", huge);

    const std::pair<const char*, HttpResult::Failure> failures[] = {
        {"/slow", HttpResult::Failure::timeout},
        {"/cut", HttpResult::Failure::transport},
        {"/huge", HttpResult::Failure::tooLarge},
    };
    for (const auto& [path, failure] : failures) {
        SCOPED_TRACE(path);
        EXPECT_EQ(HttpLoader::get(at(server, path), {}, path == std::string("/slow") ? 200 : 0).failure, failure);
        for (int i = 0; i < 2; ++i) {
            const HttpResult next = HttpLoader::get(at(server, "/ok"));
            ASSERT_TRUE(next.ok()) << next.errorText.toStdString();
            EXPECT_EQ(next.body, "[2]");
        }
    }
}

TEST(HttpLoader, TimeOutComesFromTheEnvironment)
{
    {
        test::ScopedEnv env("VELK_HTTP_TIMEOUT_MS", "250");
        EXPECT_EQ(HttpLoader::defaultTimeoutMs(), 250);
    }
    test::ScopedEnv env("VELK_HTTP_TIMEOUT_MS", "soon");
    EXPECT_EQ(HttpLoader::defaultTimeoutMs(), 60000);
}

TEST(HttpLoader, BlocksOnWorkerThreads)
{
    FixtureServer server;
    FixtureResponse slow = FixtureResponse::json(R"("done")");
    slow.delayMs = 100;
    server.route("/w", slow);
    HttpResult results[3];
    std::thread workers[3];
    for (int i = 0; i < 3; ++i)
        workers[i] = std::thread([&, i] { results[i] = HttpLoader::get(at(server, "/w")); });
    for (auto& w : workers)
        w.join();
    for (const auto& r : results) {
        EXPECT_TRUE(r.ok()) << r.errorText.toStdString();
        EXPECT_EQ(r.body, R"("done")");
    }
    EXPECT_EQ(server.requestCount(), 3);
}

namespace {

bool networkThreadRuns()
{
    for (const QString& task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "velk http") return true;
    }
    return false;
}

} // namespace

// The network thread goes after half a minute without requests, and the next request starts it
// again: requests made on both sides of that moment are all answered.
TEST(HttpLoader, TheNetworkThreadEndsWhenIdleAndStartsAgain)
{
    FixtureServer server;
    server.route("/a", FixtureResponse::json("[3]"));
    ASSERT_TRUE(HttpLoader::get(at(server, "/a")).ok());
    EXPECT_TRUE(networkThreadRuns());
    EXPECT_TRUE(test::waitFor([] { return !networkThreadRuns(); }, 120000));
    std::thread workers[3];
    HttpResult results[3];
    for (int i = 0; i < 3; ++i)
        workers[i] = std::thread([&, i] { results[i] = HttpLoader::get(at(server, "/a")); });
    for (auto& w : workers)
        w.join();
    for (const auto& r : results) {
        EXPECT_TRUE(r.ok()) << r.errorText.toStdString();
        EXPECT_EQ(r.body, "[3]");
    }
    EXPECT_TRUE(networkThreadRuns());
}

TEST(HttpLoader, TypedTextNeverLeavesItsComponent)
{
    const QUrl base("https://api.example.org");
    struct Case {
        QString typed;
        QByteArray encoded;
    };
    const Case cases[] = {
        {"AAPL", "AAPL"},
        {"BRK.B", "BRK.B"},
        {"^GSPC", "%5EGSPC"},
        {"a b+c", "a%20b%2Bc"},
        {"x/../../y", "x%2F..%2F..%2Fy"},
        {"evil.com@other.org:81#f?q=1&r", "evil.com%40other.org%3A81%23f%3Fq%3D1%26r"},
        {QString::fromUtf8("Zürich"), "Z%C3%BCrich"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const auto url = HttpLoader::buildUrl(base, "/v8/finance/chart/" + HttpLoader::encodeComponent(c.typed),
                                              {{"name", c.typed}, {"current", "a,b,c"}});
        ASSERT_TRUE(url);
        EXPECT_EQ(url->host(), "api.example.org");
        EXPECT_EQ(QString::fromLatin1(url->toEncoded()),
                  QString::fromLatin1("https://api.example.org/v8/finance/chart/" + c.encoded + "?name=" + c.encoded +
                                      "&current=a,b,c"));
    }
    // A segment of dots alone would walk up the path on the server: no address at all.
    EXPECT_FALSE(HttpLoader::buildUrl(base, "/v8/finance/chart/" + HttpLoader::encodeComponent("..")));
    EXPECT_FALSE(HttpLoader::buildUrl(QUrl("mailto:x@y"), "/p"));
}

TEST(HttpLoader, ServiceBaseIsASetting)
{
    const QString fallback = "https://api.open-meteo.com";
    EXPECT_EQ(HttpLoader::serviceBase("VELK_TEST_UNSET_URL", fallback), QUrl(fallback));
    {
        test::ScopedEnv env("VELK_TEST_URL", "http://127.0.0.1:9/mirror/");
        const QUrl base = HttpLoader::serviceBase("VELK_TEST_URL", fallback);
        EXPECT_EQ(HttpLoader::buildUrl(base, "/v1/forecast", {{"latitude", "1.0"}})->toString(),
                  "http://127.0.0.1:9/mirror/v1/forecast?latitude=1.0");
    }
    test::ScopedEnv env("VELK_TEST_URL", "ftp://elsewhere");
    EXPECT_EQ(HttpLoader::serviceBase("VELK_TEST_URL", fallback), QUrl(fallback));
}

namespace {

// The most this process has held at once, in KiB (VmHWM).
qint64 peakResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

} // namespace

// A 200 MB answer, announced or not, and one that never ends all fail at the cap, and the
// process stays small.
TEST(HttpLoader, BodiesPastTheCapAreRefused)
{
    FixtureServer server;
    struct Case {
        const char* path;
        qint64 bytes;
        bool announced;
    };
    const Case cases[] = {
        {"/huge", 200LL * 1024 * 1024, true},
        {"/huge-unannounced", 200LL * 1024 * 1024, false},
        {"/endless", FixtureResponse::kEndless, false},
    };
    for (const Case& c : cases) {
        FixtureResponse r;
        r.streamBytes = c.bytes;
        r.announceLength = c.announced;
        server.route(c.path, r);
    }
    FixtureResponse fits;
    fits.streamBytes = HttpLoader::kMaxBodyBytes;
    server.route("/fits", fits);

    // An answer just under the cap arrives whole; the memory it took (the body, Qt's buffers,
    // a new network thread, the allocator's own keeping) is the baseline of what follows.
    const HttpResult whole = HttpLoader::get(at(server, "/fits"));
    ASSERT_TRUE(whole.ok()) << whole.errorText.toStdString();
    EXPECT_EQ(whole.body.size(), HttpLoader::kMaxBodyBytes);

    const qint64 before = peakResidentKiB();
    for (const Case& c : cases) {
        const HttpResult got = HttpLoader::get(at(server, c.path));
        EXPECT_EQ(got.failure, HttpResult::Failure::tooLarge) << c.path << ": " << got.errorText.toStdString();
        EXPECT_TRUE(got.body.isEmpty()) << c.path;
    }
    // The cap and Qt's own buffers, not the body: well under the 200 MB sent.
    EXPECT_LT(peakResidentKiB() - before, 64 * 1024);
}

namespace {

// A request that is still waiting when the process ends; joined after the application object
// is gone, which is when the loader fails it.
struct PendingAtExit {
    std::thread thread;
    HttpResult result;
    ~PendingAtExit()
    {
        if (thread.joinable()) thread.join();
    }
};

} // namespace

// Run only as the child of the test below: asks a server that takes the connection and never
// answers, and returns (ending the process) while the request is in flight.
TEST(HttpLoaderChild, EndsWithARequestInFlight)
{
    const QByteArray port = qgetenv("VELK_HTTP_CHILD_PORT");
    if (port.isEmpty()) GTEST_SKIP() << "runs as a child of HttpLoader.AProcessEndingMidRequestEndsCleanly";
    static PendingAtExit pending;
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/never").arg(QString::fromLatin1(port)));
    pending.thread = std::thread([url] { pending.result = HttpLoader::get(url, {}, 600000); });
    // Stays until the server has the connection, so the transfer is surely running.
    const int fd = qEnvironmentVariableIntValue("VELK_HTTP_CHILD_LISTENER");
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, -1), 1);
}

TEST(HttpLoader, AProcessEndingMidRequestEndsCleanly)
{
    // A listening socket nobody accepts on: the connection is made, no answer ever comes.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::getsockname(listener, reinterpret_cast<sockaddr*>(&addr), &len), 0);

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("VELK_HTTP_CHILD_PORT", QString::number(ntohs(addr.sin_port)));
    env.insert("VELK_HTTP_CHILD_LISTENER", QString::number(listener)); // inherited across exec
    env.insert("UBSAN_OPTIONS", "print_stacktrace=1:halt_on_error=1");
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=HttpLoaderChild.*"});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(child.waitForFinished(-1));
    ::close(listener);
    const QByteArray output = child.readAllStandardOutput() + child.readAllStandardError();
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_FALSE(output.contains("runtime error")) << output.toStdString();
    EXPECT_TRUE(output.contains("1 test")) << output.toStdString();
}
