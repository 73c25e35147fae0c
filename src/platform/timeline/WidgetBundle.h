#pragma once
// The widgets an extension offers, in the order the gallery lists them. Kinds are unique:
// a placed widget is found again by its kind alone.
#include "platform/timeline/WidgetDefinition.h"

#include <vector>

namespace velk::timeline {

class WidgetBundle {
public:
    // Appends a widget; a widget without kind, provider or content, or whose kind is already
    // offered, is refused (logged) so no placed widget can ever resolve to the wrong one.
    bool add(WidgetDefinition widget);

    const std::vector<WidgetDefinition>& widgets() const { return widgets_; }
    const WidgetDefinition* widget(const QString& kind) const;
    QStringList kinds() const;

private:
    std::vector<WidgetDefinition> widgets_;
};

} // namespace velk::timeline
