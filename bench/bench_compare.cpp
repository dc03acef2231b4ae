// The real main window, offscreen, 1600x1000, with eight runs of a day of samples at 1 Hz
// (86,400 each) compared in one window: the overlay drawn after the choice, a change of
// alignment and of reference (each until drawn once, as the event loop draws it), a cross-line
// move with "CrossLine" checked (read-out, the information panel and every repaint included; on
// the wall clock and in CPU, as the machine is shared), and what a live run in the comparison
// costs per sample beside what it costs without the comparison; then the same eight runs read from
// their files into a new comparison, until every one is drawn, with the longest the GUI thread
// kept a live run's serial port waiting meanwhile. Run by hand: build/bench/bench_compare
#include "compare_feature/compare_window.h"
#include "day_sample.h"
#include "document/tee.h"
#include "platform/compare_chart.h"
#include "quiet_window.h"
#include "run/run.h"
#include "run/run_file.h"
#include "thread_cpu.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMdiArea>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {
constexpr int Runs = 8, DaySamples = 86'400, LiveSamples = 600, Moves = 1000;

double msOf(const std::function<void()> &work)
{
    QElapsedTimer t;
    t.start();
    work();
    return t.nsecsElapsed() / 1e6;
}

// What `work` took on the wall clock, then in CPU of this thread.
std::pair<double, double> wallAndCpuMsOf(const std::function<void()> &work)
{
    const qint64 cpu = threadCpuNs();
    const double wall = msOf(work);
    return { wall, (threadCpuNs() - cpu) / 1e6 };
}

std::shared_ptr<Run> dayRun(const Clock &clock, int run)
{
    auto r = std::make_shared<Run>(QStringLiteral("/runs/day%1.mdb").arg(run), clock);
    for (qint64 s = 1; s <= DaySamples; ++s) {
        // Each run a little apart from the one before.
        ChannelReading sample = daySample(s + run * 7);
        sample[Time] = DayTime { s / 86400.0 };
        r->replay(sample);
    }
    r->replayed();
    return r;
}

// Per live sample: the run takes it and every window that shows it draws it.
double livePerSample(WindowRig &rig, Run &live, qint64 &s)
{
    return msOf([&] {
               for (int i = 0; i < LiveSamples; ++i, ++s) {
                   rig.clock.advanceSeconds(1);
                   ChannelReading r = daySample(s);
                   live.offer(r);
                   QApplication::processEvents();
               }
           })
        / LiveSamples;
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    QApplication app(argc, argv);
    WindowRig rig;
    openQuietWindow(rig);
    std::vector<std::shared_ptr<Run>> runs;
    for (int run = 0; run < Runs; ++run)
        runs.push_back(dayRun(rig.clock, run));

    CompareWindow *window = nullptr;
    int drawings = 0;
    const auto [overlay, overlayCpu] = wallAndCpuMsOf([&] {
        window = new CompareWindow(rig.window);
        rig.area().addSubWindow(window);
        for (const auto &run : runs)
            window->addRun(run);
        window->showMaximized();
        QObject::connect(window->chart().plot(), &QCustomPlot::afterReplot, [&] { ++drawings; });
        QApplication::processEvents(); // the queued drawing and its repaint
    });
    QCustomPlot *plot = window->chart().plot();
    std::printf("plot %dx%d, %d runs of %d samples\n", plot->width(), plot->height(), Runs,
                DaySamples);
    std::printf("overlay drawn after the choice: %.1f ms, %.1f ms CPU of the GUI thread (drawn %d "
                "time(s))\n",
                overlay, overlayCpu, drawings);
    CompareFile::Comparison s = window->settings();
    const auto change = [&](const char *what, auto edit) {
        edit(s);
        const auto [ms, cpu] = wallAndCpuMsOf([&] {
            window->apply(s);
            QApplication::processEvents(); // the queued drawing and its repaint
        });
        std::printf("%s: %.1f ms, %.1f ms CPU (drawn %d time(s) in all)\n", what, ms, cpu,
                    drawings);
    };
    change("alignment to capacity", [](auto &c) { c.alignment = Compare::Alignment::Capacity; });
    change("alignment to constant voltage",
           [](auto &c) { c.alignment = Compare::Alignment::ConstantVoltage; });
    change("alignment to the start", [](auto &c) { c.alignment = Compare::Alignment::Start; });
    change("view to difference", [](auto &c) { c.view = CompareFile::View::Difference; });
    change("reference to run 2", [](auto &c) { c.reference = 1; });
    change("view to overlay", [](auto &c) { c.view = CompareFile::View::Overlay; });

    rig.click(QStringLiteral("Tools"), QStringLiteral("CrossLine"));
    const QRect rect = plot->axisRect()->rect();
    const qint64 threadStart = threadCpuNs(), processStart = processCpuNs();
    const double move
        = msOf([&] {
              for (int i = 0; i < Moves; ++i) {
                  const QPoint at(rect.left() + i % rect.width(), rect.top() + i % rect.height());
                  QMouseEvent event(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, {},
                                    {});
                  QCoreApplication::sendEvent(plot, &event);
                  QApplication::processEvents();
              }
          })
        / Moves;
    std::printf("cross-line move: %.3f ms, %.3f ms CPU of the GUI thread, %.3f ms with Qt's "
                "painting threads\n",
                move, (threadCpuNs() - threadStart) / 1e6 / Moves,
                (processCpuNs() - processStart) / 1e6 / Moves);
    rig.click(QStringLiteral("Tools"), QStringLiteral("CrossLine"));

    // A live run in a window of its own, first beside the comparison, then in it too.
    auto live = std::make_shared<Run>(QStringLiteral("CH1 Chart 9"), rig.clock);
    live->goLive(1, {});
    auto *liveWindow = new tee(rig.window);
    rig.area().addSubWindow(liveWindow);
    liveWindow->InitDoc(&rig.window.Menu(), QString(), true);
    liveWindow->showRun(live);
    qint64 second = 1;
    livePerSample(rig, *live, second); // the live window's first draws
    const double without = livePerSample(rig, *live, second);
    window->addWindow(*liveWindow);
    const double with = livePerSample(rig, *live, second);
    std::printf("live sample: %.3f ms with the comparison, %.3f ms without: %.3f ms for the "
                "comparison\n",
                with, without, with - without);

    // The runs written to files, then read into a comparison of their own.
    QTemporaryDir dir;
    QStringList files;
    for (int run = 0; run < Runs; ++run) {
        files << dir.filePath(QStringLiteral("day%1.mdb").arg(run));
        const Samples &samples = runs[size_t(run)]->samples();
        if (const QString failure
            = RunFile::write(files.last(), QStringLiteral("day"), samples.count(),
                             [&](qint64 row, int field) { return samples.text(row, field); });
            !failure.isEmpty())
            qFatal("%s", qPrintable(failure));
    }
    auto *reading = new CompareWindow(rig.window);
    rig.area().addSubWindow(reading);
    reading->showMaximized();
    QEventLoop loop;
    QObject::connect(reading, &CompareWindow::loaded, &loop, &QEventLoop::quit);
    QTimer tick; // what a serial port's bytes wait for, at most
    QElapsedTimer sinceTick;
    qint64 longestWaitNs = 0;
    bool progressShown = false;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestWaitNs = std::max(longestWaitNs, sinceTick.nsecsElapsed());
        sinceTick.start();
        const auto *bar = reading->findChild<QProgressBar *>();
        progressShown = progressShown || (bar && bar->isVisible() && bar->maximum() > 0);
    });
    const double load = msOf([&] {
        sinceTick.start();
        tick.start(1);
        for (const QString &file : files)
            reading->addFile(file);
        loop.exec();
        reading->chart().plot()->replot();
    });
    tick.stop();
    std::printf("%d runs read from files and drawn: %.0f ms, progress shown: %s, the GUI thread "
                "held at most %.1f ms\n",
                reading->runCount(), load, progressShown ? "yes" : "no", longestWaitNs / 1e6);
    return 0;
}
