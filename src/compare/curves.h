#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "run/incremental_capacity.h"

#include <optional>
#include <vector>

class Samples;
class RunSummary;

// The arithmetic of comparing runs: curves of one quantity against an aligned x, read at any x
// by linear interpolation, never past a curve's ends, never by pairing nearby samples.
namespace Compare {

// The run core's, shared with the book's figures.
using ::Curve;
using ::incrementalCapacity;

// How the runs' x axes are lined up.
enum class Alignment { Start, ConstantVoltage, Capacity, Percent };

// A sample field as numbers, one per sample; NaN where the sample has none.
std::vector<double> column(const Samples &samples, int field);
// Seconds since the first sample, past midnight too.
std::vector<double> elapsedSeconds(const RunSummary &summary);

// The change from constant current to constant voltage of a charge: the first sample after
// which the current stays below 95 % of its plateau (the largest charging current) while the
// voltage is within 0.5 % of its maximum and current still flows in; none without one.
std::optional<qsizetype> constantVoltageStart(const std::vector<double> &volts,
                                              const std::vector<double> &amps);

// What a run gives a comparison, one entry per sample.
struct RunColumns {
    std::vector<double> seconds, volts, amps, mah;
    std::optional<double> ratedMah;
};
RunColumns columns(const Samples &samples, const RunSummary &summary,
                   std::optional<double> ratedMah);

// A run's x per sample under an alignment: (seconds or capacity - origin) * scale. `aligned` is
// false where the run has no such point (no change to constant voltage, no rated capacity) and x
// then counts from its start as time or capacity does.
struct Axis {
    std::vector<double> x;
    bool aligned = true;
    bool byCapacity = false;
    double origin = 0, scale = 1;
};
Axis axis(const RunColumns &run, Alignment alignment);

// The points (x[i], y[i]) whose both values are known.
Curve curve(const std::vector<double> &x, const std::vector<double> &y);

// The curve's y at `x`, linear between its neighbours; none outside its x range.
std::optional<double> valueAt(const Curve &c, double x);
// `other` minus `reference` at each of the reference's x that `other` covers.
Curve difference(const Curve &reference, const Curve &other);

// The curves as one CSV (RFC 4180, UTF-8, CRLF): the x column, then one column per curve, on
// every x of any curve; a curve's cell is empty outside its range.
QByteArray alignedCsv(const QString &xCaption, const QStringList &captions,
                      const std::vector<Curve> &curves);

} // namespace Compare
