#include "widgets/extras/info/YearWidget.h"

#include "platform/core/Clock.h"
#include "shared/look/VelkWidget.h"
#include "shared/widget/LocalProvider.h"
#include "shared/widget/WidgetKinds.h"
#include "widgets/extras/info/YearProgressView.h"

namespace velk {

namespace {

YearInfo yearNow()
{
    return YearInfo::current(Clock::now());
}

} // namespace

timeline::WidgetDefinition YearWidget::body() const
{
    return velkWidget<SurfaceConfigIntent>(
        {kinds::year, "Year Progress", "The year as dots.", timeline::WidgetFamily::medium, WidgetPalette::Tone::dark},
        LocalProvider<YearInfo>{YearInfo{2026, 196, 365}, &yearNow, 360},
        [](const VelkEntry<YearInfo>& e, const WCtx& ctx) -> view::View {
            return YearProgressView{e.data, ctx};
        });
}

} // namespace velk
