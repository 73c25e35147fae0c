#include "app/screens/AppLinks.h"
#include "app/screens/MainWindow.h"
#include "app/screens/NotesManagerView.h"
#include "app/screens/VelkApp.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/timeline/WidgetCenter.h"
#include "support/UtcDate.h"
#include "support/WaitFor.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace velk;
using namespace velk::app;

namespace {

// The store's contract in memory: newest first, pin in place, delete by id.
class MemoryNotes : public NotesSource {
public:
    QList<NoteItem> list;
    QList<NoteItem> notes() const override { return list; }
    void add(const QString& text) override
    {
        aside = asideOnChange;
        list.prepend(NoteItem(text, Clock::now(), false));
        emit notesChanged();
    }
    void remove(const NoteItem& note) override
    {
        list.removeIf([&](const NoteItem& n) { return n.id == note.id; });
        emit notesChanged();
    }
    void togglePin(const NoteItem& note) override
    {
        for (NoteItem& n : list)
            if (n.id == note.id) n.pinned = !n.pinned;
        emit notesChanged();
    }
    // Set by a test: where the first change moves an unreadable file.
    QString asideOnChange;
    QString aside;
    std::optional<QString> keptAsidePath() const override
    {
        return aside.isEmpty() ? std::nullopt : std::optional<QString>(aside);
    }
};

QList<QWidget*> rowsOf(NotesManagerView& v)
{
    return v.findChildren<QWidget*>(QStringLiteral("noteRow"));
}

} // namespace

TEST(NotesManager, ReturnAddsTheTrimmedNoteFirstAndReloadsTheNotesWidgets)
{
    MemoryNotes store;
    store.add(QStringLiteral("older"));
    NotesManagerView view(&store, true);
    view.show();
    ASSERT_TRUE(test::waitFor([&] { return view.composeField()->hasFocus() || !view.isActiveWindow(); }));
    timeline::WidgetCenterRecorder reloads;

    // Blanks and line breaks only: nothing added, the text stays.
    QTest::keyClicks(view.composeField(), QStringLiteral("   "));
    EXPECT_FALSE(view.addButton()->isEnabled());
    QTest::keyClick(view.composeField(), Qt::Key_Return);
    EXPECT_EQ(store.list.size(), 1);
    EXPECT_EQ(view.composeField()->toPlainText(), QStringLiteral("   "));

    view.composeField()->setPlainText(QStringLiteral("\n  milk\nbread  \n"));
    QTest::keyClick(view.composeField(), Qt::Key_Return);
    ASSERT_EQ(store.list.size(), 2);
    EXPECT_EQ(store.list[0].text, QStringLiteral("milk\nbread"));
    EXPECT_TRUE(view.composeField()->toPlainText().isEmpty());
    EXPECT_EQ(rowsOf(view)[0]->findChild<QLabel*>(QStringLiteral("noteText"))->text(), QStringLiteral("milk\nbread"));
    EXPECT_EQ(reloads.kinds(),
              (QStringList{"velk.notes.quick", "velk.notes.single", "velk.notes.list", "velk.notes.pinned"}));
}

TEST(NotesManager, PinsInPlaceAndDeletesToTheEmptyText)
{
    MemoryNotes store;
    store.add(QStringLiteral("b"));
    store.add(QStringLiteral("a"));
    NotesManagerView view(&store, false);
    timeline::WidgetCenterRecorder reloads;
    auto pinOf = [&](int row) { return rowsOf(view)[row]->findChild<QToolButton*>(QStringLiteral("pin")); };
    EXPECT_EQ(pinOf(1)->toolTip(), QStringLiteral("Pin \u2014 pinned notes show in the Pinned widget"));
    const Date edited = store.list[1].edited;
    pinOf(1)->click();
    EXPECT_TRUE(store.list[1].pinned);
    EXPECT_EQ(store.list[1].edited, edited);
    EXPECT_EQ(pinOf(1)->toolTip(), QStringLiteral("Unpin"));
    EXPECT_TRUE(pinOf(1)->property("pinned").toBool());
    EXPECT_EQ(reloads.kinds().size(), 4);

    auto* empty = view.findChild<QLabel*>(QStringLiteral("emptyText"));
    EXPECT_FALSE(empty->isVisibleTo(&view));
    rowsOf(view)[0]->findChild<QToolButton*>(QStringLiteral("delete"))->click();
    rowsOf(view)[0]->findChild<QToolButton*>(QStringLiteral("delete"))->click();
    EXPECT_TRUE(store.list.isEmpty());
    EXPECT_TRUE(empty->isVisibleTo(&view));
    EXPECT_EQ(reloads.kinds().size(), 12);
}

TEST(NotesManager, OpenedWithoutComposingLeavesFocusAlone)
{
    MemoryNotes store;
    NotesManagerView view(&store, false);
    view.show();
    QCoreApplication::processEvents();
    EXPECT_FALSE(view.composeField()->hasFocus());
}

TEST(NotesManager, EditedTimeIsAnAbbreviatedDateAndAShortTime)
{
    ClockPin clock(test::utc("2026-07-15T09:33:19"));
    const struct {
        const char* locale;
        QString shown;
    } cases[] = {
        {"en_US", QStringLiteral("Jul 15, 2026, 9:33\u202fAM")},
        {"de_DE", QStringLiteral("15.07.2026, 09:33")},
    };
    for (const auto& c : cases) {
        LocalePin pin(QString::fromLatin1(c.locale));
        MemoryNotes store;
        store.add(QStringLiteral("milk"));
        NotesManagerView view(&store, false);
        EXPECT_EQ(rowsOf(view)[0]->findChild<QLabel*>(QStringLiteral("noteEdited"))->text(), c.shown) << c.locale;
    }
}

TEST(NotesManager, SaysWhereAnUnreadableNotesFileWasKept)
{
    MemoryNotes store;
    store.asideOnChange = QStringLiteral("/data/notes.json.unreadable-20260715-093319");
    NotesManagerView view(&store, false);
    auto* notice = view.findChild<QLabel*>(QStringLiteral("notice"));
    ASSERT_TRUE(notice);
    EXPECT_FALSE(notice->isVisibleTo(&view));
    view.composeField()->setPlainText(QStringLiteral("first"));
    view.addNote();
    EXPECT_TRUE(notice->isVisibleTo(&view));
    EXPECT_EQ(view.notice(),
              QStringLiteral("The unreadable notes file was kept as /data/notes.json.unreadable-20260715-093319"));
}

TEST(NotesManager, AFloodOfNotesLinksOpensOneSheet)
{
    MemoryNotes store;
    NotesManagerView::setAppSource(&store);
    AppLinks links;
    VelkApp app(&links);
    const auto openSheets = [&] {
        qsizetype shown = 0;
        for (NotesManagerView* sheet : app.mainWindow()->findChildren<NotesManagerView*>())
            shown += sheet->isVisible();
        return shown;
    };

    QList<QUrl> urls;
    for (int i = 0; i < 1000; ++i)
        urls << QUrl(i % 2 ? QStringLiteral("velkwidgets://notes/new") : QStringLiteral("velkwidgets://notes"));
    app.openUrls(urls);
    ASSERT_TRUE(app.mainWindow());
    EXPECT_EQ(app.mainWindow()->findChildren<NotesManagerView*>().size(), 1);
    EXPECT_EQ(openSheets(), 1);

    // Closed, the next links open a fresh sheet, again only one.
    app.mainWindow()->findChild<NotesManagerView*>()->close();
    EXPECT_EQ(openSheets(), 0);
    app.openUrls({QUrl(QStringLiteral("velkwidgets://notes")), QUrl(QStringLiteral("velkwidgets://notes/new"))});
    EXPECT_EQ(openSheets(), 1);
    NotesManagerView::setAppSource(nullptr);
}
