#include "platform/timeline/Timeline.h"

namespace velk::timeline {

std::optional<Date> ReloadPolicy::reloadDate(std::optional<Date> lastEntryDate) const
{
    switch (kind_) {
    case Kind::atEnd:
        return lastEntryDate;
    case Kind::after:
        return date_;
    case Kind::never:
        return std::nullopt;
    }
    return std::nullopt;
}

QJsonObject ReloadPolicy::toJson() const
{
    switch (kind_) {
    case Kind::atEnd:
        return {{QStringLiteral("policy"), QStringLiteral("atEnd")}};
    case Kind::after:
        return {{QStringLiteral("policy"), QStringLiteral("after")}, {QStringLiteral("date"), date_.sinceReference}};
    case Kind::never:
        return {{QStringLiteral("policy"), QStringLiteral("never")}};
    }
    return {};
}

} // namespace velk::timeline
