#pragma once
#include "platform/core/Date.h"

namespace velk::view {

class LaidOutTree;

// True when a timer (text or progress) in the tree has not reached its end at `now`: what it
// shows still changes. One that has ended shows a fixed value and needs no more paints.
bool hasRunningTimer(const LaidOutTree& tree, Date now);

} // namespace velk::view
