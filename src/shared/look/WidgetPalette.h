#pragma once
// The nine colours widget views draw with, derived once per render from the resolved theme and
// the surface in effect; views never read theme colours directly. Also the widget's background
// for each surface.
#include "platform/core/Color.h"
#include "shared/look/Theme.h"
#include "shared/look/ThemeSettings.h"

#include <array>

namespace velk {

// How a widget's container is filled: a colour, the system's ultra-thin translucent material,
// or a vertical gradient. Plain data so it can be inspected; the view layer paints it.
struct WidgetBackground {
    enum class Kind { color, ultraThinMaterial, linearGradient };

    Kind kind = Kind::color;
    Color color;                   // kind == color
    std::array<Color, 2> gradient; // kind == linearGradient: evenly spaced stops, top to bottom

    static WidgetBackground solid(Color c) { return {Kind::color, c, {}}; }
    static WidgetBackground ultraThinMaterial() { return {Kind::ultraThinMaterial, {}, {}}; }
    static WidgetBackground topToBottom(Color top, Color bottom) { return {Kind::linearGradient, {}, {top, bottom}}; }

    friend bool operator==(const WidgetBackground&, const WidgetBackground&) = default;
};

struct WidgetPalette {
    // Handed by each widget to its root view and carried by the app's cards; no colour here
    // depends on it.
    enum class Tone { dark, light };

    Color ink;
    Color inkDim;
    Color inkFaint;
    Color accent;
    Color alert;
    Color track;
    Color fill;
    Color hairline;
    Color chip;

    static WidgetPalette resolve(ThemeSettings::SurfaceStyle surface, const VelkTheme& theme);
    static WidgetBackground background(ThemeSettings::SurfaceStyle surface, const VelkTheme& theme);

    friend bool operator==(const WidgetPalette&, const WidgetPalette&) = default;
};

} // namespace velk
