#pragma once
// Every widget the suite offers, in the order the gallery shows them, and the actions their
// buttons run. The bundle is a value with no state: each body() builds the list afresh, and
// every widget reads its data per timeline request, never at start-up.
#include "platform/intents/IntentRegistry.h"
#include "platform/timeline/WidgetBundle.h"

namespace velk {

struct VelkWidgetsBundle {
    timeline::WidgetBundle body() const;

    // Makes every button action of the widgets runnable by type name through `registry`.
    static void registerIntents(intents::IntentRegistry& registry);
};

} // namespace velk
