#include "widgets/status/battery/BatteryWidgets.h"

#include "shared/data/system/PowerSource.h"
#include "shared/look/VelkWidget.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/status/battery/BatteryViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

BatteryProvider::BatteryProvider()
    : LocalProvider{&PowerSnapshot::sample, [] { return PowerSource::snapshot(); }, kReloadMinutes}
{}

namespace {

// Every battery widget draws the whole snapshot with its own view and opens nothing.
template <class BatteryView>
timeline::WidgetDefinition batteryWidget(const char* kind, const char* name, const char* description,
                                         WidgetFamily family, Tone tone)
{
    return velkWidget<SurfaceConfigIntent>({kind, name, description, family, tone}, BatteryProvider{},
                                           [](const BatteryProvider::Entry& entry, const WCtx& ctx) -> view::View {
                                               return BatteryView{entry.data, ctx};
                                           });
}

} // namespace

timeline::WidgetDefinition BatteryRingWidget::body() const
{
    return batteryWidget<BatteryRing>(kinds::batteryRing, "Battery Ring", "Charge as a ring.", WidgetFamily::small,
                                      Tone::light);
}

timeline::WidgetDefinition BatteryPercentWidget::body() const
{
    return batteryWidget<BatteryPercent>(kinds::batteryPercent, "Battery", "Charge with time remaining.",
                                         WidgetFamily::small, Tone::dark);
}

timeline::WidgetDefinition BatteryDevicesWidget::body() const
{
    return batteryWidget<BatteryDevices>(kinds::batteryDevices, "Devices", "Computer, keyboard, mouse and more.",
                                         WidgetFamily::medium, Tone::light);
}

timeline::WidgetDefinition BatteryLogWidget::body() const
{
    return batteryWidget<BatteryLog>(kinds::batteryLog, "Power Log", "Today's charge story.", WidgetFamily::medium,
                                     Tone::dark);
}

} // namespace velk
