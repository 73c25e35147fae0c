#pragma once
// The sizes a widget comes in. Every widget lays itself out for its family's design size and
// is scaled onto the real size it is given.
#include <QSizeF>
#include <QString>
#include <optional>

namespace velk::timeline {

enum class WidgetFamily { small, medium, large };

// Width x height in design points: small 160 x 160, medium 344 x 160, large 344 x 344.
constexpr QSizeF designSize(WidgetFamily family)
{
    switch (family) {
    case WidgetFamily::small:
        return {160, 160};
    case WidgetFamily::medium:
        return {344, 160};
    case WidgetFamily::large:
        return {344, 344};
    }
    return {160, 160};
}

// "small", "medium", "large": how the host's commands and stored placements name a family.
QString familyName(WidgetFamily family);
std::optional<WidgetFamily> familyFromName(const QString& name);

} // namespace velk::timeline
