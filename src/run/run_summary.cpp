#include "run/run_summary.h"

#include "run/samples.h"

#include <QStringList>

#include <QCoreApplication>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
constexpr double Day = 86400;
// Below this the pack is at rest.
constexpr double RestAmps = 0.1;
// A plateau lasts PlateauSeconds with its current within PlateauShare (or PlateauAmps) of its
// first; a step after it changes the current by StepAmps at least, within StepSeconds.
constexpr double PlateauSeconds = 10;
constexpr double PlateauShare = 0.05;
constexpr double PlateauAmps = 0.05;
constexpr double StepAmps = 0.3;
constexpr double StepSeconds = 2;
// A cell this far from the others' median has left them; a charge whose current fell below
// this share of its highest has turned to constant voltage.
constexpr double LeaveVolts = 0.05;
constexpr double CvShare = 0.9;
// The readings' resolution, V and A.
constexpr double VoltStep = 0.01;
constexpr double AmpStep = 0.01;
// A resistance shows when its ± is within this share of it.
constexpr double TrustedShare = 0.25;
// Every cell a reading carries counts, C1 to C12, though the information panel shows eight.
constexpr int CellFields = C12 - C1 + 1;
// The one chemistry whose cells the panel shows.
const QString Lithium = QStringLiteral("LiIo/Po/Fe");
const qint64 LeaveRaw = Fixed::fromDouble(LeaveVolts).raw();

int cellCount(const std::array<Fixed, CellFields> &cells)
{
    return int(std::count_if(cells.begin(), cells.end(), [](Fixed v) { return v != Fixed(); }));
}

// A reading's fields, or a run's sample's read in place: every sample of an opened run passes
// here when the run is summed up.
struct FromReading {
    const ChannelReading &r;
    bool secondsOfDay(int f, int &s) const
    {
        const DayTime *t = r[f].time();
        return t ? (s = t->secondsOfDay(), true) : false;
    }
    const QString *text(int f) const { return r[f].heldText(); }
    bool number(int f, Fixed &n) const
    {
        const auto v = r[f].number();
        return v ? (n = *v, true) : false;
    }
};
struct FromSamples {
    const Samples &s;
    qint64 row;
    bool secondsOfDay(int f, int &seconds) const { return s.secondsOfDay(row, f, seconds); }
    const QString *text(int f) const { return s.heldText(row, f); }
    bool number(int f, Fixed &n) const { return s.number(row, f, n); }
};
} // namespace

struct RunSummary::Fields {
    std::optional<double> time, extTemp, intTemp, volts, amps;
    QStringView type;
    bool lithium = false, nickel = false;
    std::array<Fixed, CellFields> cells; // exact, so that equal spreads compare equal
    // The cells with a voltage, and the lowest and highest of as many first cells.
    int withVolts = 0;
    Fixed low, high;

    // Reads the next sample over the last one: a full pass reuses the fields, which spares it
    // clearing them and looking at the same type text again.
    template <class Sample> void read(const Sample &sample)
    {
        const auto number = [&sample](int f) {
            Fixed n;
            return sample.number(f, n) ? std::optional(n.toDouble()) : std::nullopt;
        };
        if (int s = 0; sample.secondsOfDay(Time, s))
            time = s;
        else
            time.reset();
        if (const QString *t = sample.text(Type); t != typeText_ || !typeRead_) {
            type = t ? QStringView(*t).trimmed() : QStringView();
            lithium = type == Lithium;
            nickel = type.startsWith(u"Ni");
            typeText_ = t;
            typeRead_ = true;
        }
        extTemp = number(Ext_temp);
        intTemp = number(In_temp);
        volts = number(Bat_volt);
        amps = number(Current);
        for (int c = 0; c < CellFields; ++c) {
            Fixed n;
            cells[c] = sample.number(C1 + c, n) ? n : Fixed();
        }
        withVolts = cellCount(cells);
        if (withVolts > 0) {
            const auto [lo, hi] = std::minmax_element(cells.begin(), cells.begin() + withVolts);
            low = *lo, high = *hi;
        }
    }

private:
    const QString *typeText_ = nullptr;
    bool typeRead_ = false;
};

namespace {
// Half a hundredth more keeps a figure of exactly the bar from rounding away.
bool trusted(double milliohm, double plusMinus)
{
    return milliohm > 0 && plusMinus <= TrustedShare * milliohm + 1e-9;
}

// The number of the one cell of the first n farthest from `from` (raw) by at least `least`
// (raw), upward for a positive `sign`; 0 when none or two are.
int standsOut(const std::array<Fixed, CellFields> &cells, int n, qint64 from, int sign,
              qint64 least)
{
    int found = 0;
    qint64 far = least - 1;
    bool tie = false;
    for (int c = 0; c < n; ++c) {
        const qint64 d
            = sign == 0 ? std::abs(cells[c].raw() - from) : sign * (cells[c].raw() - from);
        if (d > far) {
            far = d;
            found = c + 1;
            tie = false;
        } else if (d == far) {
            tie = true;
        }
    }
    return tie ? 0 : found;
}

void raise(std::optional<double> &highest, std::optional<double> v)
{
    if (v && (!highest || *v > *highest))
        highest = v;
}

} // namespace

QString runClock(double seconds)
{
    const qint64 s = std::llround(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void RunSummary::add(const ChannelReading &reading)
{
    Fields fields;
    fields.read(FromReading { reading });
    add(fields);
}

void RunSummary::add(const Fields &r)
{
    Point p;
    const double volts = r.volts.value_or(0);
    const double signedAmps = r.amps.value_or(0), amps = std::abs(signedAmps);
    const double timeOfDay = r.time.value_or(lastTimeOfDay_);
    if (points_.empty()) {
        startTime_ = timeOfDay;
        startVolts_ = volts;
        startAmps_ = amps;
        chemistry_ = r.type.toString();
        plateauAmps_ = signedAmps;
    } else {
        const Point &q = points_.back();
        double dt = timeOfDay - lastTimeOfDay_;
        if (dt < 0) // past midnight: the table keeps the time of day
            dt += Day;
        const double dq = (lastAmps_ + signedAmps) / 2 * dt;
        const double de = (lastVolts_ * lastAmps_ + volts * signedAmps) / 2 * dt;
        (dq > 0 ? charged_ : discharged_) += std::abs(dq);
        (de > 0 ? chargedEnergy_ : dischargedEnergy_) += std::abs(de);
        p.seconds = q.seconds + dt;
        p.charged = q.charged + std::max(dq, 0.0);
        p.discharged = q.discharged + std::max(-dq, 0.0);
        p.energy = q.energy + std::abs(de);
        const double tolerance = std::max(PlateauAmps, PlateauShare * std::abs(plateauAmps_));
        const auto here = [&] { return Level { p.seconds, volts, signedAmps, r.cells }; };
        bool stepped = false;
        if (std::abs(signedAmps - plateauAmps_) > tolerance) {
            step_.reset();
            if (q.seconds - plateauFrom_ >= PlateauSeconds && dt <= StepSeconds
                && std::abs(signedAmps - lastAmps_) >= StepAmps)
                step_ = Step { { plateauEnd_.begin() + plateauFirst_, plateauEnd_.end() },
                               { here() } };
            stepped = step_.has_value();
            plateauFrom_ = p.seconds;
            plateauAmps_ = signedAmps;
            plateauEnd_.clear();
            plateauFirst_ = 0;
        } else if (step_ && p.seconds - step_->before.back().seconds <= PlateauSeconds) {
            step_->after.push_back(here());
            stepped = true;
        } else {
            step_.reset();
        }
        if (stepped)
            measure();
    }
    plateauEnd_.push_back({ p.seconds, volts, signedAmps, r.cells });
    while (p.seconds - plateauEnd_[plateauFirst_].seconds > PlateauSeconds)
        ++plateauFirst_;
    // The samples that fell out go now and then, in one move of the few that stay.
    if (2 * plateauFirst_ > plateauEnd_.size()) {
        plateauEnd_.erase(plateauEnd_.begin(), plateauEnd_.begin() + qsizetype(plateauFirst_));
        plateauFirst_ = 0;
    }
    lastTimeOfDay_ = timeOfDay;
    lastAmps_ = signedAmps;
    lastVolts_ = volts;
    cells_ = std::max(cells_, r.withVolts);
    if (amps >= RestAmps)
        endsCharging_ = signedAmps > 0;
    if (signedAmps <= -RestAmps && (!loadedVolts_ || volts < *loadedVolts_))
        loadedVolts_ = volts;
    peak_ = std::max(peak_, amps);
    raise(extMax_, r.extTemp);
    // Frames that carry no internal temperature say 0 for it.
    if (r.intTemp != 0.0)
        raise(intMax_, r.intTemp);
    const bool atCv = !r.nickel && followCharge(p, signedAmps);
    if (r.lithium && r.withVolts >= 2) {
        cellsStandingOut(r, signedAmps, atCv);
        const Fixed s = Fixed::fromRaw(r.high.raw() - r.low.raw());
        if (!spread_ || s > spreadExact_) {
            spreadExact_ = s;
            spread_ = CellSpread { s.toDouble(), startTime_ + p.seconds };
        }
        if (signedAmps >= RestAmps)
            endSpread_ = s.toDouble();
    }
    points_.push_back(p);
}

bool RunSummary::followCharge(const Point &p, double amps)
{
    if (amps < RestAmps) {
        if (cv_)
            cv_->ended = true;
        return false;
    }
    chargeAmps_ = std::max(chargeAmps_, amps);
    if (amps >= CvShare * chargeAmps_) { // at constant current, or back at it
        cv_.reset();
        cvHigh_ = 0;
        return false;
    }
    if (!cv_) {
        cv_ = Taper { p, p };
        return true;
    }
    if (!cv_->ended)
        cv_->to = p;
    return false;
}

std::optional<RunSummary::ConstantVoltage> RunSummary::constantVoltage() const
{
    if (!cv_ || cv_->to.charged <= 0)
        return std::nullopt;
    return ConstantVoltage { (cv_->to.charged - cv_->from.charged) / cv_->to.charged,
                             cv_->to.seconds - cv_->from.seconds };
}

void RunSummary::cellsStandingOut(const Fields &sample, double amps, bool atCv)
{
    const auto &cells = sample.cells;
    const int n = sample.withVolts;
    // Of two, either may be the one that left; and none is farther from the median than the
    // lowest from the highest.
    if (!firstOut_ && n >= 3 && sample.high.raw() - sample.low.raw() >= LeaveRaw) {
        std::array<qint64, CellFields> raw; // NOLINT: the first n are set here, no more are read
        std::transform(cells.begin(), cells.begin() + n, raw.begin(),
                       [](Fixed v) { return v.raw(); });
        std::nth_element(raw.begin(), raw.begin() + n / 2, raw.begin() + n);
        firstOut_ = standsOut(cells, n, raw[std::size_t(n / 2)], 0, LeaveRaw);
    }
    if (std::abs(amps) >= RestAmps)
        (amps > 0 ? chargedCells_ : dischargedCells_) = { cells, n };
    if (amps <= -RestAmps)
        endLow_ = standsOut(cells, n, sample.high.raw(), -1, 0);
    if (atCv)
        cvHigh_ = standsOut(cells, n, sample.low.raw(), 1, 0);
}

void RunSummary::measure()
{
    const Step &s = *step_;
    const std::size_t n = std::min(s.before.size(), s.after.size());
    const auto u1 = s.before.end() - qsizetype(n), u2 = s.after.begin();
    struct Mean {
        double value = 0, plusMinus = 0;
    };
    const auto mean = [n](auto first, auto get, double resolution) {
        Mean m { 0, resolution / 2 };
        bool alike = true;
        for (std::size_t k = 0; k < n; ++k) {
            m.value += get(first[k]) / double(n);
            alike = alike && get(first[k]) == get(first[0]);
        }
        if (!alike)
            m.plusMinus /= std::sqrt(double(n));
        return m;
    };
    const auto amps = [](const Level &l) { return l.amps; };
    const Mean i1 = mean(u1, amps, AmpStep), i2 = mean(u2, amps, AmpStep);
    const double di = i2.value - i1.value;
    // R and its ±, mΩ, from a voltage of the samples.
    const auto resistance = [&](auto volts) {
        const Mean v1 = mean(u1, volts, VoltStep), v2 = mean(u2, volts, VoltStep);
        const double r = (v2.value - v1.value) / di;
        return std::pair(r * 1000,
                         (v1.plusMinus + v2.plusMinus + std::abs(r) * (i1.plusMinus + i2.plusMinus))
                             / std::abs(di) * 1000);
    };
    const auto [r, plusMinus] = resistance([](const Level &l) { return l.volts; });
    if (r <= 0)
        return;
    Resistance found {
        r, plusMinus, i1.value, i2.value, {}, u2[qsizetype(n) - 1].seconds - s.before.back().seconds
    };
    const auto rank = [](const Resistance &f) { return 2 * int(f.shown()) + int(f.twoLevel()); };
    if (!s.held && resistance_ && rank(found) <= rank(*resistance_))
        return;
    if (const int cells = cellCount(s.before.back().cells);
        cells == cellCount(s.after.front().cells))
        for (int c = 0; c < cells; ++c) {
            const auto [rc, pm] = resistance([c](const Level &l) { return l.cells[c].toDouble(); });
            found.cells.push_back(trusted(rc, pm) ? std::optional(rc) : std::nullopt);
        }
    step_->held = true;
    resistance_ = found;
}

RunSummary RunSummary::of(const Samples &samples)
{
    RunSummary summary;
    summary.points_.reserve(std::size_t(samples.count()));
    Fields fields;
    for (qint64 row = 0; row < samples.count(); ++row) {
        fields.read(FromSamples { samples, row });
        summary.add(fields);
    }
    return summary;
}

std::vector<double> RunSummary::Cells::volts() const
{
    std::vector<double> v(static_cast<std::size_t>(count));
    std::transform(cells.begin(), cells.begin() + count, v.begin(),
                   [](Fixed c) { return c.toDouble(); });
    return v;
}

double RunSummary::averageAmps() const
{
    if (seconds() > 0)
        return (charged_ + discharged_) / seconds();
    return startAmps_;
}

RunSummary::Difference RunSummary::between(const Samples &rows, qsizetype from, qsizetype to) const
{
    if (from < 0 || to < 0 || from >= samples() || to >= samples())
        return {};
    // As `add` reads them: none counts 0, the current either way.
    const auto read = [&rows](qsizetype row, int field) {
        Fixed n;
        rows.number(row, field, n);
        return field == Current ? std::abs(n.toDouble()) : n.toDouble();
    };
    const Point &a = points_[from];
    const Point &b = points_[to];
    return { b.seconds - a.seconds, read(to, Bat_volt) - read(from, Bat_volt),
             read(to, Current) - read(from, Current),
             (b.charged + b.discharged - a.charged - a.discharged) / 3.6,
             (b.energy - a.energy) / 3600 };
}

RunSummary::Elapsed RunSummary::at(qsizetype i) const
{
    const Point &p = points_[std::size_t(i)];
    return { p.seconds, p.charged / 3.6, p.discharged / 3.6 };
}

QString RunSummary::Difference::text() const
{
    // Rounded first, so that a tiny negative shows no sign; "+" on the rest above zero.
    const auto n = [](double v, int decimals) {
        const double scale = std::pow(10.0, decimals);
        const double r = std::round(v * scale) / scale + 0.0;
        return (r > 0 ? QStringLiteral("+") : QString()) + QString::number(r, 'f', decimals);
    };
    // A milliampere-hour at a dozen volts is about 0.012 Wh: three decimals match it.
    return QStringLiteral("Δt %1\nΔV %2\nΔA %3\nΔmAh %4\nΔWh %5")
        .arg((std::llround(seconds) < 0 ? QStringLiteral("-") : QString())
                 + runClock(std::abs(seconds)),
             n(volts, 2), n(amps, 2), n(mAh, 0), n(wh, 3));
}

RunSummary::Kind RunSummary::kind() const
{
    // Less than a milliampere-hour either way is noise at the ends of a run.
    const bool in = charged_ >= 3.6, out = discharged_ >= 3.6;
    return in && out ? Kind::Both : in ? Kind::Charge : out ? Kind::Discharge : Kind::Idle;
}

std::optional<double> RunSummary::ratedMahIn(const QString &description)
{
    static const QRegularExpression capacity(QStringLiteral("(?<![\\d.])(\\d{2,6})\\s?mAh\\b"),
                                             QRegularExpression::CaseInsensitiveOption);
    const auto m = capacity.match(description);
    return m.hasMatch() ? std::optional(m.captured(1).toDouble()) : std::nullopt;
}

bool RunSummary::Resistance::shown() const
{
    return trusted(milliohm, plusMinus);
}

double RunSummary::Resistance::stepFor(double milliohm, double share)
{
    const double ohm = milliohm / 1000;
    return (VoltStep + ohm * AmpStep) / (share * ohm);
}

bool RunSummary::Resistance::twoLevel() const
{
    // Every ratio the method's two currents may have, each within its 20 %.
    const double ratio = fromAmps / toAmps;
    return ratio >= 0.2 * 0.8 / 1.2 && ratio <= 0.2 * 1.2 / 0.8;
}

bool RunSummary::Resistance::iec61960(std::optional<double> ratedMah) const
{
    if (!ratedMah || *ratedMah <= 0 || (fromAmps < 0) != (toAmps < 0))
        return false;
    const double c = *ratedMah / 1000;
    const auto about
        = [](double amps, double want) { return std::abs(std::abs(amps) - want) <= 0.2 * want; };
    return about(fromAmps, 0.2 * c) && about(toAmps, c);
}

QString RunSummary::Resistance::label(std::optional<double> ratedMah) const
{
    // Whole-second samples cannot tell the standard's 1 s point: the label gives the time used.
    const QString over = QString::number(seconds, 'f', 0);
    if (iec61960(ratedMah))
        return QCoreApplication::translate("RunSummary", "DCIR at 0.2C → 1C over %1 s").arg(over);
    return QCoreApplication::translate("RunSummary", "R estimate, %1 A → %2 A step over %3 s")
        .arg(QString::number(fromAmps, 'f', 2), QString::number(toAmps, 'f', 2), over);
}

QString RunSummary::Resistance::text(std::optional<double> ratedMah) const
{
    if (!shown())
        return QCoreApplication::translate("RunSummary",
                                           "step too small: %1 A gives ± %2 % for a pack of %3 mΩ")
            .arg(QString::number(std::abs(toAmps - fromAmps), 'f', 1),
                 QString::number(plusMinus / milliohm * 100, 'f', 0),
                 QString::number(milliohm, 'f', 0));
    const QString figure
        = QStringLiteral("%1 ± %2 mΩ")
              .arg(QString::number(milliohm, 'f', 0), QString::number(plusMinus, 'f', 0));
    if (iec61960(ratedMah))
        return QCoreApplication::translate("RunSummary", "DCIR %1 at 0.2C → 1C over %2 s")
            .arg(figure, QString::number(seconds, 'f', 0));
    return label(ratedMah) + u' ' + figure;
}

QString RunSummary::line(std::optional<double> ratedMah) const
{
    QStringList parts = figures();
    if (resistance_)
        parts << resistance_->text(ratedMah);
    return parts.join(QStringLiteral("  "));
}

QStringList RunSummary::figures() const
{
    if (points_.empty())
        return {};
    const auto n = [](double v, int decimals) { return QString::number(v, 'f', decimals); };
    QStringList parts { runClock(seconds()) };
    if (charged_ > 0 || discharged_ == 0)
        parts << QCoreApplication::translate("RunSummary", "Charged %1 mAh %2 Wh")
                     .arg(n(chargedMah(), 0), n(chargedWh(), 2));
    if (discharged_ > 0)
        parts << QCoreApplication::translate("RunSummary", "Discharged %1 mAh %2 Wh")
                     .arg(n(dischargedMah(), 0), n(dischargedWh(), 2));
    parts << QCoreApplication::translate("RunSummary", "Avg %1 A  Peak %2 A")
                 .arg(n(averageAmps(), 2), n(peak_, 2));
    if (extMax_)
        parts << QCoreApplication::translate("RunSummary", "Ext max %1℃").arg(n(*extMax_, 1));
    if (intMax_)
        parts << QCoreApplication::translate("RunSummary", "Int max %1℃").arg(n(*intMax_, 1));
    parts << QStringLiteral("%1→%2 V").arg(n(startVolts(), 2), n(endVolts(), 2));
    if (spread_)
        parts << QCoreApplication::translate("RunSummary", "Cell spread %1 V @%2")
                     .arg(n(spread_->volts, 2), runClock(spread_->atSeconds));
    return parts;
}
