#include "platform/timeline/WidgetFamily.h"

namespace velk::timeline {

QString familyName(WidgetFamily family)
{
    switch (family) {
    case WidgetFamily::small:
        return QStringLiteral("small");
    case WidgetFamily::medium:
        return QStringLiteral("medium");
    case WidgetFamily::large:
        return QStringLiteral("large");
    }
    return QStringLiteral("small");
}

std::optional<WidgetFamily> familyFromName(const QString& name)
{
    for (WidgetFamily f : {WidgetFamily::small, WidgetFamily::medium, WidgetFamily::large})
        if (familyName(f) == name) return f;
    return std::nullopt;
}

} // namespace velk::timeline
