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

ThemeSettings ThemeStore::current()
{
    return current(Defaults::shared());
}

ThemeSettings ThemeStore::current(const Defaults& suite)
{
    const std::optional<QByteArray> bytes = suite.data(kKey);
    if (!bytes) return ThemeSettings::defaultValue();
    return decodeJson<ThemeSettings>(*bytes).value_or(ThemeSettings::defaultValue());
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
