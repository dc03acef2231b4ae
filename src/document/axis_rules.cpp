#include "document/axis_rules.h"

#include <algorithm>

namespace AxisRules {

Chart::Range rescaled(int series, std::optional<Chart::Range> extremes)
{
    const Chart::Range e = extremes.value_or(Chart::Range {});
    switch (series) {
    case Chart::Voltage:
        return { std::max(e.min - 0.2, 0.0), (e.max > 0 || e.max < -1.0) ? e.max + 0.3 : 0 };
    case Chart::Current:
        return { 0, (e.max > 0 || e.max < -0.3) ? e.max + 0.2 : 0 };
    case Chart::Capacity:
        return { 0, e.max * 1.2 + 5.0 };
    default:
        return { 0, 100 };
    }
}

double grownTimeMax(double maxDays, double newestDays)
{
    constexpr double Day = 86400.0;
    return (maxDays - newestDays) * Day < 60 ? maxDays + 120 / Day : maxDays;
}

} // namespace AxisRules
