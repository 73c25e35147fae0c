#pragma once
// A fingerprint of what a laid-out tree shows, so a host can tell whether a new render would
// paint anything different without keeping or serialising the previous tree.
#include <QtGlobal>

namespace velk::view {

class LaidOutTree;
struct LaidOutNode;

// Covers what inspect() reports: kinds, frames, texts as shown now (timers read the clock),
// fonts, colours, modifiers and flags, in tree order. Equal trees give equal hashes; a hash is
// only meaningful within one run of the program.
quint64 contentHash(const LaidOutTree& tree);

} // namespace velk::view
