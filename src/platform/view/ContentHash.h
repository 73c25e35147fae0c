#pragma once
// A fingerprint of what a laid-out tree shows, so a host can tell whether a new render would
// paint anything different without keeping or serialising the previous tree.
#include <QtGlobal>
#include <optional>
#include <utility>
#include <vector>

namespace velk::view {

class LaidOutTree;
struct LaidOutNode;

// Covers what inspect() reports: kinds, frames, texts as shown now (timers read the clock),
// fonts, colours, modifiers and flags, in tree order. Equal trees give equal hashes; a hash is
// only meaningful within one run of the program.
quint64 contentHash(const LaidOutTree& tree);

// The paint signatures (see paintSignature) of the drawing groups in a subtree, by node.
using GroupSignatures = std::vector<std::pair<const LaidOutNode*, quint64>>;

// paintSignature of `node` that also notes, in `groups`, the signature of each drawing group it
// passes on the way (those met before a part painted through a closure stops it), so painting
// the groups afterwards need not walk them again. Its value differs from paintSignature's.
std::optional<quint64> paintSignature(const LaidOutNode& node, GroupSignatures& groups);

} // namespace velk::view
