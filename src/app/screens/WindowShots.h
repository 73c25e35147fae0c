#pragma once
// Pictures of the app's windows as they draw now, for a person to look at where there is no
// screen: the gallery (its first screenful and every card), a category page, the theme screen,
// Settings, the add-widget guide and the notes and habits managers. Each is the real window,
// shown on whatever platform the application runs on (offscreen for a headless render) and
// grabbed with QWidget::grab(), so the files match what a user sees at the same scale.
#include <QString>
#include <QStringList>

namespace velk {
class ThemeStore;
}

namespace velk::app {

class AppLinks;
class NotesSource;

// Writes one "<name>@<ratio>x.png" per window into `dir` (made when missing) and returns the
// files written, in order; a window that could not be saved is left out and named in `failed`.
// The notes manager shows `notes` (skipped without one).
QStringList shootWindows(const QString& dir, ThemeStore* theme, AppLinks* links, NotesSource* notes,
                         QStringList* failed = nullptr);

} // namespace velk::app
