#include "document/run_chart.h"

#include "document/axis_rules.h"
#include "platform/chart.h"
#include "run/run.h"

#include <array>

namespace {
double plotted(const Value &v)
{
    return v.number().value_or(Fixed()).toDouble();
}

// What each series of the chart plots: a field, the current as its magnitude.
struct Plot {
    int series, field;
    bool magnitude;
};
constexpr std::array<Plot, 4> Plots { { { Chart::Voltage, Bat_volt, false },
                                        { Chart::Current, Current, true },
                                        { Chart::Capacity, Cap, false },
                                        { Chart::Temperature, Ext_temp, false } } };
} // namespace

void plotSample(Chart &chart, const ChannelReading &sample, double days)
{
    for (const Plot &p : Plots) {
        const double y = plotted(sample[p.field]);
        chart.addPoint(p.series, days, p.magnitude ? std::abs(y) : y);
    }
    chart.setTimeMax(AxisRules::grownTimeMax(chart.timeRange().max, days));
}

void plotSamples(Chart &chart, const SampleBatch &rows)
{
    const Samples &s = rows.samples;
    std::vector<double> y(rows.days.size());
    for (const Plot &p : Plots) {
        for (qint64 r = 0; r < s.count(); ++r) {
            Fixed n;
            s.number(r, p.field, n);
            y[size_t(r)] = p.magnitude ? std::abs(n.toDouble()) : n.toDouble();
        }
        chart.addPoints(p.series, rows.days, y);
    }
    double max = chart.timeRange().max;
    for (double days : rows.days)
        max = AxisRules::grownTimeMax(max, days);
    chart.setTimeMax(max);
}

void rescaleChart(Chart &chart)
{
    for (int s = 0; s < Chart::SeriesCount; ++s) {
        const Chart::Range r = AxisRules::rescaled(s, chart.valueExtremes(s));
        chart.setValueRange(s, r.min, r.max);
    }
}

QByteArray runChartSvg(const Run &run)
{
    Chart chart;
    chart.setRedrawSuspended(true);
    chart.setTitleLine(run.title());
    chart.setSubtitleLine(run.summary().line(RunSummary::ratedMahIn(run.title())));
    const Samples &samples = run.samples();
    for (qint64 i = 0; i < samples.count(); ++i) {
        const ChannelReading sample = samples.reading(i);
        plotSample(chart, sample, sample[Time].time()->days);
    }
    chart.setTimeAuto(true, true);
    rescaleChart(chart);
    chart.setRedrawSuspended(false);
    return chart.toSvg();
}
