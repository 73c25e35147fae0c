#include "platform/timeline/Provider.h"

#include <QJsonArray>

namespace velk::timeline {

QJsonObject AnyEntry::toJson() const
{
    return {{QStringLiteral("date"), date().sinceReference},
            {QStringLiteral("data"), data()},
            {QStringLiteral("surface"), surface()}};
}

std::optional<Date> AnyTimeline::reloadDate() const
{
    std::optional<Date> last;
    for (const auto& e : entries)
        if (!last || e.date() > *last) last = e.date();
    return policy.reloadDate(last);
}

QJsonObject AnyTimeline::toJson() const
{
    QJsonArray a;
    for (const auto& e : entries)
        a.append(e.toJson());
    QJsonObject o = policy.toJson();
    o.insert(QStringLiteral("entries"), a);
    return o;
}

} // namespace velk::timeline
