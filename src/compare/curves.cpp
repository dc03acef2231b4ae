#include "compare/curves.h"

#include "run/run_summary.h"
#include "run/samples.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Compare {
namespace {
// A current at least this share of the largest one is on its plateau: constant current.
constexpr double Plateau = 0.95;

// The curve's y at `x` inside its range, `i` its first point at or after `x`.
double between(const Curve &c, size_t i, double x)
{
    if (c.x[i] == x)
        return c.y[i];
    const double x0 = c.x[i - 1], x1 = c.x[i];
    return c.y[i - 1] + (c.y[i] - c.y[i - 1]) * (x - x0) / (x1 - x0);
}
} // namespace

std::vector<double> column(const Samples &samples, int field)
{
    std::vector<double> out(size_t(samples.count()), std::numeric_limits<double>::quiet_NaN());
    for (qint64 i = 0; i < samples.count(); ++i)
        if (const auto n = samples.number(i, field))
            out[size_t(i)] = n->toDouble();
    return out;
}

std::vector<double> elapsedSeconds(const RunSummary &summary)
{
    std::vector<double> out(size_t(summary.samples()));
    for (qsizetype i = 0; i < summary.samples(); ++i)
        out[size_t(i)] = summary.at(i).seconds;
    return out;
}

std::optional<qsizetype> constantVoltageStart(const std::vector<double> &volts,
                                              const std::vector<double> &amps)
{
    const qsizetype n = qsizetype(std::min(volts.size(), amps.size()));
    double plateau = 0, top = 0;
    for (qsizetype i = 0; i < n; ++i) {
        plateau = std::max(plateau, std::isnan(amps[i]) ? 0 : amps[i]);
        top = std::max(top, std::isnan(volts[i]) ? 0 : volts[i]);
    }
    if (plateau <= 0)
        return std::nullopt;
    // After the last sample on the plateau, the first one near the top voltage still charging.
    qsizetype last = n - 1;
    while (last >= 0 && !(amps[last] >= Plateau * plateau))
        --last;
    for (qsizetype i = last + 1; i < n; ++i)
        if (volts[i] >= 0.995 * top)
            return amps[i] > 0 ? std::optional(i) : std::nullopt;
    return std::nullopt;
}

RunColumns columns(const Samples &samples, const RunSummary &summary,
                   std::optional<double> ratedMah)
{
    return { elapsedSeconds(summary), column(samples, Bat_volt), column(samples, Current),
             column(samples, Cap), ratedMah };
}

Axis axis(const RunColumns &run, Alignment alignment)
{
    Axis a;
    a.byCapacity = alignment == Alignment::Capacity || alignment == Alignment::Percent;
    a.x = a.byCapacity ? run.mah : run.seconds;
    if (alignment == Alignment::ConstantVoltage) {
        const auto from = constantVoltageStart(run.volts, run.amps);
        a.aligned = from.has_value();
        a.origin = from ? run.seconds[size_t(*from)] : 0;
    } else if (a.byCapacity) {
        a.origin = a.x.empty() || std::isnan(a.x.front()) ? 0 : a.x.front();
        a.aligned = alignment == Alignment::Capacity || (run.ratedMah && *run.ratedMah > 0);
        if (alignment == Alignment::Percent && a.aligned)
            a.scale = 100 / *run.ratedMah;
    }
    for (double &x : a.x)
        x = (x - a.origin) * a.scale;
    return a;
}

Curve curve(const std::vector<double> &x, const std::vector<double> &y)
{
    Curve c;
    const size_t n = std::min(x.size(), y.size());
    c.x.reserve(n);
    c.y.reserve(n);
    for (size_t i = 0; i < n; ++i)
        if (!std::isnan(x[i]) && !std::isnan(y[i]))
            c.add(x[i], y[i]);
    return c;
}

std::optional<double> valueAt(const Curve &c, double x)
{
    if (c.empty() || x < c.x.front() || x > c.x.back())
        return std::nullopt;
    return between(c, size_t(std::lower_bound(c.x.begin(), c.x.end(), x) - c.x.begin()), x);
}

Curve difference(const Curve &reference, const Curve &other)
{
    Curve d;
    // Both ascending, as time and a charge's capacity are: `other` is walked along once rather
    // than searched at every point, to the same neighbours.
    const bool walk = std::is_sorted(reference.x.begin(), reference.x.end())
        && std::is_sorted(other.x.begin(), other.x.end());
    size_t j = 0; // the first of `other` at or after the point
    for (size_t i = 0; i < reference.x.size(); ++i) {
        const double x = reference.x[i];
        if (!walk) {
            if (const auto v = valueAt(other, x))
                d.add(x, *v - reference.y[i]);
            continue;
        }
        while (j < other.x.size() && other.x[j] < x)
            ++j;
        if (j == other.x.size())
            break;
        if (j > 0 || other.x[j] == x)
            d.add(x, between(other, j, x) - reference.y[i]);
    }
    return d;
}

QByteArray alignedCsv(const QString &xCaption, const QStringList &captions,
                      const std::vector<Curve> &curves)
{
    std::vector<double> xs;
    for (const Curve &c : curves)
        xs.insert(xs.end(), c.x.begin(), c.x.end());
    std::sort(xs.begin(), xs.end());
    xs.erase(std::unique(xs.begin(), xs.end()), xs.end());

    QByteArray out;
    appendCsvField(out, xCaption);
    for (const QString &caption : captions) {
        out += ',';
        appendCsvField(out, caption);
    }
    out += "\r\n";
    for (double x : xs) {
        out += QByteArray::number(x, 'g', 10);
        for (const Curve &c : curves) {
            out += ',';
            if (const auto v = valueAt(c, x))
                out += QByteArray::number(*v, 'g', 10);
        }
        out += "\r\n";
    }
    return out;
}

} // namespace Compare
