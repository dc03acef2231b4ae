// The run summary of a day of samples at 1 Hz (86,400 rows): a full pass over the sample
// table, as an opened run takes it, and the cost of one more live sample (add, and the line
// set on a chart, which cuts it to the chart's width).
// Run by hand: build/bench/bench_run_summary
#include "document/run_summary.h"
#include "platform/chart.h"
#include "platform/sample_table.h"
#include "thread_cpu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTime>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Samples = 86'400;

QByteArray row(int s)
{
    QByteArray r = QTime(0, 0).addSecs(s).toString("hh:mm:ss").toLatin1();
    r += "\tLiIo/Po/Fe\t+CHG+\t" + QByteArray::number(25 + s % 7) + "\t31\t15.00\t"
        + QByteArray::number((1500 + s % 180) / 100.0, 'f', 2) + '\t'
        + QByteArray::number((200 - s % 50) / 100.0, 'f', 2) + '\t' + QByteArray::number(s / 2)
        + "\t30.00";
    for (int c = 0; c < 12; ++c)
        r += '\t' + (c < 4 ? QByteArray::number((380 + (s + c) % 40) / 100.0, 'f', 2) : "0");
    return r;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Chart chart;
    chart.resize(1200, 700);
    chart.setRedrawSuspended(true); // drawing is the chart's cost, measured elsewhere
    SampleTable table;
    table.prepare(QStringList(22, QStringLiteral("c")), QList<int>(22, 35), Qt::white);
    for (int s = 1; s <= Samples; ++s)
        table.appendRow(row(s));

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
    std::printf("full pass over %d rows: %.2f ms mean, %.2f ms best, %.2f ms CPU mean\n", Samples,
                total / Passes, best, cpu / Passes);

    constexpr int Rounds = 1000;
    double worst = 0;
    total = 0;
    cpu = 0;
    qsizetype length = 0;
    for (int i = 0; i < Rounds; ++i) {
        const QByteArray next = row(Samples + 1 + i);
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
                Samples, total / Rounds, worst, cpu / Rounds);
    std::printf("%s (%lld characters)\n", qPrintable(summary.line()),
                static_cast<long long>(length / Rounds));
    return 0;
}
