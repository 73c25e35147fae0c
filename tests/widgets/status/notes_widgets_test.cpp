// The notes file as the widgets read it (never write it), the notes timeline, and the four
// notes widgets as the bundle offers them.
#include "widgets/status/notes/NotesStore.h"
#include "widgets/status/notes/NotesWidgets.h"

#include "battery_notes_support.h"
#include "platform/core/Clock.h"
#include "platform/core/Defaults.h"
#include "platform/view/Layout.h"
#include "shared/data/clock/ClockFormat.h"
#include "shared/look/TreeQuery.h"
#include "support/HostileFiles.h"
#include "support/UtcDate.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::testing;
using timeline::WidgetDefinition;
using timeline::WidgetFamily;
using velk::test::utc;

namespace {

const Date kNow = utc("2026-12-09T23:30:00");

// A note as the app writes it; `edited` as seconds since 2001.
QByteArray noteJson(const char* id, const char* text, Date edited, bool pinned)
{
    return QStringLiteral(R"({"id":"%1","text":"%2","edited":%3,"pinned":%4})")
        .arg(QString::fromLatin1(id), QString::fromUtf8(text), QString::number(edited.sinceReference, 'f', 3),
             pinned ? QStringLiteral("true") : QStringLiteral("false"))
        .toUtf8();
}

void writeNotesFile(const QByteArray& bytes)
{
    QFile f(NotesStore::fileURL());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

QByteArray notesFile()
{
    QFile f(NotesStore::fileURL());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string textsOfNotes(const std::vector<NoteItem>& notes)
{
    QStringList out;
    for (const NoteItem& n : notes)
        out << n.text;
    return out.join(QStringLiteral(" | ")).toStdString();
}

std::vector<DeclaredWidget> declared()
{
    return {
        {NotesQuickWidget{}.body(), "velk.notes.quick", "Quick Note", WidgetFamily::medium, "velkwidgets://notes/new"},
        {NotesSingleWidget{}.body(), "velk.notes.single", "Single Note", WidgetFamily::small, "velkwidgets://notes"},
        {NotesListWidget{}.body(), "velk.notes.list", "Notes List", WidgetFamily::small, "velkwidgets://notes"},
        {NotesPinnedWidget{}.body(), "velk.notes.pinned", "Pinned", WidgetFamily::medium, "velkwidgets://notes"}};
}

class NotesWidgets : public ::testing::Test {
protected:
    void SetUp() override { Defaults::shared().setInteger(ClockFormat::kTimeFormatKey, 24); }
    void TearDown() override
    {
        Defaults::shared().remove(ClockFormat::kTimeFormatKey);
        QFile::remove(NotesStore::fileURL());
    }
    ClockPin pin{kNow};
};

TEST_F(NotesWidgets, TheFileLivesInTheGroupContainer)
{
    const QString file = NotesStore::fileURL();
    EXPECT_TRUE(file.endsWith("/velk/group/QX48TN7702.com.harrowcrest.velk/notes.json")) << file.toStdString();
    EXPECT_TRUE(file.startsWith(qEnvironmentVariable("XDG_DATA_HOME")));
}

TEST_F(NotesWidgets, LatestEditFirstAndEqualEditsInFileOrder)
{
    const Date ten = utc("2026-12-09T10:00:00"), eleven = utc("2026-12-09T11:00:00"), noon = utc("2026-12-09T12:00:00");
    writeNotesFile("[" + noteJson("6F9619FF-8B86-D011-B42D-00C04FC964FF", "ten", ten, false) + "," +
                   noteJson("7F9619FF-8B86-D011-B42D-00C04FC964FF", "noon", noon, false) + "," +
                   noteJson("8f9619ff-8b86-d011-b42d-00c04fc964ff", "eleven a", eleven, true) + "," +
                   noteJson("9F9619FF-8B86-D011-B42D-00C04FC964FF", "eleven b", eleven, false) + "]");
    const std::vector<NoteItem> notes = NotesStore::latest();
    EXPECT_EQ(textsOfNotes(notes), "noon | eleven a | eleven b | ten");
    EXPECT_TRUE(notes[1].pinned);
    EXPECT_EQ(notes[1].id, QUuid::fromString(QStringLiteral("8F9619FF-8B86-D011-B42D-00C04FC964FF")));
}

TEST_F(NotesWidgets, AnythingUnreadableGivesNoNotesAndIsLeftAsItIs)
{
    const QByteArray good = noteJson("6F9619FF-8B86-D011-B42D-00C04FC964FF", "kept", kNow, false);
    struct Case {
        const char* what;
        std::optional<QByteArray> file;
    };
    const Case cases[] = {
        {"no file", std::nullopt},
        {"an empty file", QByteArray()},
        {"an empty array", QByteArray("[]")},
        {"an object, not an array", good},
        {"one element without pinned",
         "[" + good + R"(,{"id":"7F9619FF-8B86-D011-B42D-00C04FC964FF","text":"x","edited":0})" + "]"},
        {"a wrong type",
         "[" + good + R"(,{"id":"7F9619FF-8B86-D011-B42D-00C04FC964FF","text":"x","edited":"today","pinned":false})" +
             "]"},
        {"cut short", "[" + good.left(30)},
        {"not text at all", QByteArray("\x00\xff\xfe garbage", 11)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(NotesStore::fileURL());
        if (c.file) writeNotesFile(*c.file);
        EXPECT_TRUE(NotesStore::latest().empty());
        for (const DeclaredWidget& d : declared()) {
            SCOPED_TRACE(d.kind);
            const QString texts = QString::fromStdString(placedTexts(d.widget));
            EXPECT_FALSE(texts.contains("kept", Qt::CaseInsensitive)) << texts.toStdString();
        }
        // Read, never written: the bytes are as they were, and no file appears.
        EXPECT_EQ(QFileInfo::exists(NotesStore::fileURL()), bool(c.file));
        if (c.file) {
            EXPECT_EQ(notesFile(), *c.file);
        }
    }
}

// Neither waits on what sits at the path nor reads it without end: a FIFO with no writer, a
// link to an endless device, a file past the cap holding a valid list.
TEST_F(NotesWidgets, AFifoADeviceOrAnOversizedFileGivesNoNotes)
{
    const QString path = NotesStore::fileURL();
    const QByteArray note = noteJson("6F9619FF-8B86-D011-B42D-00C04FC964FF", "kept", kNow, false);
    const QByteArray big = "[" + note + QByteArray(kNotesFileMaxBytes, ' ') + "]";
    for (const auto& make : velk::test::hostileFileMakers(path, big)) {
        QFile::remove(path);
        ASSERT_TRUE(make());
        EXPECT_TRUE(NotesStore::latest().empty());
        for (const DeclaredWidget& d : declared())
            EXPECT_FALSE(QString::fromStdString(placedTexts(d.widget)).contains("kept", Qt::CaseInsensitive)) << d.kind;
    }
}

TEST_F(NotesWidgets, EachWidgetDrawsItsShareOfTheFile)
{
    writeNotesFile("[" + noteJson("6F9619FF-8B86-D011-B42D-00C04FC964FF", "older", kNow.addingSeconds(-7200), true) +
                   "," + noteJson("7F9619FF-8B86-D011-B42D-00C04FC964FF", "newest", kNow.addingSeconds(-600), false) +
                   "]");
    const auto w = declared();
    EXPECT_EQ(placedTexts(w[0].widget), "QUICK NOTE | + | newest | EDITED 23:20");
    EXPECT_EQ(placedTexts(w[1].widget), "NOTE | newest | TODAY 23:20");
    EXPECT_EQ(placedTexts(w[2].widget), "NOTES | 2 | newest | older | ALL NOTES \u2192");
    EXPECT_EQ(placedTexts(w[3].widget), "PINNED | older | DEC 9");
}

TEST_F(NotesWidgets, DeclaredWithTheirKindsNamesFamiliesAndWhereATapLeads)
{
    for (const DeclaredWidget& d : declared())
        expectDeclaredAsListed(d);
}

TEST_F(NotesWidgets, PreviewsShowTheSamplesAndTimelinesTheFile)
{
    writeNotesFile("[" + noteJson("6F9619FF-8B86-D011-B42D-00C04FC964FF", "from the file", kNow, false) + "]");
    const NotesProvider provider;
    SurfaceConfigIntent accent;
    accent.surface = SurfaceOption::accent;
    const timeline::TimelineContext preview{WidgetFamily::small, {160, 160}, true};

    const auto placeholder = provider.placeholder(preview);
    EXPECT_EQ(placeholder.data, NoteItem::samples());
    EXPECT_EQ(placeholder.surface, SurfaceOption::followApp);
    const auto previewed = provider.snapshot(accent, preview);
    EXPECT_EQ(previewed.data, NoteItem::samples());
    EXPECT_EQ(previewed.surface, SurfaceOption::accent);
    EXPECT_EQ(textsOfNotes(provider.snapshot(accent, {}).data), "from the file");

    // Made at 23:30, reloaded at 00:30 the next day, reading the file even in a preview.
    const auto t = provider.timeline(accent, preview);
    ASSERT_EQ(t.entries.size(), 1u);
    EXPECT_EQ(t.entries[0].date, kNow);
    EXPECT_EQ(textsOfNotes(t.entries[0].data), "from the file");
    EXPECT_EQ(t.entries[0].surface, SurfaceOption::accent);
    EXPECT_EQ(t.policy, timeline::ReloadPolicy::after(utc("2026-12-10T00:30:00")));
}

} // namespace
