// The growth exponent of a cost: the least-squares slope of log(cost) over log(n).
#pragma once

#include <vector>

namespace bench {

struct tagCostPoint {
    double n;
    double cost;
};

// NaN when fewer than two points have a positive cost.
double GrowthExponent(const std::vector<tagCostPoint>& points);

} // namespace bench
