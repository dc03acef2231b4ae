#pragma once

#include "link/channel_reading.h"

#include <QString>

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
    double startVolts() const { return points_.empty() ? 0 : points_.front().volts; }
    double endVolts() const { return points_.empty() ? 0 : points_.back().volts; }
    // Lithium packs only: the largest highest-minus-lowest cell voltage, counted as the
    // information panel counts cells, and the first sample that showed it.
    std::optional<CellSpread> largestCellSpread() const { return spread_; }
    // The same of the last sample: how the cells stand at the end.
    std::optional<double> lastCellSpread() const { return lastSpread_; }
    // An estimate of the pack's internal resistance from a current step at the start of the
    // run (from rest, at least 0.5 A up between two samples at most 2 s apart); none without.
    std::optional<double> resistanceMilliohm() const { return resistance_; }

    Difference between(qsizetype from, qsizetype to) const;
    // The figures as one compact line for the chart.
    QString line() const;

private:
    struct Fields; // what the summary reads of a sample
    void add(const Fields &sample);

    struct Point {
        double seconds = 0; // since the first sample
        // Volts, amps and the charge (A·s) and energy (W·s) since the first sample as the
        // chart counts them, whichever way the current flows.
        double volts = 0, amps = 0;
        double charge = 0, energy = 0;
    };

    std::vector<Point> points_;
    double startTime_ = 0; // the first sample's time of day, s
    double lastTimeOfDay_ = 0;
    double lastAmps_ = 0; // signed
    double charged_ = 0, discharged_ = 0; // A·s
    double chargedEnergy_ = 0, dischargedEnergy_ = 0; // W·s
    double peak_ = 0;
    std::optional<double> extMax_, intMax_;
    std::optional<CellSpread> spread_;
    Fixed spreadExact_; // the largest spread as the cells give it
    std::optional<double> lastSpread_;
    std::optional<double> resistance_;
    bool atRest_ = true; // every sample so far without current
};
