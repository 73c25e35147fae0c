#pragma once
// The user's look for every widget: a theme id and the app-wide surface style. It travels from
// the app to the widget host as one small JSON document; see ThemeStore.
#include "platform/core/Coding.h"

#include <QString>
#include <array>
#include <optional>

namespace velk {

struct ThemeSettings {
    enum class SurfaceStyle { solid, glass, accent };

    // A key of the theme table or "macos"; any other string is kept and resolves to the
    // fallback theme when drawn.
    QString themeID = QStringLiteral("macdark");
    SurfaceStyle surface = SurfaceStyle::solid;

    VELK_FIELDS(ThemeSettings, themeID, surface)

    // What readers fall back to whenever nothing usable is stored.
    static ThemeSettings defaultValue() { return ThemeSettings{}; }

    friend bool operator==(const ThemeSettings&, const ThemeSettings&) = default;
};

VELK_ENUM_STRINGS(ThemeSettings::SurfaceStyle, {ThemeSettings::SurfaceStyle::solid, "solid"},
                  {ThemeSettings::SurfaceStyle::glass, "glass"}, {ThemeSettings::SurfaceStyle::accent, "accent"})

// Every surface style, in case order.
inline constexpr std::array<ThemeSettings::SurfaceStyle, 3> kAllSurfaceStyles = {
    ThemeSettings::SurfaceStyle::solid, ThemeSettings::SurfaceStyle::glass, ThemeSettings::SurfaceStyle::accent};

// The raw string of a style, as stored.
QString rawValue(ThemeSettings::SurfaceStyle style);
// The style for an exact (case-sensitive) raw string; nothing for any other string.
std::optional<ThemeSettings::SurfaceStyle> surfaceStyleFromRawValue(const QString& raw);

} // namespace velk
