#pragma once
// Timeline providers. A widget author writes a plain typed provider:
//
//   struct BatteryProvider {
//       VelkEntry<PowerSnapshot> placeholder(const TimelineContext&) const;
//       VelkEntry<PowerSnapshot> snapshot(const SurfaceConfigIntent&, const TimelineContext&) const;
//       Timeline<VelkEntry<PowerSnapshot>> timeline(const SurfaceConfigIntent&, const TimelineContext&) const;
//   };
//
// and the host sees every provider through AnyProvider: configurations go in as the stored
// JSON values of the widget's configuration intent, entries come out type-erased, with their
// data dumpable as JSON and the typed entry kept for the widget's content.
//
// Providers may block (file reads, web requests): the host calls them on worker threads, and
// a provider must not touch anything that belongs to the thread that paints.
#include "platform/intents/Intent.h"
#include "platform/timeline/Timeline.h"

#include <QJsonValue>
#include <memory>
#include <optional>
#include <typeinfo>

namespace velk::timeline {

template <class E>
concept TimelineEntry = requires(const E& e)
{
    {
        e.date
        } -> std::convertible_to<Date>;
    e.data;
    requires intents::AppEnum<std::remove_cvref_t<decltype(e.surface)>>;
};

namespace detail {

template <class T>
struct IsOptional : std::false_type {};
template <class T>
struct IsOptional<std::optional<T>> : std::true_type {};

// The data of an entry as JSON, for the host's timeline dumps. Data the record coder does not
// know (a value that is never stored) dumps as null.
template <class T>
QJsonValue dataJson(const T& data)
{
    if constexpr (IsOptional<T>::value) {
        if (!data) return QJsonValue(QJsonValue::Null);
        return dataJson(*data);
    } else if constexpr (requires { sizeof(coding::ValueCoder<T>); }) {
        return coding::toJson(data).value_or(QJsonValue(QJsonValue::Null));
    } else {
        return QJsonValue(QJsonValue::Null);
    }
}

struct EntryBox {
    virtual ~EntryBox() = default;
    virtual Date date() const = 0;
    virtual QJsonValue data() const = 0;
    virtual QString surface() const = 0;
};

template <TimelineEntry E>
struct EntryBoxOf final : EntryBox {
    explicit EntryBoxOf(E e) : entry(std::move(e)) {}
    Date date() const override { return entry.date; }
    QJsonValue data() const override { return dataJson(entry.data); }
    QString surface() const override { return intents::rawValue(entry.surface); }
    E entry;
};

} // namespace detail

// Any widget's entry. Cheap to copy; the typed entry inside is immutable.
class AnyEntry {
public:
    AnyEntry() = default;
    template <TimelineEntry E>
    explicit AnyEntry(E entry) : box_(std::make_shared<detail::EntryBoxOf<E>>(std::move(entry)))
    {}

    bool isNull() const { return !box_; }
    Date date() const { return box_ ? box_->date() : Date(); }
    QJsonValue data() const { return box_ ? box_->data() : QJsonValue(); }
    // The raw string of the entry's surface option.
    QString surface() const { return box_ ? box_->surface() : QString(); }

    // The typed entry, or null when this entry holds another type.
    template <TimelineEntry E>
    const E* as() const
    {
        const auto* typed = dynamic_cast<const detail::EntryBoxOf<E>*>(box_.get());
        return typed ? &typed->entry : nullptr;
    }

    // {"date": seconds since 2001, "data": ..., "surface": raw}
    QJsonObject toJson() const;

private:
    std::shared_ptr<const detail::EntryBox> box_;
};

struct AnyTimeline {
    std::vector<AnyEntry> entries;
    ReloadPolicy policy = ReloadPolicy::atEnd();

    // When the host should ask again: the policy applied to the last entry.
    std::optional<Date> reloadDate() const;
    QJsonObject toJson() const;
};

class AnyProvider {
public:
    virtual ~AnyProvider() = default;
    virtual AnyEntry placeholder(const TimelineContext& context) const = 0;
    virtual AnyEntry snapshot(const QJsonObject& configuration, const TimelineContext& context) const = 0;
    virtual AnyTimeline timeline(const QJsonObject& configuration, const TimelineContext& context) const = 0;
};

template <class P, class Config>
concept TypedProvider = intents::Intent<Config> && requires(const P& p, const Config& c, const TimelineContext& ctx)
{
    requires TimelineEntry<decltype(p.placeholder(ctx))>;
    {
        p.snapshot(c, ctx)
        } -> std::same_as<decltype(p.placeholder(ctx))>;
    {
        p.timeline(c, ctx)
        } -> std::same_as<Timeline<decltype(p.placeholder(ctx))>>;
};

template <class Config, class P>
requires TypedProvider<P, Config>
class ProviderAdapter final : public AnyProvider {
public:
    using EntryType = decltype(std::declval<const P&>().placeholder(std::declval<const TimelineContext&>()));

    explicit ProviderAdapter(P provider) : provider_(std::move(provider)) {}

    AnyEntry placeholder(const TimelineContext& context) const override
    {
        return AnyEntry(provider_.placeholder(context));
    }
    AnyEntry snapshot(const QJsonObject& configuration, const TimelineContext& context) const override
    {
        return AnyEntry(provider_.snapshot(intents::configurationFrom<Config>(configuration), context));
    }
    AnyTimeline timeline(const QJsonObject& configuration, const TimelineContext& context) const override
    {
        Timeline<EntryType> t = provider_.timeline(intents::configurationFrom<Config>(configuration), context);
        AnyTimeline out;
        out.policy = t.policy;
        out.entries.reserve(t.entries.size());
        for (auto& e : t.entries)
            out.entries.emplace_back(std::move(e));
        return out;
    }

private:
    P provider_;
};

} // namespace velk::timeline
