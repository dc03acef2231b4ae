#include "run/incremental_capacity.h"

#include <QtGlobal>

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {
// A current at least this share of the largest one is on its plateau: constant current.
constexpr double Plateau = 0.95;
} // namespace

Curve incrementalCapacity(const std::vector<double> &volts, const std::vector<double> &amps,
                          const std::vector<double> &mah, double binVolts)
{
    const size_t n = std::min({ volts.size(), amps.size(), mah.size() });
    double plateau = 0;
    for (size_t i = 0; i < n; ++i)
        plateau = std::max(plateau, std::isnan(amps[i]) ? 0 : std::abs(amps[i]));
    std::vector<std::pair<qint64, double>> steps; // bin, capacity step
    std::optional<double> lastMah;
    qint64 low = std::numeric_limits<qint64>::max(), high = std::numeric_limits<qint64>::min();
    for (size_t i = 0; i < n; ++i) {
        if (std::isnan(volts[i]) || std::isnan(mah[i]))
            continue;
        // A hair above the grid line, so that readings exact to the hundredth fall in their bin.
        const auto bin = qint64(std::floor(volts[i] / binVolts + 1e-9));
        if (lastMah && std::abs(amps[i]) >= Plateau * plateau) {
            low = std::min(low, bin);
            high = std::max(high, bin);
            steps.emplace_back(bin, mah[i] - *lastMah);
        }
        lastMah = mah[i];
    }
    Curve c;
    if (steps.empty())
        return c;
    std::vector<double> sums(size_t(high - low + 1));
    for (const auto &[bin, step] : steps)
        sums[size_t(bin - low)] += step;
    for (size_t k = 0; k < sums.size(); ++k) {
        const double before = k > 0 ? sums[k - 1] : sums[k];
        const double after = k + 1 < sums.size() ? sums[k + 1] : sums[k];
        c.add((double(low + qint64(k)) + 0.5) * binVolts,
              (before + 2 * sums[k] + after) / 4 / binVolts);
    }
    return c;
}

std::optional<IcaPeak> mainPeak(const Curve &ica)
{
    std::optional<IcaPeak> top;
    for (std::size_t k = 1; k + 1 < ica.y.size(); ++k)
        if (ica.y[k] > ica.y[k - 1] && ica.y[k] >= ica.y[k + 1]
            && (!top || ica.y[k] > top->mahPerVolt))
            top = IcaPeak { ica.x[k], ica.y[k] };
    return top;
}
