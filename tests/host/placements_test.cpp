#include "host/PlacementCommands.h"
#include "host/PlacementStore.h"
#include "host/WidgetTimeline.h"

#include "platform/core/Clock.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

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

} // namespace

TEST(PlacementStoreTest, SavesAndLoadsEveryFieldAndAMissingFileIsEmpty)
{
    QTemporaryDir dir;
    const PlacementStore store(dir.filePath("velk/widgets.json"));
    const auto none = store.load();
    EXPECT_TRUE(none.placements.empty());
    EXPECT_TRUE(none.warning.isEmpty());

    const std::vector<Placement> placed = {
        {newPlacementId(), "velk.clock.dual", QPoint(40, -12), 1.5, QJsonObject{{"surface", "glass"}, {"zone", "Europe/Oslo"}}},
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
    for (const QByteArray& damaged : {QByteArray("{\"widgets\": [{\"id\": \"A\", \"kind\": \"velk.year\"}"),
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
    const auto parsed = parsePlacements(R"({"widgets": [{"id": "A", "kind": "velk.year", "x": 10.6, "scale": 3}]})", nullptr);
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

namespace {

struct Mark {
    qint64 n = 0;
    VELK_FIELDS(Mark, n)
};
enum class Plain { plain };
VELK_APP_ENUM(Plain, "Surface", {Plain::plain, "plain", "Plain"})
using MarkEntry = timeline::Entry<Mark, Plain>;

} // namespace

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
    for (const Case& c : {Case{{}, 0, -1}, Case{{0, 60, 120}, 0, 0}, Case{{0, 60, 120}, 59.9, 0}, Case{{0, 60, 120}, 60, 1},
                          Case{{0, 60, 120}, 9999, 2}, Case{{60, 120}, 0, 0}, Case{{120, 0, 60}, 61, 2}})
        EXPECT_EQ(shownEntryIndex(entries(c.offsets), t0.addingSeconds(c.now)), c.shown) << c.now;
}
