// The plug-in's entry: the host loads this module and asks it for the bundle. Registering the
// button actions first lets the host run a tap before anything has been drawn. The host exports
// its own copies of the shared services (clock, intent registry), so the registration lands in
// the host's registry.
#include "extension/VelkWidgetsBundle.h"
#include "platform/timeline/WidgetExtension.h"

#include <QObject>

namespace velk {

class VelkWidgetsPlugin final : public QObject, public timeline::WidgetExtension {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID VelkWidgetExtension_iid)
    Q_INTERFACES(velk::timeline::WidgetExtension)

public:
    timeline::WidgetBundle bundle() const override
    {
        VelkWidgetsBundle::registerIntents(intents::IntentRegistry::shared());
        return VelkWidgetsBundle{}.body();
    }
};

} // namespace velk

#include "VelkWidgetsPlugin.moc"
