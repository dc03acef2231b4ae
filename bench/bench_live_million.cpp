// A live run of 1,000,000 samples (11.5 days at 1 Hz) in a chart window of the real main
// window, offscreen, 1600x1000: what one more sample costs the GUI thread in the window (the
// points added, the axes rescaled, the summary line) and in its redraw, and the cross-hair move.
// Run by hand: build/bench/bench_live_million
#include "day_sample.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "quiet_window.h"
#include "run/run.h"
#include "thread_cpu.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QMdiArea>

#include <cstdio>

namespace {
constexpr qint64 Million = 1'000'000;
constexpr int Rounds = 200;

ChannelReading sampleAt(qint64 s)
{
    ChannelReading r = daySample(s);
    r[Time] = DayTime { s / 86400.0 };
    return r;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication app(argc, argv);
    WindowRig rig;
    openQuietWindow(rig);
    auto live = std::make_shared<Run>(QStringLiteral("CH1 Chart 9"), rig.clock);
    // Timed from the first slot the run calls to the last: the window's own work on a sample.
    qint64 drawStart = 0, drawNs = 0;
    QObject::connect(live.get(), &Run::recorded, [&] { drawStart = threadCpuNs(); });
    live->goLive(1, {}, Run::Source::Station);
    auto *doc = new tee(rig.window);
    rig.area().addSubWindow(doc);
    doc->InitDoc(&rig.window.Menu(), QString(), true);
    doc->showRun(live);
    QObject::connect(live.get(), &Run::recorded, [&] { drawNs += threadCpuNs() - drawStart; });
    doc->showMaximized();
    QApplication::processEvents();

    qint64 s = 1;
    const qint64 fillCpu = threadCpuNs();
    for (; s <= Million; ++s) {
        ChannelReading r = sampleAt(s);
        live->relay(r);
        if (s % 100'000 == 0)
            QApplication::processEvents();
    }
    QApplication::processEvents();
    QCustomPlot *plot = doc->chart().plot();
    std::printf("plot %dx%d; %lld samples recorded in %.1f s CPU\n", plot->width(), plot->height(),
                static_cast<long long>(live->samples().count()), (threadCpuNs() - fillCpu) / 1e9);

    drawNs = 0;
    qint64 redrawNs = 0, worstNs = 0;
    int replots = 0;
    QObject::connect(plot, &QCustomPlot::beforeReplot, [&] { ++replots; });
    for (int i = 0; i < Rounds; ++i, ++s) {
        ChannelReading r = sampleAt(s);
        live->relay(r);
        const qint64 start = threadCpuNs();
        QApplication::processEvents(); // the queued redraw and its repaint
        const qint64 ns = threadCpuNs() - start;
        redrawNs += ns;
        worstNs = std::max(worstNs, ns);
    }
    const double window = drawNs / 1e6 / Rounds, redraw = redrawNs / 1e6 / Rounds;
    std::printf("one more live sample at %lld: %.3f ms in the window (points, axes, summary) + "
                "%.3f ms redraw (%.3f ms worst) = %.3f ms of the GUI thread (CPU)\n",
                static_cast<long long>(Million), window, redraw, worstNs / 1e6, window + redraw);
    std::printf("whole plot drawn again for %d of the %d samples\n", replots, Rounds);

    rig.click(QStringLiteral("Tools"), QStringLiteral("CrossLine"));
    const QRect rect = plot->axisRect()->rect();
    constexpr int Moves = 1000;
    const qint64 moveStart = threadCpuNs();
    for (int i = 0; i < Moves; ++i) {
        const QPoint at(rect.left() + i % rect.width(), rect.top() + i % rect.height());
        QMouseEvent event(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, {}, {});
        QCoreApplication::sendEvent(plot, &event);
        QApplication::processEvents();
    }
    std::printf("cross-hair move at %lld samples: %.3f ms CPU\n", static_cast<long long>(Million),
                (threadCpuNs() - moveStart) / 1e6 / Moves);
    return 0;
}
