#include "widgets/status/usage/UsageWidgets.h"

#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/status/usage/ScreenTimeViews.h"
#include "widgets/status/usage/UsageProvider.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

namespace {

template <class UsageView>
timeline::WidgetDefinition usageWidget(const char* kind, const char* name, const char* description, WidgetFamily family,
                                       Tone tone)
{
    return velkWidget<SurfaceConfigIntent>({kind, name, description, family, tone}, UsageProvider{},
                                           [](const UsageProvider::Entry& entry, const WCtx& ctx) -> view::View {
                                               return UsageView{entry.data, ctx};
                                           });
}

} // namespace

timeline::WidgetDefinition UsageTotalWidget::body() const
{
    return usageWidget<ScreenTimeTotal>(kinds::usageTotal, "Screen Time", "Today's total against your budget.",
                                        WidgetFamily::small, Tone::dark);
}

timeline::WidgetDefinition UsageElapsedWidget::body() const
{
    return usageWidget<ScreenTimeElapsed>(kinds::usageElapsed, "Elapsed", "Budget burned, as a dot grid.",
                                          WidgetFamily::small, Tone::light);
}

timeline::WidgetDefinition UsageAppsWidget::body() const
{
    return usageWidget<ScreenTimeApps>(kinds::usageApps, "Top Apps", "Where the time went.", WidgetFamily::medium,
                                       Tone::light);
}

timeline::WidgetDefinition UsageWeeklyWidget::body() const
{
    return usageWidget<ScreenTimeWeekly>(kinds::usageWeekly, "Weekly", "Seven days of screen time.",
                                         WidgetFamily::medium, Tone::dark);
}

} // namespace velk
