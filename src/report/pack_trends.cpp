#include "report/pack_trends.h"

#include "book/book.h"
#include "platform/trend_chart.h"

#include <QCoreApplication>

namespace {
// The forecast's line and band from the first full discharge to the far end of its interval,
// and the level it crosses.
TrendChart::Fit eolFit(const PackForecast &eol)
{
    TrendChart::Fit fit;
    if (!eol.cycles)
        return fit;
    constexpr int Steps = 50;
    const double from = eol.firstCycles, to = *eol.high;
    for (int i = 0; i <= Steps; ++i) {
        const double x = from + (to - from) * i / Steps;
        fit.x << x;
        fit.y << eol.fitAt(x);
        fit.band << eol.bandAt(x);
    }
    fit.level = eol.threshold;
    return fit;
}
} // namespace

std::vector<double> drawPackTrends(TrendChart &capacity, TrendChart &dcir, const PackFigures *pack,
                                   bool byCycle)
{
    QVector<double> cx, cy, dx, dy;
    // Runs under no name count no cycles.
    const std::size_t shown = !pack ? 0 : byCycle ? pack->cyclesAt.size() : pack->runs.size();
    std::vector<double> runX;
    for (std::size_t i = 0; i < shown; ++i) {
        const RunFigures *r = pack->runs[i];
        const double x = byCycle ? pack->cyclesAt[i] : r->date.toMSecsSinceEpoch() / 1000.0;
        runX.push_back(x);
        if (r->kind == RunSummary::Kind::Discharge || r->kind == RunSummary::Kind::Both) {
            cx << x;
            cy << r->dischargedMah;
        }
        if (r->resistance && r->resistance->shown()) {
            dx << x;
            dy << r->resistance->milliohm;
        }
    }
    // The book window's texts, in the context its translators know them by.
    const QString xLabel = byCycle
        ? QCoreApplication::translate("BookWindow", "Equivalent full cycles")
        : QCoreApplication::translate("BookWindow", "Date");
    capacity.setLabels(xLabel, QCoreApplication::translate("BookWindow", "Discharged (mAh)"),
                       !byCycle, true);
    dcir.setLabels(xLabel, QCoreApplication::translate("BookWindow", "DCIR (mΩ)"), !byCycle);
    const bool fits = byCycle && pack;
    capacity.setPoints(cx, cy, fits ? eolFit(pack->eol) : TrendChart::Fit());
    dcir.setPoints(dx, dy, fits ? eolFit(pack->dcirEol) : TrendChart::Fit());
    return runX;
}
