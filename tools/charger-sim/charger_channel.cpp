#include "charger_channel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int restSeconds = 30;
constexpr double ambient = 24;
constexpr double liIonFull = 4.20; // V per cell: constant current ends, constant voltage holds
constexpr double niMhDeltaV = 0.005; // V per cell below the peak that ends a NiMH charge

double cutoffVolts(BatteryPack::Chemistry chemistry)
{
    return chemistry == BatteryPack::Chemistry::LiIon ? 3.50 : 1.00;
}

} // namespace

ChargerChannel::ChargerChannel(std::vector<Program> programs, quint32 seed)
    : random_(seed), programs_(std::move(programs)), extTemp_(ambient), intTemp_(ambient + 4)
{
    begin(0);
}

void ChargerChannel::begin(std::size_t program)
{
    program_ = program;
    const Program &p = programs_[program];
    // The same pack stays on the charger from one program to the next (charged, then
    // discharged); another kind of pack is a fresh one.
    if (!pack_ || pack_->chemistry() != p.chemistry || pack_->cellCount() != p.cells
        || pack_->capacityMah() != p.capacityMah) {
        pack_.emplace(p.chemistry, p.cells, p.capacityMah, p.startCharge, random_);
        extTemp_ = ambient;
    }
    restLeft_ = 0;
    capacity_ = 0;
    peakVolts_ = 0;
}

void ChargerChannel::restart()
{
    begin(restLeft_ > 0 ? (program_ + 1) % programs_.size() : program_);
}

std::optional<double> ChargerChannel::nextCurrent()
{
    const Program &p = programs_[program_];
    if (p.mode == ChannelSample::Mode::Discharge) {
        const std::vector<double> cells = pack_->cellVolts(-p.current);
        if (*std::min_element(cells.begin(), cells.end()) < cutoffVolts(p.chemistry))
            return std::nullopt;
        return -p.current;
    }
    if (p.chemistry == BatteryPack::Chemistry::LiIon) {
        // Constant current until the pack reaches full voltage, then constant voltage with a
        // current that decays; a tenth of the set current means full.
        const double current = std::min(p.current, pack_->currentAt(liIonFull));
        if (current < p.current / 10)
            return std::nullopt;
        return current;
    }
    const double volts = std::round(pack_->packVolts(p.current) * 100) / 100;
    peakVolts_ = std::max(peakVolts_, volts);
    if (peakVolts_ - volts >= niMhDeltaV * p.cells - 1e-9 || pack_->charge() > 1.2)
        return std::nullopt;
    return p.current;
}

void ChargerChannel::warm()
{
    const Program &p = programs_[program_];
    double target = ambient + 0.5 * std::abs(current_);
    // An overcharged NiMH pack turns its charge into heat.
    if (p.chemistry == BatteryPack::Chemistry::NiMH && current_ > 0)
        target += 120 * std::max(0.0, pack_->charge() - 0.9);
    extTemp_ += (target - extTemp_) / 120;
    intTemp_ += (ambient + 4 + 3 * std::abs(current_) - intTemp_) / 200;
}

ChannelSample ChargerChannel::step()
{
    if (restLeft_ > 0) {
        current_ = 0;
        warm();
        const ChannelSample shown = sample(ChannelSample::Mode::Inactive);
        if (--restLeft_ == 0)
            begin((program_ + 1) % programs_.size());
        return shown;
    }
    const std::optional<double> current = nextCurrent();
    if (!current) {
        current_ = 0;
        restLeft_ = restSeconds;
        return sample(ChannelSample::Mode::Inactive);
    }
    current_ = *current;
    pack_->pass(current_, 1);
    capacity_ += std::abs(current_) * 1000 / 3600;
    warm();
    return sample(programs_[program_].mode);
}

ChannelSample ChargerChannel::sample(ChannelSample::Mode mode) const
{
    ChannelSample s;
    s.mode = mode;
    s.chemistry = pack_->chemistry();
    s.current = std::abs(current_);
    s.batteryVolts = pack_->packVolts(current_);
    s.extTemp = extTemp_;
    s.intTemp = intTemp_;
    s.capacity = static_cast<int>(capacity_);
    // Only a lithium pack has a balance lead through which the charger sees each cell.
    if (s.chemistry == BatteryPack::Chemistry::LiIon) {
        const std::vector<double> cells = pack_->cellVolts(current_);
        std::copy_n(cells.begin(), std::min<std::size_t>(cells.size(), s.cells.size()),
                    s.cells.begin());
    }
    return s;
}
