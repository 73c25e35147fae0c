#include "shared/data/activity/UsageLog.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "shared/data/activity/ExtrasStore.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>

namespace velk {

namespace {

qint64 wholeMinutes(double seconds)
{
    return qint64(std::trunc(seconds / 60.0));
}

double total(const QMap<QString, double>& apps)
{
    double sum = 0;
    for (double seconds : apps)
        sum += seconds;
    return sum;
}

} // namespace

std::optional<UsageLog::Store> UsageLog::Store::decode(const QByteArray& json)
{
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    const QJsonValue days = doc.object().value(QLatin1String("days"));
    if (!days.isObject()) return std::nullopt;
    Store store;
    const QJsonObject dayObject = days.toObject();
    for (auto day = dayObject.begin(); day != dayObject.end(); ++day) {
        if (!day->isObject()) return std::nullopt;
        QMap<QString, double>& apps = store.days[day.key()];
        const QJsonObject appObject = day->toObject();
        for (auto app = appObject.begin(); app != appObject.end(); ++app) {
            if (!app->isDouble()) return std::nullopt;
            apps.insert(app.key(), app->toDouble());
        }
    }
    return store;
}

const DateFormatter& UsageLog::dayFormat()
{
    // The writer keys its days with the suite's day formatter; sharing it keeps the keys equal.
    return ExtrasStore::dayFormat();
}

UsageLog::Store UsageLog::load()
{
    // The log is a map keyed by day, which the record coder does not describe; it is decoded by
    // hand with the same rule: absent or undecodable reads as nothing.
    const auto bytes = Defaults::shared().data(kKey);
    if (!bytes) return {};
    return Store::decode(*bytes).value_or(Store{});
}

std::optional<UsageSnapshot> UsageLog::snapshot(qint64 budgetMinutes)
{
    return snapshot(load(), budgetMinutes, Clock::now());
}

std::optional<UsageSnapshot> UsageLog::snapshot(const Store& store, qint64 budgetMinutes, Date now)
{
    const Calendar calendar = Calendar::current();
    const QMap<QString, double> today = store.days.value(dayFormat().string(now));

    UsageSnapshot snap;
    snap.budgetMinutes = budgetMinutes;
    snap.totalMinutes = wholeMinutes(total(today));

    std::vector<std::pair<QString, double>> ranked(today.keyValueBegin(), today.keyValueEnd());
    std::stable_sort(ranked.begin(), ranked.end(), [](const auto& a, const auto& b) { return a.second > b.second; });
    for (size_t i = 0; i < std::min<size_t>(3, ranked.size()); ++i)
        snap.apps.push_back({ranked[i].first, wholeMinutes(ranked[i].second), i == 2});

    DateFormatter weekday;
    weekday.setDateFormat(QStringLiteral("EEE"));
    for (int k = 6; k >= 0; --k) {
        const auto date = calendar.date(CalendarComponent::day, -k, now);
        if (!date) continue;
        const auto day = store.days.constFind(dayFormat().string(*date));
        const qint64 minutes = day == store.days.constEnd() ? 0 : wholeMinutes(total(*day));
        snap.week.push_back({weekday.string(*date), minutes, k == 0, false});
    }

    // One peak only: the oldest of the days sharing the largest total.
    const auto peak = std::max_element(snap.week.begin(), snap.week.end(),
                                       [](const auto& a, const auto& b) { return a.minutes < b.minutes; });
    if (peak != snap.week.end() && peak->minutes > 0) peak->isPeak = true;

    const bool anyDay = std::any_of(snap.week.begin(), snap.week.end(), [](const auto& d) { return d.minutes > 0; });
    if (snap.totalMinutes <= 0 && !anyDay) return std::nullopt;
    return snap;
}

} // namespace velk
