#include "widgets/extras/activity/ActivityWidgets.h"

#include "platform/core/Calendar.h"
#include "platform/core/Clock.h"
#include "shared/data/activity/ButtonIntents.h"
#include "shared/data/activity/ExtrasStore.h"
#include "shared/look/VelkWidget.h"
#include "shared/widget/LocalProvider.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/extras/activity/Countdown.h"
#include "widgets/extras/activity/CounterViews.h"
#include "widgets/extras/activity/HabitsView.h"
#include "widgets/extras/activity/TimerViews.h"

namespace velk {

using timeline::WidgetDefinition;
using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;
using view::View;

// ---- focus ------------------------------------------------------------------------------------

FocusSession FocusWidget::Provider::stored()
{
    return ExtrasStore::read<FocusSession>(FocusToggleIntent::kKey)
        .value_or(FocusSession{std::nullopt, FocusToggleIntent::kDefaultMinutes});
}

FocusWidget::Provider::Entry FocusWidget::Provider::placeholder(const timeline::TimelineContext&) const
{
    return Entry{Clock::now(), FocusSession::sample(), SurfaceOption::followApp};
}

FocusWidget::Provider::Entry FocusWidget::Provider::snapshot(const SurfaceConfigIntent& configuration,
                                                             const timeline::TimelineContext& context) const
{
    FocusSession data = context.isPreview ? FocusSession::sample() : stored();
    return Entry{Clock::now(), std::move(data), configuration.surface};
}

timeline::Timeline<FocusWidget::Provider::Entry>
FocusWidget::Provider::timeline(const SurfaceConfigIntent& configuration, const timeline::TimelineContext&) const
{
    FocusSession session = stored();
    const Date now = Clock::now();
    const Date reload =
        FocusView::isRunning(session, now)
            ? *session.endDate
            : Calendar::current().date(CalendarComponent::hour, 1, now).value_or(now.addingSeconds(3600));
    return {{Entry{now, std::move(session), configuration.surface}}, timeline::ReloadPolicy::after(reload)};
}

WidgetDefinition FocusWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::focus, "Focus", "A tap-to-start focus session.", WidgetFamily::small, Tone::dark}, Provider{},
        [](const Provider::Entry& e, const WCtx& ctx) -> View {
            return FocusView{e.data, ctx};
        });
}

// ---- stopwatch --------------------------------------------------------------------------------

StopwatchState StopwatchWidget::stored()
{
    return ExtrasStore::read<StopwatchState>(StopwatchToggleIntent::kKey).value_or(StopwatchState{});
}

WidgetDefinition StopwatchWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::stopwatch, "Stopwatch", "Tap to start, tap to lap.", WidgetFamily::small, Tone::light},
        LocalProvider<StopwatchState>{&StopwatchState::sample, &StopwatchWidget::stored, 60},
        [](const VelkEntry<StopwatchState>& e, const WCtx& ctx) -> View {
            return StopwatchView{e.data, ctx};
        });
}

// ---- habits -----------------------------------------------------------------------------------

WidgetDefinition HabitsWidget::body() const
{
    using Rows = std::vector<HabitWeekRow>;
    return velkWidget<SurfaceConfigIntent>(
        {kinds::habits, "Habits", "This week's check-ins; tap a habit for today.", WidgetFamily::medium, Tone::light},
        LocalProvider<Rows>{HabitWeekRow::samples(), &ExtrasStore::habitWeek, 60},
        [](const VelkEntry<Rows>& e, const WCtx& ctx) -> View {
            return HabitsView{e.data, ctx};
        });
}

// ---- countdown --------------------------------------------------------------------------------

WidgetDefinition CountdownWidget::body() const
{
    return velkWidget<CountdownConfigIntent>(
        {kinds::countdown, "Countdown", "Days until the thing.", WidgetFamily::small, Tone::dark},
        CountdownTimelineProvider{}, [](const CountdownTimelineProvider::Entry& e, const WCtx& ctx) -> View {
            return CountdownView{e.data.name, e.data.target, ctx};
        });
}

// ---- steps and water --------------------------------------------------------------------------

namespace {

// Today's count; the goal is read first.
CounterSnapshot stepsToday()
{
    const qint64 goal = ExtrasStore::stepsGoal();
    return ExtrasStore::counter(AddStepsIntent::kCounter, goal);
}

CounterSnapshot waterToday()
{
    const qint64 goal = ExtrasStore::waterGoal();
    return ExtrasStore::counter(AddWaterIntent::kCounter, goal);
}

} // namespace

WidgetDefinition StepsWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::steps, "Steps", "Today's steps \u2014 tap to log 1,000.", WidgetFamily::small, Tone::light},
        LocalProvider<CounterSnapshot>{CounterSnapshot{8214, 10000}, &stepsToday, 30},
        [](const VelkEntry<CounterSnapshot>& e, const WCtx& ctx) -> View {
            return StepsView{e.data, ctx};
        });
}

WidgetDefinition WaterWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::water, "Water", "Tap to log a glass.", WidgetFamily::small, Tone::light},
        LocalProvider<CounterSnapshot>{CounterSnapshot{5, 8}, &waterToday, 30},
        [](const VelkEntry<CounterSnapshot>& e, const WCtx& ctx) -> View {
            return WaterView{e.data, ctx};
        });
}

} // namespace velk
