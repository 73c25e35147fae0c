#include "widgets/status/notes/NotesWidgets.h"

#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/status/notes/NotesStore.h"
#include "widgets/status/notes/NotesViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;
using Notes = std::vector<NoteItem>;

NotesProvider::NotesProvider() : LocalProvider{&NoteItem::samples, [] { return NotesStore::latest(); }, kReloadMinutes}
{}

namespace {

// The quick and single views draw the latest note alone, the list and pinned views the whole
// list.
template <class NotesView>
view::View notesView(const Notes& notes, const WCtx& ctx)
{
    if constexpr (requires { NotesView{std::optional<NoteItem>(), ctx}; })
        return NotesView{notes.empty() ? std::nullopt : std::optional<NoteItem>(notes.front()), ctx};
    else
        return NotesView{notes, ctx};
}

template <class NotesView>
timeline::WidgetDefinition notesWidget(const char* kind, const char* name, const char* description, WidgetFamily family,
                                       Tone tone, const char* url)
{
    return velkWidget<SurfaceConfigIntent>({kind, name, description, family, tone, url}, NotesProvider{},
                                           [](const NotesProvider::Entry& entry, const WCtx& ctx) -> view::View {
                                               return notesView<NotesView>(entry.data, ctx);
                                           });
}

} // namespace

timeline::WidgetDefinition NotesQuickWidget::body() const
{
    return notesWidget<NotesQuickNote>(kinds::notesQuick, "Quick Note", "Your latest note; tap to jot a new one.",
                                       WidgetFamily::medium, Tone::dark, kNewNoteWidgetURL);
}

timeline::WidgetDefinition NotesSingleWidget::body() const
{
    return notesWidget<NotesSingle>(kinds::notesSingle, "Single Note", "Your latest note.", WidgetFamily::small,
                                    Tone::light, kNotesWidgetURL);
}

timeline::WidgetDefinition NotesListWidget::body() const
{
    return notesWidget<NotesList>(kinds::notesList, "Notes List", "Your recent notes.", WidgetFamily::small, Tone::dark,
                                  kNotesWidgetURL);
}

timeline::WidgetDefinition NotesPinnedWidget::body() const
{
    return notesWidget<NotesPinned>(kinds::notesPinned, "Pinned", "Two pinned notes side by side.",
                                    WidgetFamily::medium, Tone::light, kNotesWidgetURL);
}

} // namespace velk
