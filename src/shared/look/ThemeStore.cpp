#include "shared/look/ThemeStore.h"

#include <mutex>

namespace velk {

ThemeStore::ThemeStore(QObject* parent) : QObject(parent), settings_(current()) {}

ThemeStore::ThemeStore(Defaults suite, QObject* parent)
    : QObject(parent), suite_(std::move(suite)), settings_(current(*suite_))
{}

void ThemeStore::setSettings(const ThemeSettings& settings)
{
    settings_ = settings;
    emit settingsChanged(settings_);
    if (suite_)
        save(settings_, *suite_);
    else
        save(settings_);
}

namespace {
// Per thread: the gallery lays out a card with the look it previews on its own thread, while
// widgets laid out on other threads at the same time keep the stored look.
thread_local const ThemeSettings* previewSettings = nullptr;
} // namespace

ThemeStore::PreviewScope::PreviewScope(const ThemeSettings& settings) : previous_(previewSettings), settings_(settings)
{
    previewSettings = &settings_;
}

ThemeStore::PreviewScope::~PreviewScope()
{
    previewSettings = previous_;
}

ThemeSettings ThemeStore::current()
{
    if (previewSettings) return *previewSettings;
    return current(Defaults::shared());
}

ThemeSettings ThemeStore::current(const Defaults& suite)
{
    const std::optional<QByteArray> bytes = suite.data(kKey);
    if (!bytes) return ThemeSettings::defaultValue();
    // Every widget render asks, and the stored document seldom changes: decode it only when
    // its bytes differ from the last ones read.
    struct Decoded {
        QByteArray bytes;
        ThemeSettings settings;
    };
    static std::mutex mutex;
    static std::optional<Decoded> last;
    {
        std::lock_guard lock(mutex);
        if (last && last->bytes == *bytes) return last->settings;
    }
    ThemeSettings settings = decodeJson<ThemeSettings>(*bytes).value_or(ThemeSettings::defaultValue());
    std::lock_guard lock(mutex);
    last = Decoded{*bytes, settings};
    return settings;
}

void ThemeStore::save(const ThemeSettings& settings)
{
    // Encode first, so a value that cannot be written never opens the suite.
    const std::optional<QByteArray> bytes = encodeJson(settings);
    if (!bytes) return;
    Defaults::shared().setData(kKey, *bytes);
}

void ThemeStore::save(const ThemeSettings& settings, Defaults suite)
{
    const std::optional<QByteArray> bytes = encodeJson(settings);
    if (!bytes) return;
    suite.setData(kKey, *bytes);
}

} // namespace velk
