#include "growth_fit.h"

#include <cmath>
#include <limits>

namespace bench {

double GrowthExponent(const std::vector<tagCostPoint>& points) {
    double sumX = 0;
    double sumY = 0;
    double sumXX = 0;
    double sumXY = 0;
    int used = 0;
    for (const tagCostPoint& point : points) {
        if (point.n <= 0 || point.cost <= 0) {
            continue;
        }
        const double x = std::log(point.n);
        const double y = std::log(point.cost);
        sumX += x;
        sumY += y;
        sumXX += x * x;
        sumXY += x * y;
        ++used;
    }
    const double spread = used * sumXX - sumX * sumX;
    if (used < 2 || spread == 0) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return (used * sumXY - sumX * sumY) / spread;
}

} // namespace bench
