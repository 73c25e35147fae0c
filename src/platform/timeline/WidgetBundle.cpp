#include "platform/timeline/WidgetBundle.h"

#include "platform/core/Log.h"

namespace velk::timeline {

bool WidgetBundle::add(WidgetDefinition widget)
{
    if (!widget.isValid()) {
        qCWarning(lcWidgets) << "widget" << widget.kind() << "has no kind, provider or content; not offered";
        return false;
    }
    if (this->widget(widget.kind())) {
        qCWarning(lcWidgets) << "widget kind" << widget.kind() << "is offered twice; the second is dropped";
        return false;
    }
    widgets_.push_back(std::move(widget));
    return true;
}

const WidgetDefinition* WidgetBundle::widget(const QString& kind) const
{
    for (const auto& w : widgets_)
        if (w.kind() == kind) return &w;
    return nullptr;
}

QStringList WidgetBundle::kinds() const
{
    QStringList out;
    for (const auto& w : widgets_)
        out << w.kind();
    return out;
}

} // namespace velk::timeline
