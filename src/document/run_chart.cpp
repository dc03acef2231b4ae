#include "document/run_chart.h"

#include "document/axis_rules.h"
#include "platform/chart.h"
#include "run/run.h"

namespace {
double plotted(const Value &v)
{
    return v.number().value_or(Fixed()).toDouble();
}
} // namespace

void plotSample(Chart &chart, const ChannelReading &sample, double days)
{
    chart.addPoint(Chart::Voltage, days, plotted(sample[Bat_volt]));
    chart.addPoint(Chart::Current, days, std::abs(plotted(sample[Current])));
    chart.addPoint(Chart::Capacity, days, plotted(sample[Cap]));
    chart.addPoint(Chart::Temperature, days, plotted(sample[Ext_temp]));
    chart.setTimeMax(AxisRules::grownTimeMax(chart.timeRange().max, days));
}

void plotSamples(Chart &chart, const SampleBatch &rows)
{
    const Samples &s = rows.samples;
    std::vector<double> y(rows.days.size());
    const auto plot = [&](int series, int field, bool magnitude) {
        for (qint64 r = 0; r < s.count(); ++r) {
            Fixed n;
            s.number(r, field, n);
            y[size_t(r)] = magnitude ? std::abs(n.toDouble()) : n.toDouble();
        }
        chart.addPoints(series, rows.days, y);
    };
    plot(Chart::Voltage, Bat_volt, false);
    plot(Chart::Current, Current, true);
    plot(Chart::Capacity, Cap, false);
    plot(Chart::Temperature, Ext_temp, false);
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
