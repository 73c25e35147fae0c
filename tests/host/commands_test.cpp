#include "host/WidgetCommands.h"

#include "platform/core/Clock.h"
#include "platform/timeline/IntentButton.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/stat.h>

using namespace velk;
using namespace velk::host;
using namespace velk::timeline;

namespace {

enum class Backdrop { follow, solid };
VELK_APP_ENUM(Backdrop, "Background", {Backdrop::follow, "follow", "Follow"}, {Backdrop::solid, "solid", "Solid"})

struct Level {
    qint64 value = 0;
    VELK_FIELDS(Level, value)
};

struct GaugeConfig {
    static constexpr const char* typeName = "GaugeConfig";
    static constexpr const char* title = "Gauge";
    Backdrop surface = Backdrop::follow;
    QString label = "Level";
    qint64 step = 10;
    static auto parameters()
    {
        return std::make_tuple(intents::parameter("surface", "Background", &GaugeConfig::surface),
                               intents::parameter("label", "Label", &GaugeConfig::label),
                               intents::parameter("step", "Step", &GaugeConfig::step));
    }
};

using GaugeEntry = Entry<Level, Backdrop>;

std::atomic<bool> g_providerOnMainThread{false};

void noteThread()
{
    if (QThread::currentThread() == QCoreApplication::instance()->thread()) g_providerOnMainThread = true;
}

// Two entries `step` minutes apart from now; a label of "throw" makes the provider fail.
struct GaugeProvider {
    GaugeEntry placeholder(const TimelineContext&) const
    {
        noteThread();
        return {Clock::now(), {50}, Backdrop::follow};
    }
    GaugeEntry snapshot(const GaugeConfig& c, const TimelineContext& ctx) const
    {
        noteThread();
        return {Clock::now(), {ctx.isPreview ? 99 : qint64(ctx.displaySize.width())}, c.surface};
    }
    Timeline<GaugeEntry> timeline(const GaugeConfig& c, const TimelineContext&) const
    {
        noteThread();
        if (c.label == "throw") throw std::runtime_error("no reading\nat all");
        const Date now = Clock::now();
        return {{{now, {1}, c.surface}, {now.addingSeconds(c.step * 60.0), {2}, c.surface}}, ReloadPolicy::atEnd()};
    }
};

// Shows its label, its level, the clock it is drawn at and the colour scheme it is drawn in,
// on a red panel.
WidgetDefinition gaugeWidget()
{
    return AppIntentConfiguration<GaugeConfig>(
               "velk.test.gauge", GaugeProvider{},
               [](const GaugeEntry& e) {
                   return view::ZStack({view::Rectangle().fill(Color::rgb255(200, 30, 30)),
                                        view::VStack({view::Text(QString("v%1").arg(e.data.value)),
                                                      view::Text(QString("t%1").arg(Clock::now().sinceReference)),
                                                      view::EnvironmentReader([](const view::Environment& env) {
                                                          return view::Text(env.colorScheme == view::ColorScheme::dark
                                                                                ? "dark"
                                                                                : "light");
                                                      })})});
               })
        .configurationDisplayName("Gauge")
        .supportedFamilies(WidgetFamily::medium);
}

struct PressIntent {
    static constexpr const char* typeName = "PressIntent";
    static constexpr const char* title = "Press";
    static inline std::atomic<qint64> total{0};
    static inline std::atomic<bool> ranOnMainThread{false};
    qint64 times = 1;
    QString note;
    static auto parameters()
    {
        return std::make_tuple(intents::parameter("times", "Times", &PressIntent::times),
                               intents::parameter("note", "Note", &PressIntent::note));
    }
    void perform() const
    {
        if (QThread::currentThread() == QCoreApplication::instance()->thread()) ranOnMainThread = true;
        total += times;
    }
};

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        bundle.add(gaugeWidget());
        registry.registerAction<PressIntent>();
        registry.registerConfiguration<GaugeConfig>();
    }

    Outcome run(const QStringList& args)
    {
        Outcome r;
        QTextStream out(&r.out);
        QTextStream err(&r.err);
        r.status = WidgetCommands(bundle, registry).run(args, out, err);
        return r;
    }

    static QStringList texts(const QJsonValue& node)
    {
        QStringList found;
        const QJsonObject o = node.toObject();
        if (o.contains("text")) found << o["text"].toString();
        for (const QJsonValue& child : o["children"].toArray())
            found << texts(child);
        return found;
    }

    QStringList treeTexts(const QStringList& args)
    {
        const Outcome r = run(QStringList{"tree", "velk.test.gauge"} + args);
        EXPECT_EQ(r.status, kExitOk) << r.err.toStdString();
        return texts(QJsonDocument::fromJson(r.out.toUtf8()).object());
    }

    WidgetBundle bundle;
    intents::IntentRegistry registry;
    ClockPin pin{Date(1000)};
};

} // namespace

TEST_F(CommandsTest, ListsKindNameAndFamily)
{
    const Outcome r = run({"list"});
    EXPECT_EQ(r.status, kExitOk);
    EXPECT_EQ(r.out, "velk.test.gauge\tGauge\tmedium\n");
}

TEST_F(CommandsTest, RendersAPngAtTheFamilySizeTimesTheScale)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("gauge.png");
    for (const auto& [args, size] : std::vector<std::pair<QStringList, QSize>>{
             {{}, {344, 160}}, {{"--scale", "2"}, {688, 320}}, {{"--size", "100x50", "--scale", "1.5"}, {150, 75}}}) {
        const Outcome r = run(QStringList{"render", "velk.test.gauge", "-o", file} + args);
        ASSERT_EQ(r.status, kExitOk) << r.err.toStdString();
        const QImage image(file);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), size) << args.join(' ').toStdString();
        // The red panel fills the widget.
        EXPECT_EQ(image.pixelColor(2, 2).red(), 200);
    }
    EXPECT_FALSE(g_providerOnMainThread);
}

// `-o` naming a FIFO or a device: refused and left as it is, never replaced by a PNG.
TEST_F(CommandsTest, RenderRefusesToReplaceAnythingButAFile)
{
    QTemporaryDir dir;
    const QString fifo = dir.filePath("fifo.png");
    const QString device = dir.filePath("null.png");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/null", device));
    for (const QString& target : {fifo, device}) {
        const Outcome r = run({"render", "velk.test.gauge", "-o", target});
        EXPECT_EQ(r.status, kExitFailed);
        EXPECT_TRUE(r.err.contains("not a regular file")) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo(target).isFile());
    }
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_EQ(QFileInfo(device).symLinkTarget(), "/dev/null");
}

TEST_F(CommandsTest, TreeShowsTheChosenEntryConfigurationTimeAndScheme)
{
    // Entry 0 of the timeline, at now.
    EXPECT_EQ(treeTexts({}), QStringList({"v1", "t1000", "dark"}));
    // Entry 1 is on screen from its date on (step minutes later), so it is drawn at that time.
    EXPECT_EQ(treeTexts({"--entry", "1", "--config", R"({"step":5})", "--scheme", "light"}),
              QStringList({"v2", "t1300", "light"}));
    EXPECT_EQ(treeTexts({"--now", "2001-01-01T01:00:00Z"}), QStringList({"v1", "t3600", "dark"}));
    // The caller's own pin is back once the command is done.
    EXPECT_EQ(Clock::now(), Date(1000));
    EXPECT_EQ(treeTexts({"--mode", "placeholder"})[0], "v50");
    EXPECT_EQ(treeTexts({"--mode", "preview"})[0], "v99");
    // A snapshot is told the size it is drawn at.
    EXPECT_EQ(treeTexts({"--mode", "snapshot", "--size", "200x100"})[0], "v200");
    EXPECT_FALSE(g_providerOnMainThread);
}

TEST_F(CommandsTest, TimelineDumpsEntriesAndPolicyAsJson)
{
    const Outcome r = run({"timeline", "velk.test.gauge", "--config", R"({"surface":"solid","step":1})", "--now",
                           "2001-01-01T00:10:00Z"});
    ASSERT_EQ(r.status, kExitOk) << r.err.toStdString();
    const QJsonObject expected{
        {"policy", "atEnd"},
        {"entries", QJsonArray{QJsonObject{{"date", 600}, {"data", QJsonObject{{"value", 1}}}, {"surface", "solid"}},
                               QJsonObject{{"date", 660}, {"data", QJsonObject{{"value", 2}}}, {"surface", "solid"}}}}};
    EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8()).object(), expected);
    EXPECT_FALSE(g_providerOnMainThread);
}

TEST_F(CommandsTest, ConfigurationIsCheckedAgainstTheWidgetsParameters)
{
    struct Case {
        const char* config;
        int status;
    };
    for (const Case& c : {Case{R"({"surface":"solid","label":"Water","step":3})", kExitOk},
                          Case{R"({"surface":"follow"})", kExitOk}, // the default, given outright
                          Case{R"({"colour":"red"})", kExitUsage}, Case{R"({"surface":"glass"})", kExitUsage},
                          Case{R"({"step":"ten"})", kExitUsage}, Case{R"({"step":1.5})", kExitUsage}}) {
        const Outcome r = run({"timeline", "velk.test.gauge", "--config", c.config});
        EXPECT_EQ(r.status, c.status) << c.config << ": " << r.err.toStdString();
        if (c.status != kExitOk) {
            EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        }
    }
}

TEST_F(CommandsTest, FailuresAreOneLineWithTheirStatus)
{
    QTemporaryDir dir;
    struct Case {
        QStringList args;
        int status;
        const char* says;
    };
    for (const Case& c : {
             Case{{"render", "velk.test.nope", "-o", dir.filePath("x.png")}, kExitUsage, "unknown widget kind"},
             Case{{"tree", "velk.test.gauge", "--entry", "2"}, kExitUsage, "has 2 entries"},
             Case{{"tree", "velk.test.gauge", "--size", "12"}, kExitUsage, "--size"},
             Case{
                 {"timeline", "velk.test.gauge", "--config", R"({"label":"throw"})"}, kExitFailed, "no reading at all"},
             Case{{"render", "velk.test.gauge", "-o", dir.filePath("missing/dir/x.png")}, kExitFailed, "cannot write"},
         }) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, c.status) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("velk-widgets: ")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("x.png")));
}

TEST_F(CommandsTest, RunIntentRunsActionsOffTheMainThread)
{
    PressIntent::total = 0;
    EXPECT_EQ(run({"run-intent", "PressIntent"}).status, kExitOk);
    EXPECT_EQ(run({"run-intent", "PressIntent", "--param", "times=4", "--param", "note=hello there"}).status, kExitOk);
    EXPECT_EQ(PressIntent::total, 5);
    EXPECT_FALSE(PressIntent::ranOnMainThread);

    struct Case {
        QStringList args;
        const char* says;
    };
    for (const Case& c :
         {Case{{"run-intent", "NoSuchIntent"}, "unknown intent"}, Case{{"run-intent", "GaugeConfig"}, "configuration"},
          Case{{"run-intent", "PressIntent", "--param", "count=2"}, "no parameter \"count\""},
          Case{{"run-intent", "PressIntent", "--param", "times=many"}, "\"times\""}}) {
        const Outcome r = run(c.args);
        EXPECT_EQ(r.status, kExitUsage) << c.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.toStdString();
    }
    EXPECT_EQ(PressIntent::total, 5);
}
