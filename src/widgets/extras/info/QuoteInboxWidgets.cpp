#include "widgets/extras/info/QuoteInboxWidgets.h"

#include "platform/core/Clock.h"
#include "shared/data/media/MediaBridge.h"
#include "shared/data/sky/QuoteProvider.h"
#include "shared/look/VelkWidget.h"
#include "shared/widget/LocalProvider.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/extras/info/QuoteInboxViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

timeline::WidgetDefinition QuoteWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::quote, "Daily Quote", "One good line a day.", WidgetFamily::medium, Tone::light},
        LocalProvider<QuoteItem>{QuoteItem{QStringLiteral("Simplicity is the ultimate sophistication."),
                                           QStringLiteral("Leonardo da Vinci")},
                                 [] { return QuoteProvider::today(Clock::now()); }, 360},
        [](const VelkEntry<QuoteItem>& e, const WCtx& ctx) -> view::View {
            return QuoteView{e.data, ctx};
        });
}

timeline::WidgetDefinition InboxWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::inbox, "Inbox", "Unread mail at a glance.", WidgetFamily::small, Tone::dark},
        LocalProvider<std::optional<InboxSnapshot>>{&InboxSnapshot::sample, [] { return MediaBridge::inbox(); }, 15},
        [](const VelkEntry<std::optional<InboxSnapshot>>& e, const WCtx& ctx) -> view::View {
            return InboxView{e.data, ctx};
        });
}

} // namespace velk
