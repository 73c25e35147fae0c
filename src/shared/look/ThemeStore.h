#pragma once
// The theme settings in the shared suite. Widget renders only read them, through current(),
// which goes to the suite on every call so a change made by the app shows at the next render.
// The app keeps one ThemeStore whose every assignment is announced and written at once.
#include "platform/core/Defaults.h"
#include "shared/look/ThemeSettings.h"

#include <QObject>
#include <optional>

namespace velk {

class ThemeStore : public QObject {
    Q_OBJECT
public:
    static inline const QString kKey = QStringLiteral("velk.theme.v1");

    // Starts from the settings stored in the shared suite.
    explicit ThemeStore(QObject* parent = nullptr);
    // The same against another store, for tests and tools.
    explicit ThemeStore(Defaults suite, QObject* parent = nullptr);

    ThemeSettings settings() const { return settings_; }
    // Announces the new value to every observer, then writes it. Assigning an equal value
    // still writes it, so applying the unchanged look repairs an unreadable stored one.
    void setSettings(const ThemeSettings& settings);

    // The settings now stored, or the default when nothing usable is there (absent key, not
    // data, malformed JSON, a missing member, an unknown surface). Never cached; callable from
    // any thread. A bad stored value is left as it is.
    static ThemeSettings current();
    static ThemeSettings current(const Defaults& suite);

    // While one lives, current() on its thread answers `settings` instead of the store: the
    // app previews widgets through the very root the host uses, under a look not applied yet.
    class PreviewScope {
    public:
        explicit PreviewScope(const ThemeSettings& settings);
        ~PreviewScope();
        PreviewScope(const PreviewScope&) = delete;
        PreviewScope& operator=(const PreviewScope&) = delete;

    private:
        const ThemeSettings* previous_;
        ThemeSettings settings_;
    };

    // Writes the whole document, replacing what was stored; an encoding failure writes
    // nothing.
    static void save(const ThemeSettings& settings);
    static void save(const ThemeSettings& settings, Defaults suite);

signals:
    void settingsChanged(const velk::ThemeSettings& settings);

private:
    std::optional<Defaults> suite_; // the shared suite when empty
    ThemeSettings settings_;
};

} // namespace velk
