#pragma once

#include "link/channel_reading.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

class Samples;

// A length of time as "1:02:10".
QString runClock(double seconds);

// The figures of a run at a glance, worked out from its samples as the run keeps them. Current is
// in amperes, negative while discharging; an idle sample without a current counts 0 A. Charge and
// energy are integrated with the trapezoid rule over the samples' times.
class RunSummary {
public:
    struct CellSpread {
        double volts = 0;
        double atSeconds = 0; // the sample's time, as the chart's time axis shows it
    };
    // What changed from sample `from` to sample `to`.
    struct Difference {
        double seconds = 0, volts = 0, amps = 0, mAh = 0, wh = 0;
        // A line per figure, signed, for the read-out beside the cross-hair.
        QString text() const;
    };

    // Adds the next sample; every sample of a run in order gives the run's figures.
    void add(const ChannelReading &sample);
    // A full pass over a run's samples.
    static RunSummary of(const Samples &samples);

    qsizetype samples() const { return qsizetype(points_.size()); }
    double seconds() const { return points_.empty() ? 0 : points_.back().seconds; }
    double chargedMah() const { return charged_ / 3.6; }
    double dischargedMah() const { return discharged_ / 3.6; }
    double chargedWh() const { return chargedEnergy_ / 3600; }
    double dischargedWh() const { return dischargedEnergy_ / 3600; }
    // Over the run's time, idle time included; one sample's own current for a run of one.
    double averageAmps() const;
    double peakAmps() const { return peak_; }
    std::optional<double> highestExtTemp() const { return extMax_; }
    std::optional<double> highestIntTemp() const { return intMax_; }
    double startVolts() const { return startVolts_; }
    double endVolts() const { return lastVolts_; }
    // Lithium packs only: the largest highest-minus-lowest cell voltage over the cells with a
    // voltage (C1 to C12), and the first sample that showed it.
    std::optional<CellSpread> largestCellSpread() const { return spread_; }
    // The pack's internal resistance from a current step after a plateau of at least 10 s:
    // R = (U2 - U1) / (I2 - I1), U2 and I2 the mean of the samples after the step (one at most
    // 2 s on, the rest while the new level holds, up to 10 s), U1 and I1 the mean of as many
    // of the plateau's last. A shown figure beats a refused one, a two-level one beats another,
    // else the first counts; none without a step whose figure is above zero.
    struct Resistance {
        double milliohm = 0;
        // From the readings' resolution: half of 0.01 V and of 0.01 A on each level, shrunk by
        // the square root of the samples averaged where they differ (then their roundings are
        // taken as independent; alike readings may share one), summed as the worst case.
        double plusMinus = 0;
        double fromAmps = 0, toAmps = 0; // signed
        // Per cell from the balance leads, the same way; none for a cell's figure not shown.
        std::vector<std::optional<double>> cells;
        double seconds = 0; // from U1's last sample to U2's last
        // Its ± within a quarter of it.
        bool shown() const;
        // One way, I1 about a fifth of I2: a pair the method could give, whatever the pack's C.
        bool twoLevel() const;
        // The two-level method's levels: I1 about 0.2 C and I2 about 1 C (within 20 %).
        bool iec61960(std::optional<double> ratedMah) const;
        QString label(std::optional<double> ratedMah) const;
        // The label, the figure and its ±, as the summary line shows it; why not, when not shown.
        QString text(std::optional<double> ratedMah) const;
        // The step I2 - I1, single readings each side, that gives ± `share` of `milliohm`.
        static double stepFor(double milliohm, double share);
    };
    const std::optional<Resistance> &resistance() const { return resistance_; }

    enum class Kind { Idle, Charge, Discharge, Both };
    Kind kind() const;
    // The first sample's battery type, as the charger names it.
    const QString &chemistry() const { return chemistry_; }
    // The most cells with a voltage in one sample.
    int cells() const { return cells_; }
    // Lithium packs only: the cell spread of the last sample that charged.
    std::optional<double> endOfChargeSpread() const { return endSpread_; }
    // The lowest voltage while discharging, none without a discharge.
    std::optional<double> loadedVolts() const { return loadedVolts_; }
    // The last sample with a current charged the pack.
    bool endsCharging() const { return endsCharging_; }
    // The change to constant voltage: the first charging sample whose current fell a tenth below
    // the charge's highest, after the last one at that current (a dip and back is none). Of the
    // charge it ends: the share of its mAh charged after the change, and the seconds from the
    // change to its last charging sample. None without a change, nor for nickel cells, which
    // charge at constant current to the end.
    struct ConstantVoltage {
        double share = 0, taperSeconds = 0;
    };
    std::optional<ConstantVoltage> constantVoltage() const;
    // Lithium packs only, a cell by its number (1 for C1), 0 where no one cell stands out: the
    // highest at the change to constant voltage, the lowest at the last discharging sample, and
    // the first to leave the others (a step's 0.05 V from their median).
    int highestAtCv() const { return cvHigh_; }
    int lowestAtEnd() const { return endLow_; }
    int firstOut() const { return firstOut_; }
    // Lithium packs only, C1 on: the cells of the last charging and last discharging sample.
    std::vector<double> chargedCells() const { return chargedCells_.volts(); }
    std::vector<double> dischargedCells() const { return dischargedCells_.volts(); }
    // A capacity in a description ("2200mAh", "2200 mAh"), none without.
    static std::optional<double> ratedMahIn(const QString &description);

    // The volts and amperes from the run's `rows`, which hold them.
    Difference between(const Samples &rows, qsizetype from, qsizetype to) const;
    // At sample `i`, since the first: seconds, and charge in and out.
    struct Elapsed {
        double seconds = 0, chargedMah = 0, dischargedMah = 0;
    };
    Elapsed at(qsizetype i) const;
    // The figures as one compact line for the chart; the pack's rated capacity labels the
    // resistance.
    QString line(std::optional<double> ratedMah = std::nullopt) const;
    // The line's figures one by one, the resistance left out.
    QStringList figures() const;

private:
    struct Fields; // what the summary reads of a sample
    void add(const Fields &sample);
    // A sample as the resistance averages it.
    struct Level {
        double seconds = 0, volts = 0, amps = 0;
        std::array<Fixed, 12> cells {};
    };
    // The step being measured: the plateau's last samples, those after the step so far, and
    // whether its figure is the run's.
    struct Step {
        std::vector<Level> before, after;
        bool held = false;
    };
    // Measures `step_` again with its samples so far.
    void measure();
    // The cells that stand out in a sample of a lithium pack; `atCv`: at the change to constant
    // voltage.
    void cellsStandingOut(const Fields &sample, double amps, bool atCv);

    // One for every sample: its volts and amps are the samples' own, read there when asked.
    struct Point {
        double seconds = 0; // since the first sample
        // The charge (A·s) and energy (W·s) since the first sample as the chart counts them,
        // whichever way the current flows.
        double charged = 0, discharged = 0, energy = 0;
    };
    // Follows the charge to its change to constant voltage and through the taper: true at the
    // sample of the change.
    bool followCharge(const Point &p, double amps);

    std::vector<Point> points_;
    double startTime_ = 0; // the first sample's time of day, s
    double lastTimeOfDay_ = 0;
    double lastAmps_ = 0; // signed
    double startVolts_ = 0, lastVolts_ = 0;
    double startAmps_ = 0; // either way
    double charged_ = 0, discharged_ = 0; // A·s
    double chargedEnergy_ = 0, dischargedEnergy_ = 0; // W·s
    double peak_ = 0;
    std::optional<double> extMax_, intMax_;
    std::optional<CellSpread> spread_;
    Fixed spreadExact_; // the largest spread as the cells give it
    std::optional<Resistance> resistance_;
    // The current plateau the samples are on: its first time and current, its last sample.
    double plateauFrom_ = 0, plateauAmps_ = 0;
    // The plateau's samples of its last 10 s, from plateauFirst_ on.
    std::vector<Level> plateauEnd_;
    std::size_t plateauFirst_ = 0;
    std::optional<Step> step_;
    QString chemistry_;
    int cells_ = 0;
    std::optional<double> endSpread_, loadedVolts_;
    bool endsCharging_ = false;
    double chargeAmps_ = 0; // the highest charging current
    // The change to constant voltage and the last sample of its taper; `ended` once the charge
    // stopped.
    struct Taper {
        Point from, to;
        bool ended = false;
    };
    std::optional<Taper> cv_;
    int cvHigh_ = 0, endLow_ = 0, firstOut_ = 0;
    // A sample's cells, kept as they are and made volts only when asked.
    struct Cells {
        std::array<Fixed, 12> cells {};
        int count = 0;
        std::vector<double> volts() const;
    };
    Cells chargedCells_, dischargedCells_;
};
