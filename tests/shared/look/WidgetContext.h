#pragma once
// The context the root view hands to widget content, made directly for views tested on their
// own: a theme on the solid surface at a scale unit.
#include "shared/look/WidgetRoot.h"

namespace velk::testing {

inline WCtx solidContext(const char* themeID = "green", qreal u = 1, bool dark = true)
{
    using Surface = ThemeSettings::SurfaceStyle;
    const VelkTheme& t = VelkThemes::resolve(QString::fromLatin1(themeID), dark);
    return WCtx{{QString::fromLatin1(themeID), Surface::solid}, t, WidgetPalette::resolve(Surface::solid, t), u};
}

} // namespace velk::testing
