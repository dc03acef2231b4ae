#include "document/run_summary.h"

#include "link/channel_reading.h"
#include "platform/sample_table.h"

#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
constexpr double Day = 86400;
// Below this the pack is at rest; a step must rise at least StepAmps within StepSeconds.
constexpr double RestAmps = 0.1;
constexpr double StepAmps = 0.5;
constexpr double StepSeconds = 2;
// The information panel shows eight cells and counts them among these.
constexpr int PanelCells = 8;
// The one chemistry whose cells the panel shows.
constexpr QByteArrayView Lithium("LiIo/Po/Fe");

// A sample row read field by field, left to right, in one pass over its bytes: every row of
// an opened run passes here when the run is summed up.
class Fields {
public:
    explicit Fields(QByteArrayView row) : p_(row.data()), end_(row.data() + row.size()) { }

    QByteArrayView text()
    {
        const char *const start = p_;
        const auto *tab = static_cast<const char *>(std::memchr(p_, '\t', end_ - p_));
        p_ = tab ? tab + 1 : end_;
        return QByteArrayView(start, (tab ? tab : end_) - start);
    }
    void skip() { text(); }

    // A decimal as the table writes it ("-1.25", "25"); none for anything else.
    std::optional<double> number()
    {
        static constexpr double Scale[]
            = { 1,     1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,  1e-8, 1e-9,
                1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15, 1e-16, 1e-17, 1e-18 };
        const char *p = p_;
        const bool negative = p < end_ && *p == '-';
        p += negative;
        const char *const first = p;
        const char *point = nullptr;
        quint64 digits = 0;
        bool bad = false;
        for (; p < end_ && *p != '\t'; ++p) {
            const unsigned d = unsigned(*p - '0');
            if (d < 10)
                digits = digits * 10 + d;
            else if (*p == '.' && !point)
                point = p;
            else
                bad = true;
        }
        p_ = p + (p < end_);
        const qsizetype count = p - first - (point != nullptr);
        if (bad || count == 0 || count > 18) // 18 digits fit in 64 bits
            return std::nullopt;
        const double v = double(digits) * Scale[point ? p - point - 1 : 0];
        return negative ? -v : v;
    }

    // "hh:mm:ss" as seconds.
    std::optional<double> time()
    {
        double total = 0;
        int part = 0, colons = 0, count = 0;
        bool bad = false;
        for (; p_ < end_ && *p_ != '\t'; ++p_) {
            const unsigned d = unsigned(*p_ - '0');
            if (d < 10 && ++count <= 9) {
                part = part * 10 + int(d);
            } else if (*p_ == ':' && count > 0) {
                total = total * 60 + part;
                part = count = 0;
                ++colons;
            } else {
                bad = true;
            }
        }
        p_ += p_ < end_;
        if (bad || colons != 2 || count == 0)
            return std::nullopt;
        return total * 60 + part;
    }

private:
    const char *p_;
    const char *const end_;
};

struct Row {
    std::optional<double> time, extTemp, intTemp, volts, amps;
    std::array<double, PanelCells> cells {};
    bool lithium = false;
};

Row parse(QByteArrayView text)
{
    static_assert(Type == Time + 1 && Ext_temp == Chg + 1 && Bat_volt == In_Volt + 1
                  && Current == Bat_volt + 1 && C1 == Power + 1);
    Fields f(text);
    Row r;
    r.time = f.time();
    const QByteArrayView type = f.text();
    r.lithium = type.size() >= Lithium.size() && type.trimmed() == Lithium;
    f.skip(); // charge state
    r.extTemp = f.number();
    r.intTemp = f.number();
    f.skip(); // input voltage
    r.volts = f.number();
    r.amps = f.number();
    f.skip(); // capacity
    f.skip(); // power
    if (r.lithium)
        for (double &cell : r.cells)
            cell = f.number().value_or(0);
    return r;
}

// Highest minus lowest over the first n cells, n counting the cells with a voltage.
std::optional<double> spread(const std::array<double, PanelCells> &cells)
{
    const auto n = std::count_if(cells.begin(), cells.end(), [](double v) { return v != 0; });
    if (n < 2)
        return std::nullopt;
    const auto [lo, hi] = std::minmax_element(cells.begin(), cells.begin() + n);
    return *hi - *lo;
}

void raise(std::optional<double> &highest, std::optional<double> v)
{
    if (v && (!highest || *v > *highest))
        highest = v;
}

QString clock(double seconds)
{
    const qint64 s = std::llround(seconds);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600)
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

void RunSummary::add(QByteArrayView text)
{
    const Row r = parse(text);
    Point p;
    p.volts = r.volts.value_or(0);
    p.amps = std::abs(r.amps.value_or(0));
    const double signedAmps = r.amps.value_or(0);
    const double timeOfDay = r.time.value_or(lastTimeOfDay_);
    if (points_.empty()) {
        startTime_ = timeOfDay;
    } else {
        const Point &q = points_.back();
        double dt = timeOfDay - lastTimeOfDay_;
        if (dt < 0) // past midnight: the table keeps the time of day
            dt += Day;
        const double dq = (lastAmps_ + signedAmps) / 2 * dt;
        const double de = (q.volts * lastAmps_ + p.volts * signedAmps) / 2 * dt;
        (dq > 0 ? charged_ : discharged_) += std::abs(dq);
        (de > 0 ? chargedEnergy_ : dischargedEnergy_) += std::abs(de);
        p.seconds = q.seconds + dt;
        p.charge = q.charge + std::abs(dq);
        p.energy = q.energy + std::abs(de);
        const double rise = p.amps - q.amps;
        if (atRest_ && p.amps >= RestAmps && rise >= StepAmps && dt <= StepSeconds)
            resistance_ = std::abs(p.volts - q.volts) / rise * 1000;
    }
    atRest_ = atRest_ && p.amps < RestAmps;
    lastTimeOfDay_ = timeOfDay;
    lastAmps_ = signedAmps;
    peak_ = std::max(peak_, p.amps);
    raise(extMax_, r.extTemp);
    raise(intMax_, r.intTemp);
    if (const auto s = r.lithium ? spread(r.cells) : std::nullopt;
        s && (!spread_ || *s > spread_->volts))
        spread_ = CellSpread { *s, startTime_ + p.seconds };
    points_.push_back(p);
}

RunSummary RunSummary::of(const SampleTable &table)
{
    RunSummary summary;
    summary.points_.reserve(std::size_t(std::max<qint64>(table.rows() - 1, 0)));
    for (qint64 row = 1; row < table.rows(); ++row)
        summary.add(table.rowBytes(row));
    return summary;
}

double RunSummary::averageAmps() const
{
    if (seconds() > 0)
        return (charged_ + discharged_) / seconds();
    return points_.empty() ? 0 : points_.front().amps;
}

RunSummary::Difference RunSummary::between(qsizetype from, qsizetype to) const
{
    if (from < 0 || to < 0 || from >= samples() || to >= samples())
        return {};
    const Point &a = points_[from];
    const Point &b = points_[to];
    return { b.seconds - a.seconds, b.volts - a.volts, b.amps - a.amps, (b.charge - a.charge) / 3.6,
             (b.energy - a.energy) / 3600 };
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
                 + clock(std::abs(seconds)),
             n(volts, 2), n(amps, 2), n(mAh, 0), n(wh, 3));
}

QString RunSummary::line() const
{
    if (points_.empty())
        return {};
    const auto n = [](double v, int decimals) { return QString::number(v, 'f', decimals); };
    QStringList parts { clock(seconds()) };
    if (charged_ > 0 || discharged_ == 0)
        parts << QStringLiteral("Charged %1 mAh %2 Wh").arg(n(chargedMah(), 0), n(chargedWh(), 2));
    if (discharged_ > 0)
        parts << QStringLiteral("Discharged %1 mAh %2 Wh")
                     .arg(n(dischargedMah(), 0), n(dischargedWh(), 2));
    parts << QStringLiteral("Avg %1 A  Peak %2 A").arg(n(averageAmps(), 2), n(peak_, 2));
    if (extMax_)
        parts << QStringLiteral("Ext max %1℃").arg(n(*extMax_, 1));
    if (intMax_)
        parts << QStringLiteral("Int max %1℃").arg(n(*intMax_, 1));
    parts << QStringLiteral("%1→%2 V").arg(n(startVolts(), 2), n(endVolts(), 2));
    if (spread_)
        parts << QStringLiteral("Cell spread %1 V @%2")
                     .arg(n(spread_->volts, 2), clock(spread_->atSeconds));
    if (resistance_)
        parts << QStringLiteral("R %1 mΩ (estimate)").arg(n(*resistance_, 0));
    return parts.join(QStringLiteral("  "));
}
