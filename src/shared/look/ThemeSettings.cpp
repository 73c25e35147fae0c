#include "shared/look/ThemeSettings.h"

namespace velk {

QString rawValue(ThemeSettings::SurfaceStyle style)
{
    for (const auto& [value, name] : velkEnumCases(static_cast<ThemeSettings::SurfaceStyle*>(nullptr)))
        if (value == style) return QString::fromLatin1(name.data(), qsizetype(name.size()));
    return {};
}

std::optional<ThemeSettings::SurfaceStyle> surfaceStyleFromRawValue(const QString& raw)
{
    for (const auto& [value, name] : velkEnumCases(static_cast<ThemeSettings::SurfaceStyle*>(nullptr)))
        if (raw == QLatin1String(name.data(), qsizetype(name.size()))) return value;
    return std::nullopt;
}

} // namespace velk
