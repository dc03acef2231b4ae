// The run summary of a day of samples at 1 Hz (86,400 rows): a full pass over the sample
// table, as an opened run takes it, and the cost of one more live sample (add, and the line
// set on a chart, which cuts it to the chart's width).
// Run by hand: build/bench/bench_run_summary
#include "day_sample.h"
#include "platform/chart.h"
#include "run/run_summary.h"
#include "run/samples.h"
#include "thread_cpu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTime>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Rows = 86'400;

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Chart chart;
    chart.resize(1200, 700);
    chart.setRedrawSuspended(true); // drawing is the chart's cost, measured elsewhere
    Samples table;
    for (int s = 1; s <= Rows; ++s) {
        ChannelReading r = daySample(s);
        r[Time] = DayTime { s / 86400.0 };
        table.append(r);
    }

    constexpr int Passes = 20;
    double best = 1e9, total = 0, cpu = 0;
    RunSummary summary;
    for (int i = 0; i < Passes; ++i) {
        QElapsedTimer t;
        t.start();
        const double cpuStart = threadCpuNs() / 1e6;
        summary = RunSummary::of(table);
        cpu += threadCpuNs() / 1e6 - cpuStart;
        const double ms = t.nsecsElapsed() / 1e6;
        best = std::min(best, ms);
        total += ms;
    }
    std::printf("full pass over %d rows: %.2f ms mean, %.2f ms best, %.2f ms CPU mean\n", Rows,
                total / Passes, best, cpu / Passes);

    constexpr int Rounds = 1000;
    double worst = 0;
    total = 0;
    cpu = 0;
    qsizetype length = 0;
    for (int i = 0; i < Rounds; ++i) {
        ChannelReading next = daySample(Rows + 1 + i);
        next[Time] = DayTime { (Rows + 1 + i) % 86400 / 86400.0 };
        QElapsedTimer t;
        t.start();
        const double cpuStart = threadCpuNs() / 1e6;
        summary.add(next);
        chart.setSubtitleLine(summary.line());
        length += chart.subtitleLine().size();
        cpu += threadCpuNs() / 1e6 - cpuStart;
        const double ms = t.nsecsElapsed() / 1e6;
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf("one more live sample at %d (add, line on the chart): %.4f ms mean, %.4f ms worst, "
                "%.4f ms CPU mean\n",
                Rows, total / Rounds, worst, cpu / Rounds);
    std::printf("%s (%lld characters)\n", qPrintable(summary.line()),
                static_cast<long long>(length / Rounds));
    return 0;
}
