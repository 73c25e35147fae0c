#include "widgets/extras/media/MediaViews.h"

#include "platform/timeline/IntentButton.h"
#include "shared/data/activity/ButtonIntents.h"
#include "shared/look/Captions.h"
#include "widgets/extras/activity/ActivityLook.h"
#include "widgets/extras/media/NowPlayingProvider.h"

#include <algorithm>

namespace velk {

using namespace view;
using activity::shareOf;
using activity::textFont;

// ---- MediaButton ------------------------------------------------------------------------------

QString MediaButton::symbolName(const QString& command, bool isPlaying)
{
    if (command == QLatin1String("previous")) return QStringLiteral("backward.fill");
    if (command == QLatin1String("next")) return QStringLiteral("forward.fill");
    return isPlaying ? QStringLiteral("pause.fill") : QStringLiteral("play.fill");
}

View MediaButton::body() const
{
    const qreal u = ctx.u;
    return Button(timeline::buttonAction(MediaCommandIntent(command)),
                  ZStack(Alignment::center, {Circle().strokeBorder(ctx.pal.inkFaint, 1.5 * u),
                                             Image(symbolName(command, isPlaying))
                                                 .font(Font::system(size * 0.32 * u, Weight::bold))
                                                 .foregroundColor(ctx.pal.ink)})
                      .frame(size * u, size * u));
}

// ---- NowPlayingView ---------------------------------------------------------------------------

QString NowPlayingView::minutesAndSeconds(qint64 seconds)
{
    const qint64 s = std::max<qint64>(seconds, 0);
    return QStringLiteral("%1:%2").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString NowPlayingView::subtitle(const std::optional<NowPlayingSnapshot>& data)
{
    if (!data) return QStringLiteral("Play something in your player");
    const QString sep = QStringLiteral(" \u00B7 ");
    if (data->positionSeconds > 0)
        return data->artist + sep + minutesAndSeconds(data->positionSeconds) + QStringLiteral(" / ") +
               minutesAndSeconds(data->durationSeconds);
    return data->artist + sep + minutesAndSeconds(data->durationSeconds);
}

double NowPlayingView::playedFraction(const std::optional<NowPlayingSnapshot>& data)
{
    if (!data) return 0;
    return shareOf(double(data->positionSeconds), double(data->durationSeconds));
}

View NowPlayingView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const bool playing = data && data->isPlaying;

    Views bars;
    for (qreal h : {7.0, 13.0, 5.0, 10.0})
        bars.push_back(Rectangle().fill(pal.ink).frame(4 * u, h * u));
    View levels = HStack(VAlign::bottom, 3 * u, std::move(bars)).frame(std::nullopt, 14 * u, Alignment::bottom);
    // Dimmed only for a paused track: with nothing stored there is nothing to pause.
    if (data && !data->isPlaying) levels = levels.opacity(0.35);
    const View header = HStack(VAlign::center, std::nullopt,
                               {Caption{QStringLiteral("Now playing"), 10, 0.16, pal.inkDim, ctx}, Spacer(), levels});

    const View title = Text(data ? data->title : QStringLiteral("Nothing playing"))
                           .font(textFont(ctx, 14))
                           .foregroundColor(data ? pal.ink : pal.inkDim)
                           .lineLimit(1);
    const View buttons = HStack(VAlign::center, 10 * u,
                                {MediaButton{QStringLiteral("previous"), false, 26, ctx},
                                 MediaButton{QStringLiteral("playpause"), playing, 32, ctx},
                                 MediaButton{QStringLiteral("next"), false, 26, ctx}});
    const View track =
        HStack(VAlign::center, std::nullopt,
               {VStack(HAlign::leading, 3 * u,
                       // A long artist, or the position with the length, may
                       // outgrow the room beside the buttons: set a little
                       // smaller rather than lose the length.
                       {title, Caption{subtitle(data), 10, 0, pal.inkDim, ctx}.body().minimumScaleFactor(0.85)}),
                Spacer(10 * u), buttons})
            .padding(Edge::top, 10 * u);

    View progress;
    if (data && NowPlayingProvider::isLive(*data)) {
        // Runs on its own from the track's start, so it moves between entries.
        const Date start = data->updated.addingSeconds(-double(data->positionSeconds));
        progress =
            TimerProgress(start, start.addingSeconds(double(data->durationSeconds)), false).foregroundColor(pal.accent);
    } else {
        const double played = playedFraction(data);
        progress = GeometryReader([played, u, pal](QSizeF size) {
            return ZStack(Alignment::leading, {Capsule(CornerStyle::continuous).fill(pal.track),
                                               Capsule(CornerStyle::continuous)
                                                   .fill(pal.accent)
                                                   .frame(std::max(4 * u, size.width() * played), std::nullopt)});
        });
    }

    return activity::paddedFace(
        VStack(HAlign::leading, 0, {header, track, Spacer(0), progress.frame(std::nullopt, 4 * u)}), ctx, 26);
}

// ---- RemoteView -------------------------------------------------------------------------------

View RemoteView::body() const
{
    const qreal u = ctx.u;
    // The three buttons and their gaps are wider than the room between the paddings: laid over
    // the remaining space rather than in the stack, they reach a little into the padding on
    // both sides instead of widening the stack, which would move the caption off its padding.
    const View buttons = HStack(VAlign::center, 14 * u,
                                {MediaButton{QStringLiteral("previous"), false, 30, ctx},
                                 MediaButton{QStringLiteral("playpause"), isPlaying, 38, ctx},
                                 MediaButton{QStringLiteral("next"), false, 30, ctx}})
                             .fixedSize();
    return activity::paddedFace(VStack(HAlign::leading, 0,
                                       {Caption{QStringLiteral("Remote"), 9, 0.16, ctx.pal.inkDim, ctx},
                                        ColorView(Color::clear()).frame(Frame::maxInfinity()).overlay(buttons)}),
                                ctx);
}

} // namespace velk
