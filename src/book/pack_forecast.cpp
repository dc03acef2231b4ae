#include "book/pack_forecast.h"

#include <QCoreApplication>
#include <QLocale>

#include <cmath>
#include <numbers>

namespace {
// P(|T| <= t) for Student's t with `freedom` degrees: the finite series for whole degrees.
double within(double t, int freedom)
{
    const double theta = std::atan(t / std::sqrt(double(freedom)));
    const double c2 = std::cos(theta) * std::cos(theta);
    double term = 1, sum = 1;
    if (freedom % 2 == 0) {
        for (int k = 2; k <= freedom - 2; k += 2)
            sum += term *= c2 * (k - 1) / k;
        return std::sin(theta) * sum;
    }
    if (freedom == 1)
        return 2 * theta / std::numbers::pi;
    for (int k = 3; k <= freedom - 2; k += 2)
        sum += term *= c2 * (k - 1) / k;
    return 2 / std::numbers::pi * (theta + std::sin(theta) * std::cos(theta) * sum);
}

QString farBeyondText()
{
    return QCoreApplication::translate("PackForecast", "far beyond the data");
}
} // namespace

double studentT(double level, int freedom)
{
    double lo = 0, hi = 1e6;
    for (int i = 0; i < 100; ++i) {
        const double mid = (lo + hi) / 2;
        (within(mid, freedom) < level ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

PackForecast PackForecast::of(const std::vector<Point> &points, double share, Measure measure,
                              std::optional<double> limit)
{
    PackForecast f;
    f.share_ = share;
    f.measure_ = measure;
    f.n_ = int(points.size());
    const bool capacity = measure == Measure::Capacity;
    if (f.n_ < FewestPoints) {
        f.refusal = (capacity ? QCoreApplication::translate(
                         "PackForecast", "no forecast: %1 of the %2 full discharges needed")
                              : QCoreApplication::translate(
                                  "PackForecast", "no forecast: %1 of the %2 resistances needed"))
                        .arg(f.n_)
                        .arg(FewestPoints);
        return f;
    }
    double mean = 0;
    for (const Point &p : points) {
        f.meanCycles_ += p.cycles / f.n_;
        mean += p.value / f.n_;
    }
    double sxy = 0;
    for (const Point &p : points) {
        f.sxx_ += (p.cycles - f.meanCycles_) * (p.cycles - f.meanCycles_);
        sxy += (p.cycles - f.meanCycles_) * (p.value - mean);
    }
    const double x0 = points.front().cycles, last = points.back().cycles;
    if (f.sxx_ <= 0) {
        f.refusal = capacity
            ? QCoreApplication::translate("PackForecast",
                                          "no forecast: the full discharges span no cycles")
            : QCoreApplication::translate("PackForecast",
                                          "no forecast: the resistances span no cycles");
        return f;
    }
    f.slope = sxy / f.sxx_;
    f.intercept = mean - f.slope * f.meanCycles_;
    f.firstCycles = x0;
    f.first = f.fitAt(x0);
    // A limit of its own is no share of the first figure.
    const double ofFirst = limit ? 0 : share;
    f.threshold = limit.value_or(share * f.first);
    double squares = 0;
    for (const Point &p : points)
        squares += std::pow(p.value - f.fitAt(p.cycles), 2);
    f.spread_ = std::sqrt(squares / (f.n_ - 2));
    f.t_ = studentT(Level, f.n_ - 2);
    // Falling or rising, the share of the way from the first figure to the threshold covered.
    const double way = f.threshold - f.first;
    if (way == 0 || (f.fitAt(last) - f.first) / way < 0.1) {
        f.refusal = capacity
            ? QCoreApplication::translate(
                  "PackForecast", "no forecast: capacity has not fallen a tenth of the way to %1 %")
                  .arg(share * 100, 0, 'f', 0)
            : QCoreApplication::translate(
                  "PackForecast",
                  "no forecast: the resistance has not risen a tenth of the way to %1 mΩ")
                  .arg(f.threshold, 0, 'f', 0);
        return f;
    }
    f.cycles = x0 + way / f.slope;
    // Where the threshold is a share of the first figure, the crossing is a ratio of fitted
    // figures, the threshold itself one of them: the cycles x where
    // fit(x) - share * fit(x0) - limit = k * mean + slope * u - limit, with k = 1 - share and
    // u = x - mean cycles - share * (x0 - mean cycles), cannot be told from zero (share 0 for a
    // limit of its own, limit 0 otherwise). The mean and the slope are independent, so its
    // variance is s² (k²/n + u²/Sxx); the bounds are the roots of the quadratic in u (Fieller's).
    const double k = 1 - ofFirst, s2t2 = f.spread_ * f.spread_ * f.t_ * f.t_;
    const double a = f.slope * f.slope - s2t2 / f.sxx_;
    if (a <= 0) {
        f.cycles.reset();
        f.refusal = capacity
            ? QCoreApplication::translate("PackForecast",
                                          "no forecast: the fade is not yet clear of the scatter")
            : QCoreApplication::translate("PackForecast",
                                          "no forecast: the rise is not yet clear of the scatter");
        return f;
    }
    const double c0 = k * mean - limit.value_or(0);
    const double b = 2 * c0 * f.slope, c = c0 * c0 - k * k * s2t2 / f.n_;
    const double root = std::sqrt(std::max(0.0, b * b - 4 * a * c));
    const double shift = f.meanCycles_ + ofFirst * (x0 - f.meanCycles_);
    f.low = shift + (-b - root) / (2 * a);
    f.high = shift + (-b + root) / (2 * a);
    f.farBeyond = *f.high - last > FarBeyond * (last - x0);
    const QDateTime from = points.front().date, to = points.back().date;
    if (from.isValid() && to.isValid() && from < to)
        f.date = to.addSecs(qint64((*f.cycles - last) / (last - x0) * double(from.secsTo(to))));
    return f;
}

double PackForecast::bandAt(double cycles) const
{
    if (n_ <= 2 || sxx_ <= 0)
        return 0;
    const double d = cycles - meanCycles_;
    return t_ * spread_ * std::sqrt(1.0 / n_ + d * d / sxx_);
}

QString PackForecast::text() const
{
    if (!cycles)
        return refusal;
    const auto whole = [](double v) { return QString::number(std::round(v), 'f', 0); };
    QString out
        = (measure_ == Measure::Capacity
               ? QCoreApplication::translate("PackForecast", "%1 % at about %2 cycles (%3–%4)")
                     .arg(share_ * 100, 0, 'f', 0)
               : QCoreApplication::translate("PackForecast", "%1 mΩ at about %2 cycles (%3–%4)")
                     .arg(threshold, 0, 'f', 0))
              .arg(whole(*cycles), whole(*low), whole(*high));
    if (date.isValid())
        // The month's form is the translator's: "March 2027", "2027年3月".
        out += QCoreApplication::translate("PackForecast", ", around %1")
                   .arg(QLocale().toString(
                       date.date(), QCoreApplication::translate("PackForecast", "MMMM yyyy")));
    return farBeyond ? out + QStringLiteral(": ") + farBeyondText() : out;
}

QString PackForecast::note() const
{
    return !cycles ? refusal : farBeyond ? farBeyondText() : QString();
}
