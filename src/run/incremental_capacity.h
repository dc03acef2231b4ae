#pragma once

#include <optional>
#include <vector>

// A curve's points by ascending (or equal) x.
struct Curve {
    std::vector<double> x, y;
    bool empty() const { return x.empty(); }
    void add(double px, double py)
    {
        x.push_back(px);
        y.push_back(py);
    }
};

// Incremental capacity: mAh per volt in bins of `binVolts` on a fixed voltage grid, each
// sample's capacity step counted in the bin of its voltage, smoothed 1-2-1. x is the bin's
// middle. `amps` and `mah` are the current and capacity at each of `volts`. Only steps at
// constant current count (at least 95 % of the largest current either way): at constant voltage
// the capacity piles up at one voltage.
inline constexpr double IcaBinVolts = 0.02;
Curve incrementalCapacity(const std::vector<double> &volts, const std::vector<double> &amps,
                          const std::vector<double> &mah, double binVolts = IcaBinVolts);

// The highest point of an incremental-capacity curve with a lower one either side: where the
// cells' plateau sits. None where the curve only rises or falls (its ends are cut, no peaks).
struct IcaPeak {
    double volts = 0, mahPerVolt = 0;
};
std::optional<IcaPeak> mainPeak(const Curve &ica);
