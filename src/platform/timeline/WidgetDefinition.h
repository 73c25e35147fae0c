#pragma once
// A widget as the bundle offers it: kind, names, its one family, the configuration intent the
// user edits, the provider and the content that draws an entry. Written the way the widgets
// are described:
//
//   return timeline::AppIntentConfiguration<SurfaceConfigIntent>(
//              "velk.battery.ring", BatteryProvider{},
//              [](const VelkEntry<PowerSnapshot>& entry) { return BatteryRing(entry); })
//       .configurationDisplayName("Battery Ring")
//       .description("...")
//       .supportedFamilies(WidgetFamily::small)
//       .contentMarginsDisabled();
//
// The content runs on the thread that renders; the environment (colour scheme, rendering
// mode) reaches it through the view layer's environment, which the host sets on the result.
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/Provider.h"
#include "platform/view/View.h"

#include <functional>
#include <memory>

namespace velk::timeline {

class WidgetDefinition {
public:
    using Content = std::function<view::View(const AnyEntry&)>;
    using Normaliser = std::function<QJsonObject(const QJsonObject&)>;

    WidgetDefinition() = default;
    WidgetDefinition(QString kind, QString configurationIntent, std::shared_ptr<const AnyProvider> provider,
                     Content content, Normaliser normaliser);

    // Chained settings, as the widgets declare them.
    WidgetDefinition configurationDisplayName(const QString& name) const;
    WidgetDefinition description(const QString& text) const;
    WidgetDefinition supportedFamilies(WidgetFamily family) const;
    WidgetDefinition contentMarginsDisabled() const;

    const QString& kind() const { return kind_; }
    const QString& displayName() const { return displayName_; }
    const QString& description() const { return description_; }
    WidgetFamily family() const { return family_; }
    bool isContentMarginsDisabled() const { return marginsDisabled_; }
    // The type name of the configuration intent (see IntentRegistry).
    const QString& configurationIntent() const { return configurationIntent_; }
    const AnyProvider& provider() const { return *provider_; }
    bool isValid() const { return provider_ && content_ && !kind_.isEmpty(); }

    // The effective configuration for stored values: every parameter present, missing or
    // no longer valid ones at their defaults. {} gives the default configuration.
    QJsonObject configuration(const QJsonObject& stored = {}) const;

    // The content for one of this widget's entries; an entry of another widget draws nothing.
    view::View render(const AnyEntry& entry) const;

private:
    QString kind_;
    QString displayName_;
    QString description_;
    WidgetFamily family_ = WidgetFamily::small;
    bool marginsDisabled_ = false;
    QString configurationIntent_;
    std::shared_ptr<const AnyProvider> provider_;
    Content content_;
    Normaliser normaliser_;
};

template <intents::Intent Config, class P, class ContentFn>
requires TypedProvider<P, Config> WidgetDefinition AppIntentConfiguration( // NOLINT(readability-identifier-naming)
    const QString& kind, P provider, ContentFn content)
{
    using E = typename ProviderAdapter<Config, P>::EntryType;
    static_assert(std::is_invocable_r_v<view::View, ContentFn, const E&>,
                  "the content must draw the provider's entry type");
    // The host stores and edits the configuration by type name.
    intents::IntentRegistry::shared().registerConfiguration<Config>();
    return WidgetDefinition(
        kind, QString::fromUtf8(Config::typeName), std::make_shared<ProviderAdapter<Config, P>>(std::move(provider)),
        [content = std::move(content)](const AnyEntry& entry) -> view::View {
            const E* typed = entry.as<E>();
            if (!typed) return view::EmptyView();
            return content(*typed);
        },
        [](const QJsonObject& stored) { return intents::parameterValues(intents::configurationFrom<Config>(stored)); });
}

} // namespace velk::timeline
