// `--config` documents: the JSON object read as the configuration of every widget of the
// bundle, both as checked for the command line and as the widget reads stored values. The
// effective configuration must be a fixed point: reading it again changes nothing.
#include "FuzzSupport.h"
#include "extension/VelkWidgetsBundle.h"
#include "host/WidgetCommands.h"

#include <QJsonDocument>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace velk;
    fuzz::setUp();
    static const timeline::WidgetBundle bundle = VelkWidgetsBundle{}.body();
    const QJsonDocument doc = QJsonDocument::fromJson(fuzz::bytes(data, size));
    if (!doc.isObject()) return 0;
    const QJsonObject given = doc.object();
    for (const timeline::WidgetDefinition& widget : bundle.widgets()) {
        QString error;
        host::checkedConfiguration(widget, given, &error);
        const QJsonObject effective = widget.configuration(given);
        if (widget.configuration(effective) != effective) std::abort();
    }
    return 0;
}
