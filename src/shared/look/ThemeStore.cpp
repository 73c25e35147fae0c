#include "shared/look/ThemeStore.h"

namespace velk {

ThemeStore::ThemeStore(QObject* parent)
    : QObject(parent), settings_(current())
{
}

ThemeStore::ThemeStore(Defaults suite, QObject* parent)
    : QObject(parent), suite_(std::move(suite)), settings_(current(*suite_))
{
}

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
thread_local const ThemeSettings* previewSettings = nullptr;
} // namespace

ThemeStore::PreviewScope::PreviewScope(const ThemeSettings& settings)
    : previous_(previewSettings), settings_(settings)
{
    previewSettings = &settings_;
}

ThemeStore::PreviewScope::~PreviewScope() { previewSettings = previous_; }

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
    // its bytes differ from the last ones read on this thread.
    struct Decoded {
        QByteArray bytes;
        ThemeSettings settings;
    };
    thread_local std::optional<Decoded> last;
    if (!last || last->bytes != *bytes)
        last = Decoded{*bytes, decodeJson<ThemeSettings>(*bytes).value_or(ThemeSettings::defaultValue())};
    return last->settings;
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
