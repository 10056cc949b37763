#pragma once
// The figure every benchmark reports: the middle of its rounds.

#include <algorithm>
#include <vector>

namespace vyx::bench {

/// The median of `values` (the upper one of an even count); -1 when there are none.
inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

}  // namespace vyx::bench
