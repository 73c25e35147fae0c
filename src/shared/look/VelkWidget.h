#pragma once
// The one way a widget is declared: its kind, names, family, tone and widget URL in one place,
// then the configuration intent, the provider and the view that draws an entry with the root's
// context. The design size follows from the family; the root draws the background and scales
// the design to the real size.
//
//   WidgetDefinition WaterWidget::body() const
//   {
//       return velkWidget<SurfaceConfigIntent>(
//           {kinds::water, "Water", "Tap to log a glass.", WidgetFamily::small, Tone::light},
//           LocalProvider<CounterSnapshot>{...},
//           [](const VelkEntry<CounterSnapshot>& e, const WCtx& ctx) -> View { return WaterView{e.data, ctx}; });
//   }
#include "platform/timeline/WidgetDefinition.h"
#include "shared/look/WidgetRoot.h"

#include <QUrl>

namespace velk {

struct WidgetIdentity {
    const char* kind;
    const char* displayName; // UTF-8
    const char* description; // UTF-8
    timeline::WidgetFamily family;
    WidgetPalette::Tone tone;
    // Opened by a tap outside any button; none for widgets that open nothing.
    const char* url = nullptr;
};

template <class Config, class Provider, class ViewFn>
timeline::WidgetDefinition velkWidget(const WidgetIdentity& identity, Provider provider, ViewFn view)
{
    using Entry =
        decltype(std::declval<const Provider&>().placeholder(std::declval<const timeline::TimelineContext&>()));
    static_assert(std::is_invocable_r_v<view::View, ViewFn, const Entry&, const WCtx&>,
                  "the view must draw the provider's entry with the root's context");
    const QSizeF designSize = timeline::designSize(identity.family);
    const QUrl url = identity.url ? QUrl(QString::fromUtf8(identity.url)) : QUrl();
    return timeline::AppIntentConfiguration<Config>(
               QString::fromLatin1(identity.kind), std::move(provider),
               [tone = identity.tone, designSize, url, view = std::move(view)](const Entry& entry) -> view::View {
                   view::View root =
                       VelkWidgetRoot{tone, designSize, entry.surface,
                                      [entry, view](const WCtx& ctx) -> view::View { return view(entry, ctx); }};
                   return url.isEmpty() ? root : root.widgetURL(url);
               })
        .configurationDisplayName(QString::fromUtf8(identity.displayName))
        .description(QString::fromUtf8(identity.description))
        .supportedFamilies(identity.family)
        .contentMarginsDisabled();
}

} // namespace velk
