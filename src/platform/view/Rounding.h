#pragma once
// Rounding half away from zero as std::llround does, but inline: content hashes round a few
// values per node, and the library call costs more than the rest of a node's hashing.
#include <QtGlobal>
#include <cmath>

namespace velk::view {

inline qint64 roundAway(double v)
{
    // Below 2^52 a double's integer part and the fraction left over are both exact.
    if (!(std::abs(v) < 4503599627370496.0)) return std::llround(v);
    const qint64 whole = qint64(v);
    const double fraction = v - double(whole);
    return whole + qint64(fraction >= 0.5) - qint64(fraction <= -0.5);
}

} // namespace velk::view
