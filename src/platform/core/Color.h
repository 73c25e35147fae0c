#pragma once
// An sRGB colour with opacity, components 0...1, compared exactly. Views turn it into a
// QColor only when painting, so inspection shows the values the code computed.
#include <QString>
#include <algorithm>
#include <cmath>

namespace velk {

struct Color {
    double r = 0, g = 0, b = 0, a = 1;

    static constexpr Color rgb255(int red, int green, int blue, double alpha = 1.0)
    {
        return Color{red / 255.0, green / 255.0, blue / 255.0, alpha};
    }
    static constexpr Color white(double w, double alpha = 1.0) { return Color{w, w, w, alpha}; }
    static constexpr Color clear() { return Color{0, 0, 0, 0}; }

    // The same colour with its opacity multiplied by `factor`, as a view's .opacity(x) does.
    constexpr Color opacity(double factor) const { return Color{r, g, b, a * factor}; }
    // The same colour with its opacity replaced.
    constexpr Color withAlpha(double alpha) const { return Color{r, g, b, alpha}; }

    // "#RRGGBB" or "#RRGGBBAA" (alpha written when below 1), for inspection dumps.
    QString hex() const
    {
        auto byte = [](double v) { return int(std::lround(std::clamp(v, 0.0, 1.0) * 255.0)); };
        QString s = QStringLiteral("#%1%2%3")
                        .arg(byte(r), 2, 16, QLatin1Char('0'))
                        .arg(byte(g), 2, 16, QLatin1Char('0'))
                        .arg(byte(b), 2, 16, QLatin1Char('0'));
        if (a < 1.0) s += QStringLiteral("%1").arg(byte(a), 2, 16, QLatin1Char('0'));
        return s.toUpper();
    }

    friend constexpr bool operator==(const Color&, const Color&) = default;
};

} // namespace velk
