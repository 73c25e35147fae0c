#include "platform/intents/IntentRegistry.h"

#include <QHash>
#include <QJsonArray>
#include <algorithm>
#include <mutex>
#include <shared_mutex>

namespace velk::intents {

struct IntentRegistry::State {
    struct Entry {
        IntentDescription description;
        Runner runner;
        Normaliser normaliser;
    };
    mutable std::shared_mutex mutex;
    QHash<QString, Entry> entries;
};

IntentRegistry::IntentRegistry() : state_(std::make_unique<State>()) {}
IntentRegistry::~IntentRegistry() = default;

IntentRegistry& IntentRegistry::shared()
{
    static IntentRegistry registry;
    return registry;
}

void IntentRegistry::add(IntentDescription description, Runner runner, Normaliser normaliser)
{
    std::unique_lock lock(state_->mutex);
    const QString name = description.typeName;
    // Registering the same type again (the bundle and a button both do) replaces nothing.
    if (state_->entries.contains(name)) return;
    state_->entries.insert(name, {std::move(description), std::move(runner), std::move(normaliser)});
}

bool IntentRegistry::contains(const QString& typeName) const
{
    std::shared_lock lock(state_->mutex);
    return state_->entries.contains(typeName);
}

QStringList IntentRegistry::typeNames() const
{
    std::shared_lock lock(state_->mutex);
    QStringList names = state_->entries.keys();
    names.sort();
    return names;
}

std::optional<IntentDescription> IntentRegistry::description(const QString& typeName) const
{
    std::shared_lock lock(state_->mutex);
    const auto it = state_->entries.constFind(typeName);
    if (it == state_->entries.constEnd()) return std::nullopt;
    return it->description;
}

IntentRunResult IntentRegistry::run(const QString& typeName, const QJsonObject& parameters) const
{
    Runner runner;
    {
        std::shared_lock lock(state_->mutex);
        const auto it = state_->entries.constFind(typeName);
        if (it == state_->entries.constEnd()) return {false, QStringLiteral("no intent named \"%1\"").arg(typeName)};
        if (!it->runner) return {false, QStringLiteral("\"%1\" is a configuration, not an action").arg(typeName)};
        runner = it->runner;
    }
    // Outside the lock: an action may take long and may itself register or run intents.
    return runner(parameters);
}

std::optional<QJsonObject> IntentRegistry::configuration(const QString& typeName, const QJsonObject& stored) const
{
    Normaliser normaliser;
    {
        std::shared_lock lock(state_->mutex);
        const auto it = state_->entries.constFind(typeName);
        if (it == state_->entries.constEnd() || !it->normaliser) return std::nullopt;
        normaliser = it->normaliser;
    }
    return normaliser(stored);
}

QJsonObject ParameterDescription::toJson() const
{
    QJsonObject o{{QStringLiteral("name"), name},
                  {QStringLiteral("title"), title},
                  {QStringLiteral("type"), type},
                  {QStringLiteral("optional"), optional},
                  {QStringLiteral("default"), defaultValue}};
    if (!valueTypeTitle.isEmpty()) o.insert(QStringLiteral("valueType"), valueTypeTitle);
    if (!cases.empty()) {
        QJsonArray a;
        for (const auto& c : cases)
            a.append(QJsonObject{{QStringLiteral("raw"), c.raw}, {QStringLiteral("title"), c.title}});
        o.insert(QStringLiteral("cases"), a);
    }
    return o;
}

QJsonObject IntentDescription::toJson() const
{
    QJsonArray params;
    for (const auto& p : parameters)
        params.append(p.toJson());
    return {{QStringLiteral("type"), typeName},
            {QStringLiteral("title"), title},
            {QStringLiteral("configuration"), configuration},
            {QStringLiteral("parameters"), params}};
}

} // namespace velk::intents
