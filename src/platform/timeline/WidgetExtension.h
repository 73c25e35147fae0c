#pragma once
// What a widget plug-in offers the host: its bundle. The plug-in registers its button
// intents before handing the bundle over, so the host can run them before anything is drawn.
#include "platform/timeline/WidgetBundle.h"

#include <QtPlugin>

namespace velk::timeline {

class WidgetExtension {
public:
    virtual ~WidgetExtension() = default;
    virtual WidgetBundle bundle() const = 0;
};

} // namespace velk::timeline

#define VelkWidgetExtension_iid "com.harrowcrest.velk.WidgetExtension/1.0"
Q_DECLARE_INTERFACE(velk::timeline::WidgetExtension, VelkWidgetExtension_iid)
