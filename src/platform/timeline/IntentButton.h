#pragma once
// A button that runs an action: the view layer carries the action as data (type name and
// parameter values); the host runs it through the intent registry.
//
//   view::Button(timeline::buttonAction(AddStepsIntent{}), label)
#include "platform/intents/IntentRegistry.h"
#include "platform/view/View.h"

namespace velk::timeline {

template <intents::ActionIntent I>
view::ButtonAction buttonAction(const I& intent)
{
    // Registering here too means a host can run whatever a drawn widget offers to run.
    intents::IntentRegistry::shared().registerAction<I>();
    return view::ButtonAction{QString::fromUtf8(I::typeName), intents::parameterValues(intent)};
}

} // namespace velk::timeline
