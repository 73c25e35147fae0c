#pragma once
// The timeline entry of every widget: its date, its data and the surface its configuration
// chose. The timeline layer keeps the surface type open; the widgets' own option list fills
// it in here.
#include "platform/timeline/Timeline.h"
#include "shared/widget/OptionEnums.h"

namespace velk {

template <class T>
using VelkEntry = timeline::Entry<T, SurfaceOption>;

} // namespace velk
