#include "widgets/extras/activity/TimerViews.h"

#include "platform/core/Clock.h"
#include "platform/timeline/IntentButton.h"
#include "shared/data/activity/ButtonIntents.h"
#include "shared/look/Captions.h"
#include "widgets/extras/activity/ActivityLook.h"

#include <algorithm>
#include <cmath>

namespace velk {

using namespace view;
using namespace activity;

// ---- FocusView --------------------------------------------------------------------------------

double FocusView::progressFraction(const FocusSession& state, Date now)
{
    if (!isRunning(state, now)) return 1;
    const double total = double(state.minutes) * 60.0;
    if (!(total > 0)) return 1;
    return unitFraction(state.endDate->secondsSince(now) / total);
}

View FocusView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    // One reading serves the running test, the arc and the start of the countdown.
    const Date now = Clock::now();
    const bool running = isRunning(state, now);

    const View time = running ? TimerText(now, *state.endDate, true, false)
                                    .font(ctx.numerals(20, Weight::black).monospacedDigits())
                                    .foregroundColor(pal.ink)
                                    .multilineTextAlignment(TextAlignment::center)
                                    .lineLimit(1)
                                    .minimumScaleFactor(0.5)
                              : numeralFit(Text(QString::number(nonNegative(state.minutes)) + QStringLiteral(":00"))
                                               .font(ctx.numerals(20, Weight::black))
                                               .foregroundColor(pal.ink));
    const View status =
        HStack(VAlign::center, 4 * u,
               {Circle().fill(running ? pal.accent : pal.inkFaint).frame(5 * u, 5 * u),
                Caption{running ? QStringLiteral("Live") : QStringLiteral("Start"), 8, 0, pal.inkDim, ctx}});
    const View dial =
        ZStack(Alignment::center,
               {Circle().stroke(pal.track, 13 * u),
                Circle().trim(0, progressFraction(state, now)).stroke(pal.fill, 13 * u).rotationEffect(-90),
                VStack(HAlign::center, 2 * u, {time, status}).frame(74 * u, std::nullopt)})
            .frame(92 * u, 92 * u)
            .frame(Frame::maxInfinity())
            .padding(Edge::top, 12 * u);

    const View label =
        ZStack(
            Alignment::topLeading,
            {View(Caption{QStringLiteral("Focus"), 9, 0.16, pal.inkDim, ctx}).padding(EdgeInsets{20 * u, 22 * u, 0, 0}),
             dial})
            .frame(Frame::maxInfinity());
    return Button(timeline::buttonAction(FocusToggleIntent{}), label);
}

// ---- StopwatchView ----------------------------------------------------------------------------

QString StopwatchView::lapLabel(const std::vector<double>& laps)
{
    if (laps.empty()) return {};
    const double d = laps.size() > 1 ? laps.back() - laps[laps.size() - 2] : laps.back();
    // Whole tenths first, so a lap that rounds up to the next minute carries into it.
    const qint64 tenths = std::isfinite(d) && d > 0 ? std::llround(std::min(d, 1e15) * 10) : 0;
    return QString::asprintf("%02lld:%04.1f", static_cast<long long>(tenths / 600), double(tenths % 600) / 10.0);
}

View StopwatchView::body() const
{
    const qreal u = ctx.u;
    const WidgetPalette& pal = ctx.pal;
    const bool running = state.isRunning();

    const Font numerals = ctx.numerals(38, Weight::black);
    // Counting up from the start with no end in sight: a century is as far as anyone looks.
    const View time =
        running ? TimerText(*state.startDate, state.startDate->addingSeconds(100.0 * 365 * 86400), false, false)
                      .font(numerals.monospacedDigits())
                      .foregroundColor(pal.ink)
                      .minimumScaleFactor(0.6)
                : numeralFit(Text(QStringLiteral("00:00")).font(numerals).foregroundColor(pal.ink));

    View bottom;
    if (state.laps.empty()) {
        bottom = HStack(
            VAlign::center, std::nullopt,
            {Caption{running ? QStringLiteral("Tap to lap") : QStringLiteral("Tap to start"), 9, 0, pal.inkDim, ctx}});
    } else {
        // Nested in the face's button: a tap here resets and does not also lap.
        const View reset =
            Button(timeline::buttonAction(StopwatchResetIntent{}),
                   Caption{QStringLiteral("Lap %1 \u00B7 reset").arg(state.laps.size()), 9, 0, pal.inkDim, ctx});
        bottom =
            HStack(VAlign::center, std::nullopt, {reset, Spacer(), Caption{lapLabel(state.laps), 9, 0, pal.ink, ctx}});
    }

    const View label = paddedFace(
        VStack(HAlign::leading, 0,
               {DotCaption{QStringLiteral("Stopwatch"), 9, 0.16, running ? pal.accent : pal.inkFaint, pal.inkDim, ctx},
                time.padding(Edge::top, 12 * u), Spacer(0), bottom}),
        ctx);
    return Button(timeline::buttonAction(StopwatchToggleIntent{}), label);
}

} // namespace velk
