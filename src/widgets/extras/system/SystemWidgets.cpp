#include "widgets/extras/system/SystemWidgets.h"

#include "shared/data/system/SystemStats.h"
#include "shared/look/VelkWidget.h"
#include "shared/widget/LocalProvider.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/extras/system/SystemViews.h"

namespace velk {

using timeline::WidgetFamily;
using Tone = WidgetPalette::Tone;

namespace {
const StorageSnapshot kStorageSample{721, 1000};
}

SystemSnapshot SystemWidget::live()
{
    // In this order: the processor sample is the one with a stored side effect.
    const qint64 cpu = SystemStats::cpuPercent().value_or(0);
    const qint64 memory = SystemStats::memoryPercent().value_or(0);
    return SystemSnapshot{cpu, memory, SystemStats::gpuPercent()};
}

timeline::WidgetDefinition SystemWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::system, "System", "CPU, memory and GPU load.", WidgetFamily::medium, Tone::dark},
        LocalProvider<SystemSnapshot>{SystemSnapshot{34, 61, 88}, &SystemWidget::live, 15},
        [](const VelkEntry<SystemSnapshot>& e, const WCtx& ctx) -> view::View {
            return SystemView{e.data, ctx};
        });
}

timeline::WidgetDefinition NetworkWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::network, "Network", "Average throughput since last refresh.", WidgetFamily::small, Tone::light},
        LocalProvider<std::optional<NetworkSnapshot>>{NetworkSnapshot{482.0, 36.0},
                                                      [] { return SystemStats::networkSnapshot(); }, 15},
        [](const VelkEntry<std::optional<NetworkSnapshot>>& e, const WCtx& ctx) -> view::View {
            return NetworkView{e.data, ctx};
        });
}

StorageSnapshot StorageWidget::live()
{
    return SystemStats::storageSnapshot().value_or(kStorageSample);
}

timeline::WidgetDefinition StorageWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::storage, "Storage", "Disk used, as a ring.", WidgetFamily::small, Tone::dark},
        LocalProvider<StorageSnapshot>{kStorageSample, &StorageWidget::live, 360},
        [](const VelkEntry<StorageSnapshot>& e, const WCtx& ctx) -> view::View {
            return StorageView{e.data, ctx};
        });
}

} // namespace velk
