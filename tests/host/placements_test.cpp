#include "host/FreePlace.h"
#include "host/PlacementCommands.h"
#include "host/PlacementStore.h"
#include "host/WidgetTimeline.h"

#include "platform/core/Clock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>

using namespace velk;
using namespace velk::host;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct Mark {
    qint64 n = 0;
    VELK_FIELDS(Mark, n)
};
enum class Plain { plain };
VELK_APP_ENUM(Plain, "Surface", {Plain::plain, "plain", "Plain"})
using MarkEntry = timeline::Entry<Mark, Plain>;

struct PlainConfig {
    static constexpr const char* typeName = "PlacementPlainConfig";
    static constexpr const char* title = "Plain";
    Plain surface = Plain::plain;
    static auto parameters()
    {
        return std::make_tuple(intents::parameter("surface", "Surface", &PlainConfig::surface));
    }
};

struct MarkProvider {
    MarkEntry placeholder(const timeline::TimelineContext&) const { return {Clock::now(), {0}, Plain::plain}; }
    MarkEntry snapshot(const PlainConfig&, const timeline::TimelineContext&) const
    {
        return {Clock::now(), {0}, Plain::plain};
    }
    timeline::Timeline<MarkEntry> timeline(const PlainConfig&, const timeline::TimelineContext&) const
    {
        return {{}, timeline::ReloadPolicy::never()};
    }
};

// One small (160 x 160) and one medium (344 x 160) widget.
timeline::WidgetBundle sizedBundle()
{
    timeline::WidgetBundle b;
    auto view = [](const MarkEntry&) { return view::Text("m"); };
    b.add(timeline::AppIntentConfiguration<PlainConfig>("velk.test.small", MarkProvider{}, view)
              .supportedFamilies(timeline::WidgetFamily::small));
    b.add(timeline::AppIntentConfiguration<PlainConfig>("velk.test.medium", MarkProvider{}, view)
              .supportedFamilies(timeline::WidgetFamily::medium));
    return b;
}

} // namespace

TEST(PlacementStoreTest, SavesAndLoadsEveryFieldAndAMissingFileIsEmpty)
{
    QTemporaryDir dir;
    const PlacementStore store(dir.filePath("velk/widgets.json"));
    const auto none = store.load();
    EXPECT_TRUE(none.placements.empty());
    EXPECT_TRUE(none.warning.isEmpty());

    const std::vector<Placement> placed = {
        {newPlacementId(), "velk.clock.dual", QPoint(40, -12), 1.5,
         QJsonObject{{"surface", "glass"}, {"zone", "Europe/Oslo"}}},
        {newPlacementId(), "velk.no.longer.offered", QPoint(400, 300), 2, {}},
    };
    ASSERT_TRUE(store.save(placed));
    const auto loaded = store.load();
    EXPECT_EQ(loaded.placements, placed);
    EXPECT_TRUE(loaded.warning.isEmpty());
    // Written whole: no temporary file is left beside it.
    EXPECT_EQ(QDir(dir.filePath("velk")).entryList(QDir::Files), QStringList{"widgets.json"});
}

TEST(PlacementStoreTest, ADamagedFileIsMovedAsideWithAWarningAndNeverOverwritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("widgets.json");
    for (const QByteArray& damaged :
         {QByteArray("{\"widgets\": [{\"id\": \"A\", \"kind\": \"velk.year\"}"),
          QByteArray("{\"widgets\": [{\"kind\": \"velk.year\"}]}"),
          QByteArray("{\"widgets\": [{\"id\": \"A\", \"kind\": \"k\"}, {\"id\": \"A\", \"kind\": \"k\"}]}"),
          QByteArray("[1, 2]")}) {
        write(path, damaged);
        const PlacementStore store(path);
        const auto loaded = store.load();
        EXPECT_TRUE(loaded.placements.empty()) << damaged.toStdString();
        EXPECT_TRUE(loaded.canSave);
        ASSERT_FALSE(loaded.movedTo.isEmpty()) << damaged.toStdString();
        EXPECT_TRUE(loaded.warning.contains(loaded.movedTo));
        EXPECT_EQ(readAll(loaded.movedTo), damaged);
        EXPECT_FALSE(QFile::exists(path));
        // A second damaged file in the same second gets its own name.
        QFile::remove(loaded.movedTo);
    }
}

TEST(PlacementStoreTest, OddValuesInASoundEntryKeepTheWidget)
{
    const auto parsed =
        parsePlacements(R"({"widgets": [{"id": "A", "kind": "velk.year", "x": 10.6, "scale": 3}]})", nullptr);
    ASSERT_TRUE(parsed);
    ASSERT_EQ(parsed->size(), 1u);
    EXPECT_EQ(parsed->front().position, QPoint(11, 0));
    EXPECT_EQ(parsed->front().scale, 1);
}

TEST(PlacementCommandsTest, OfflineAddListAndRemoveEditTheFile)
{
    QTemporaryDir dir;
    const PlacementStore store(dir.filePath("widgets.json"));
    timeline::WidgetBundle empty;
    QString outText, errText;
    QTextStream out(&outText), err(&errText);

    HostCommand add;
    add.verb = Verb::add;
    add.target = "velk.unknown";
    EXPECT_EQ(runPlacementCommand(add, empty, store, out, err, false), 2);
    EXPECT_FALSE(QFile::exists(store.path()));

    write(store.path(), serializePlacements({{"ID-1", "velk.year", QPoint(5, 6), 1, {}}}));
    HostCommand placed;
    placed.verb = Verb::placed;
    EXPECT_EQ(runPlacementCommand(placed, empty, store, out, err, false), 0);
    EXPECT_EQ(outText, "ID-1\tvelk.year\t5,6\t1\n");

    HostCommand remove;
    remove.verb = Verb::remove;
    remove.target = "ID-2";
    EXPECT_EQ(runPlacementCommand(remove, empty, store, out, err, false), 2);
    remove.target = "ID-1";
    EXPECT_EQ(runPlacementCommand(remove, empty, store, out, err, false), 0);
    EXPECT_TRUE(store.load().placements.empty());
}

TEST(WidgetTimelineTest, ShowsTheLatestEntryWhoseDateHasCome)
{
    const Date t0(1000);
    auto entries = [&](std::vector<double> offsets) {
        std::vector<timeline::AnyEntry> out;
        for (size_t i = 0; i < offsets.size(); ++i)
            out.emplace_back(MarkEntry{t0.addingSeconds(offsets[i]), {qint64(i)}, Plain::plain});
        return out;
    };
    struct Case {
        std::vector<double> offsets;
        double now;
        int shown;
    };
    for (const Case& c :
         {Case{{}, 0, -1}, Case{{0, 60, 120}, 0, 0}, Case{{0, 60, 120}, 59.9, 0}, Case{{0, 60, 120}, 60, 1},
          Case{{0, 60, 120}, 9999, 2}, Case{{60, 120}, 0, 0}, Case{{120, 0, 60}, 61, 2}})
        EXPECT_EQ(shownEntryIndex(entries(c.offsets), t0.addingSeconds(c.now)), c.shown) << c.now;
}

TEST(FreePlaceTest, NewWidgetsFillTheScreenInRowsAndOnlyAFullOneCascades)
{
    const QSize small(160, 160), medium(344, 160);
    const QRect screen(0, 0, 800, 600);
    struct Case {
        const char* what;
        QRect area;
        std::vector<QRect> taken;
        QSize size;
        QPoint place;
    };
    const std::vector<Case> cases = {
        {"empty screen", screen, {}, small, {16, 16}},
        {"an offset screen", QRect(100, 40, 800, 600), {}, small, {116, 56}},
        {"beside the first", screen, {{{16, 16}, small}}, small, {192, 16}},
        {"row full, next row",
         screen,
         {{{16, 16}, small}, {{192, 16}, small}, {{368, 16}, small}, {{544, 16}, small}},
         medium,
         {16, 192}},
        {"a gap wide enough", screen, {{{16, 16}, small}, {{400, 16}, small}}, small, {192, 16}},
        {"a gap too narrow", screen, {{{16, 16}, small}, {{300, 16}, small}}, small, {476, 16}},
        {"moved by hand to an odd spot", screen, {{{20, 20}, small}}, small, {196, 16}},
        {"wider than the screen: the corner", QRect(0, 0, 300, 600), {}, medium, {16, 16}},
        {"full screen cascades",
         QRect(0, 0, 400, 400),
         {{{16, 16}, small}, {{192, 16}, small}, {{16, 192}, small}, {{192, 192}, small}},
         small,
         {16 + 96, 16 + 96}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(freePlace(c.size, c.area, c.taken), c.place) << c.what;
}

TEST(PlacementCommandsTest, WidgetsAddedOfflineLandInFreeSpaceOfTheLastKnownScreen)
{
    const timeline::WidgetBundle bundle = sizedBundle();
    auto addSix = [&](const PlacementStore& store) {
        for (const char* kind : {"velk.test.small", "velk.test.medium", "velk.test.small", "velk.test.small",
                                 "velk.test.medium", "velk.test.small"}) {
            QString o, e;
            QTextStream out(&o), err(&e);
            HostCommand add;
            add.verb = Verb::add;
            add.target = kind;
            EXPECT_EQ(runPlacementCommand(add, bundle, store, out, err, false), 0) << e.toStdString();
        }
        return placedRects(store.load().placements, bundle);
    };
    auto expectApart = [](const std::vector<QRect>& rects, QRect area) {
        for (size_t i = 0; i < rects.size(); ++i) {
            EXPECT_TRUE(area.contains(rects[i])) << i;
            for (size_t j = 0; j < i; ++j)
                EXPECT_FALSE(rects[i]
                                 .adjusted(-kPlacementGap, -kPlacementGap, kPlacementGap - 1, kPlacementGap - 1)
                                 .intersects(rects[j]))
                    << i << " and " << j;
        }
    };

    // No host has ever run: a 1920 x 1080 screen is assumed; the six fit in one row.
    QTemporaryDir dir;
    const PlacementStore fresh(dir.filePath("fresh.json"));
    const auto row = addSix(fresh);
    expectApart(row, kFallbackScreenArea);
    for (const QRect& r : row)
        EXPECT_EQ(r.top(), 16);

    // The host saw a small screen: they wrap into rows on it.
    const PlacementStore small(dir.filePath("small.json"));
    ASSERT_TRUE(small.save({}, nullptr, QRect(0, 24, 720, 576)));
    EXPECT_EQ(small.load().screenArea, QRect(0, 24, 720, 576));
    const auto rows = addSix(small);
    expectApart(rows, QRect(0, 24, 720, 576));
    EXPECT_EQ(rows.front().topLeft(), QPoint(16, 40));
    EXPECT_GT(rows.back().top(), 40);
    // Still remembered after the commands rewrote the file.
    EXPECT_EQ(small.load().screenArea, QRect(0, 24, 720, 576));
}

TEST(PlacementStoreTest, PositionsFarOffScreenAreClampedNotWrapped)
{
    struct Case {
        const char* x;
        int expected;
    };
    for (const Case& c : {Case{"1e300", 1000000}, Case{"-1e300", -1000000}, Case{"2147483648", 1000000},
                          Case{"-2147483649", -1000000}, Case{"12.5", 13}, Case{"\"12\"", 0}}) {
        const QByteArray json = QByteArray(R"({"widgets": [{"id": "A", "kind": "k", "x": )") + c.x + R"(, "y": 4}]})";
        const auto parsed = parsePlacements(json, nullptr);
        ASSERT_TRUE(parsed) << c.x;
        EXPECT_EQ(parsed->front().position, QPoint(c.expected, 4)) << c.x;
        // Written back as read.
        EXPECT_EQ(parsePlacements(serializePlacements(*parsed), nullptr)->front().position, QPoint(c.expected, 4));
    }
}

// A FIFO, a device or a folder where the placement file should be: nothing blocks, nothing is
// replaced, and the commands say why.
TEST(PlacementStoreTest, SpecialFilesAreNeitherReadNorReplaced)
{
    QTemporaryDir dir;
    const timeline::WidgetBundle bundle = sizedBundle();
    const QString fifo = dir.filePath("fifo/widgets.json");
    const QString device = dir.filePath("device/widgets.json");
    const QString folder = dir.filePath("folder/widgets.json");
    ASSERT_TRUE(QDir().mkpath(dir.filePath("fifo")) && QDir().mkpath(dir.filePath("device")) && QDir().mkpath(folder));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link("/dev/zero", device));
    for (const QString& path : {fifo, device, folder}) {
        const PlacementStore store(path);
        const auto loaded = store.load();
        EXPECT_FALSE(loaded.canSave) << path.toStdString();
        EXPECT_TRUE(loaded.warning.contains("not a regular file")) << loaded.warning.toStdString();
        QString error;
        EXPECT_FALSE(store.save({{"ID-1", "velk.test.small", QPoint(1, 2), 1, {}}}, &error));
        EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();

        for (Verb verb : {Verb::add, Verb::placed}) {
            QString o, e;
            QTextStream out(&o), err(&e);
            HostCommand c;
            c.verb = verb;
            c.target = "velk.test.small";
            // Neither a new id nor an empty listing: the file's content is unknown.
            EXPECT_EQ(runPlacementCommand(c, bundle, store, out, err, false), 1);
            EXPECT_TRUE(e.contains("not a regular file")) << e.toStdString();
            EXPECT_TRUE(o.isEmpty()) << o.toStdString();
            if (verb == Verb::placed) {
                EXPECT_TRUE(e.contains("the placed widgets cannot be listed")) << e.toStdString();
            }
        }
    }
    EXPECT_EQ(QFileInfo(fifo).isFile(), false);
    EXPECT_TRUE(QFileInfo(fifo).exists());
    EXPECT_EQ(QFileInfo(device).symLinkTarget(), "/dev/zero");
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST(PlacementStoreTest, TheFolderAndFileArePrivateToTheUser)
{
    QTemporaryDir dir;
    const PlacementStore fresh(dir.filePath("config/velk/widgets.json"));
    ASSERT_TRUE(fresh.save({}));
    auto mode = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 0777) : -1;
    };
    EXPECT_EQ(mode(dir.filePath("config/velk")), 0700);
    EXPECT_EQ(mode(dir.filePath("config/velk/widgets.json")), 0600);
    // A folder left open to everyone is closed on the next write; a file too.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("config/velk")).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.filePath("config/velk/widgets.json")).constData(), 0666), 0);
    ASSERT_TRUE(fresh.save({}));
    EXPECT_EQ(mode(dir.filePath("config/velk")), 0700);
    EXPECT_EQ(mode(dir.filePath("config/velk/widgets.json")), 0600);
}

// Eight writers at once, as eight `velk-widgets add` started together with no host: every
// one is placed, or says it was not; what was placed before stays. Eight already contend for
// the lock on every read-modify-write; more only wait longer on it.
TEST(PlacementCommandsTest, ParallelAddsNeverLoseAPlacement)
{
    QTemporaryDir dir;
    const timeline::WidgetBundle bundle = sizedBundle();
    const PlacementStore store(dir.filePath("velk/widgets.json"));
    ASSERT_TRUE(store.save({{"EARLIER", "velk.test.small", QPoint(16, 16), 1, {}}}));

    constexpr int kWriters = 8;
    std::vector<int> status(kWriters, -1);
    std::vector<QString> ids(kWriters), errors(kWriters);
    std::vector<std::thread> writers;
    for (int i = 0; i < kWriters; ++i)
        writers.emplace_back([&, i] {
            QTextStream out(&ids[size_t(i)]), err(&errors[size_t(i)]);
            HostCommand add;
            add.verb = Verb::add;
            add.target = "velk.test.small";
            status[size_t(i)] = runPlacementCommand(add, bundle, store, out, err, false);
        });
    for (std::thread& t : writers)
        t.join();

    const auto placed = store.load().placements;
    QSet<QString> onDisk;
    for (const Placement& p : placed)
        onDisk.insert(p.id);
    EXPECT_TRUE(onDisk.contains("EARLIER"));
    int added = 0;
    for (int i = 0; i < kWriters; ++i) {
        if (status[size_t(i)] == 0) {
            ++added;
            EXPECT_TRUE(onDisk.contains(ids[size_t(i)].trimmed())) << i;
        } else {
            EXPECT_EQ(status[size_t(i)], 1);
            EXPECT_TRUE(errors[size_t(i)].contains("nothing was changed")) << errors[size_t(i)].toStdString();
        }
    }
    EXPECT_EQ(int(placed.size()), added + 1);
}
