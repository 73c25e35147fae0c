#pragma once
// App entities: values the user picks in the widget editor from a list that a query supplies
// (a city, a place). An entity is known by its persistent identifier; a configuration stores
// only that string and gets the entity back from it.
//
//   struct TimeZoneEntity {
//       static constexpr const char* typeDisplayName = "City";
//       using Query = TimeZoneQuery;
//       QString id;
//       QString displayTitle() const;
//   };
//   struct TimeZoneQuery {
//       std::vector<TimeZoneEntity> entitiesFor(const QStringList& identifiers) const;
//       std::vector<TimeZoneEntity> entitiesMatching(const QString& text) const;
//       std::vector<TimeZoneEntity> suggestedEntities() const;
//       std::optional<TimeZoneEntity> defaultResult() const;
//   };
//
// Queries may block (a place search goes to the network): the host calls them on worker
// threads, never on the thread that paints.
#include "platform/core/Coding.h"

#include <QString>
#include <QStringList>
#include <concepts>
#include <memory>
#include <optional>
#include <vector>

namespace velk::intents {

template <class E>
concept AppEntity = requires(const E& e)
{
    {
        e.id
        } -> std::convertible_to<QString>;
    {
        e.displayTitle()
        } -> std::convertible_to<QString>;
    {
        E::typeDisplayName
        } -> std::convertible_to<const char*>;
    typename E::Query;
};

template <class Q, class E>
concept EntityStringQuery = requires(const Q& q, const QStringList& ids, const QString& text)
{
    {
        q.entitiesFor(ids)
        } -> std::same_as<std::vector<E>>;
    {
        q.entitiesMatching(text)
        } -> std::same_as<std::vector<E>>;
    {
        q.suggestedEntities()
        } -> std::same_as<std::vector<E>>;
    {
        q.defaultResult()
        } -> std::same_as<std::optional<E>>;
};

// What the editor shows of an entity and what it stores.
struct EntityOption {
    QString id;
    QString title;
    friend bool operator==(const EntityOption&, const EntityOption&) = default;
};

// Any entity's query, for the host's editor, which knows entity types only by parameter.
class AnyEntityQuery {
public:
    virtual ~AnyEntityQuery() = default;
    virtual QString typeDisplayName() const = 0;
    virtual std::vector<EntityOption> entitiesFor(const QStringList& identifiers) const = 0;
    virtual std::vector<EntityOption> entitiesMatching(const QString& text) const = 0;
    virtual std::vector<EntityOption> suggestedEntities() const = 0;
    virtual std::optional<EntityOption> defaultResult() const = 0;
};

template <AppEntity E>
EntityOption entityOption(const E& e)
{
    return {QString(e.id), QString(e.displayTitle())};
}

template <AppEntity E>
requires EntityStringQuery<typename E::Query, E>
class EntityQueryAdapter final : public AnyEntityQuery {
public:
    QString typeDisplayName() const override { return QString::fromUtf8(E::typeDisplayName); }
    std::vector<EntityOption> entitiesFor(const QStringList& identifiers) const override
    {
        return options(query_.entitiesFor(identifiers));
    }
    std::vector<EntityOption> entitiesMatching(const QString& text) const override
    {
        return options(query_.entitiesMatching(text));
    }
    std::vector<EntityOption> suggestedEntities() const override { return options(query_.suggestedEntities()); }
    std::optional<EntityOption> defaultResult() const override
    {
        const auto e = query_.defaultResult();
        if (!e) return std::nullopt;
        return entityOption(*e);
    }

private:
    static std::vector<EntityOption> options(const std::vector<E>& entities)
    {
        std::vector<EntityOption> out;
        out.reserve(entities.size());
        for (const E& e : entities)
            out.push_back(entityOption(e));
        return out;
    }
    typename E::Query query_{};
};

template <AppEntity E>
std::shared_ptr<const AnyEntityQuery> entityQuery()
{
    return std::make_shared<EntityQueryAdapter<E>>();
}

} // namespace velk::intents

namespace velk::coding {

// An entity is stored as its identifier alone; reading it back copies the identifier
// unchanged, as every query's lookup by identifier does.
template <class E>
requires(::velk::intents::AppEntity<E> && !Record<E>) struct ValueCoder<E> {
    static bool encode(const E& v, QJsonValue& out)
    {
        out = QString(v.id);
        return true;
    }
    static bool decode(const QJsonValue& in, E& out)
    {
        if (!in.isString()) return false;
        out = E{};
        out.id = in.toString();
        return true;
    }
};

} // namespace velk::coding
