#include "battery_pack.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <numeric>
#include <span>

namespace {

struct Point {
    double charge;
    double volts;
};
using Curve = std::span<const Point>;

// Cell voltage over state of charge, straight between the points, flat beyond the ends.
double interpolate(Curve curve, double x)
{
    const auto hi
        = std::find_if(curve.begin(), curve.end(), [x](Point p) { return p.charge >= x; });
    if (hi == curve.begin())
        return hi->volts;
    if (hi == curve.end())
        return std::prev(hi)->volts;
    const auto lo = std::prev(hi);
    return lo->volts + (hi->volts - lo->volts) * (x - lo->charge) / (hi->charge - lo->charge);
}

constexpr std::array<Point, 10> liIon { { { 0.0, 3.00 },
                                          { 0.05, 3.30 },
                                          { 0.10, 3.45 },
                                          { 0.20, 3.60 },
                                          { 0.40, 3.72 },
                                          { 0.60, 3.85 },
                                          { 0.80, 4.00 },
                                          { 0.90, 4.08 },
                                          { 1.0, 4.20 },
                                          { 1.05, 4.35 } } };

// A NiMH cell on charge climbs to a peak just past full and falls again as it
// overcharges and warms: the "-dV" a charger ends on.
constexpr std::array<Point, 9> niMhCharging { { { 0.0, 1.30 },
                                                { 0.05, 1.38 },
                                                { 0.50, 1.40 },
                                                { 0.85, 1.43 },
                                                { 0.95, 1.47 },
                                                { 1.0, 1.49 },
                                                { 1.03, 1.50 },
                                                { 1.06, 1.49 },
                                                { 1.10, 1.47 } } };
constexpr std::array<Point, 7> niMhResting { { { 0.0, 0.90 },
                                               { 0.05, 1.03 },
                                               { 0.10, 1.10 },
                                               { 0.20, 1.15 },
                                               { 0.50, 1.20 },
                                               { 0.90, 1.25 },
                                               { 1.0, 1.30 } } };

} // namespace

BatteryPack::BatteryPack(Chemistry chemistry, int cells, double capacityMah, double charge,
                         std::mt19937 &random)
    : chemistry_(chemistry), capacityMah_(capacityMah)
{
    std::uniform_real_distribution<double> spread(-1, 1);
    const double resistance = chemistry == Chemistry::LiIon ? 0.045 : 0.015;
    for (int i = 0; i < cells; ++i)
        cells_.push_back({ capacityMah * (1 + 0.03 * spread(random)),
                           std::clamp(charge + 0.02 * spread(random), 0.0, 1.0),
                           resistance * (1 + 0.2 * spread(random)) });
}

double BatteryPack::restVolts(const Cell &cell, double current) const
{
    if (chemistry_ == Chemistry::LiIon)
        return interpolate(liIon, cell.charge);
    return current > 0 ? interpolate(niMhCharging, cell.charge)
                       : interpolate(niMhResting, cell.charge);
}

std::vector<double> BatteryPack::cellVolts(double current) const
{
    std::vector<double> volts;
    for (const Cell &cell : cells_)
        volts.push_back(restVolts(cell, current) + current * cell.resistance);
    return volts;
}

double BatteryPack::packVolts(double current) const
{
    const std::vector<double> volts = cellVolts(current);
    return std::accumulate(volts.begin(), volts.end(), 0.0);
}

double BatteryPack::currentAt(double cellVolts) const
{
    double current = std::numeric_limits<double>::max();
    for (const Cell &cell : cells_)
        current = std::min(current, (cellVolts - restVolts(cell, 1)) / cell.resistance);
    return current;
}

double BatteryPack::charge() const
{
    double sum = 0;
    for (const Cell &cell : cells_)
        sum += cell.charge;
    return sum / static_cast<double>(cells_.size());
}

void BatteryPack::pass(double current, double seconds)
{
    const double mah = current * 1000 * seconds / 3600;
    for (Cell &cell : cells_)
        cell.charge = std::max(0.0, cell.charge + mah / cell.capacityMah);
}
