#pragma once
// The configuration of every widget whose only option is its background.
#include "platform/intents/Intent.h"
#include "shared/widget/OptionEnums.h"

namespace velk {

struct SurfaceConfigIntent {
    static constexpr const char* typeName = "SurfaceConfigIntent";
    static constexpr const char* title = "Widget Options";

    SurfaceOption surface = SurfaceOption::followApp;

    static auto parameters()
    {
        return std::make_tuple(intents::parameter("surface", "Background", &SurfaceConfigIntent::surface));
    }

    friend bool operator==(const SurfaceConfigIntent&, const SurfaceConfigIntent&) = default;
};

} // namespace velk
