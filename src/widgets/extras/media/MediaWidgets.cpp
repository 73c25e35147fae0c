#include "widgets/extras/media/MediaWidgets.h"

#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/extras/media/MediaViews.h"
#include "widgets/extras/media/NowPlayingProvider.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;
using Entry = NowPlayingProvider::Entry;

// The descriptions name the player the way a Linux desktop has it: whichever media player the
// user runs, reached over MPRIS.
timeline::WidgetDefinition NowPlayingWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::nowPlaying, "Now Playing", "What's playing in your media player.", WidgetFamily::medium, Tone::dark},
        NowPlayingProvider{}, [](const Entry& e, const WCtx& ctx) -> view::View {
            return NowPlayingView{e.data, ctx};
        });
}

timeline::WidgetDefinition RemoteWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::remote, "Remote", "Play, pause and skip in your media player.", WidgetFamily::small, Tone::dark},
        NowPlayingProvider{}, [](const Entry& e, const WCtx& ctx) -> view::View {
            return RemoteView{e.data && e.data->isPlaying, ctx};
        });
}

} // namespace velk
