// A day of samples at 1 Hz (86,400) along the program's own path: frames pushed into the serial
// port, the link's frame assembly, the live runs, and what follows them (the chart window, the
// information panel, the recovery journal). Then the cost of one more sample on that path,
// until the program is idle again, and the memory each recorded sample takes.
// Run by hand: build/bench/bench_live_sample
#include "day_of_samples.h"
#include "link/frame_builder.h"
#include "support/window_rig.h"
#include "thread_cpu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <malloc.h>

namespace {
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Second `s` of a day-long charge: capacity, current and voltage moving.
QByteArray frame(int s)
{
    return charging(Frame36Length)
        .capacity(6, s / 2)
        .pair(11, 200 - s % 50)
        .pair(15, 1500 + s % 180);
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    WindowRig rig; // journals in a folder of their own, as an installed program keeps them
    rig.port.sendOnOpen(1, frame(0)); // the port search finds a charger sending
    rig.window.load();
    rig.window.showNormal();
    rig.window.setGeometry(0, 0, 1600, 1000);
    int s = 0;
    const auto send = [&rig, &s] {
        rig.clock.advanceSeconds(1);
        rig.port.push(frame(++s));
    };
    // The search's timers run on real time; the frames keep coming until the live window opens.
    while (!rig.window.Newdoc() && s < 100) {
        send();
        QTest::qWait(40);
    }
    auto *doc = dynamic_cast<tee *>(rig.window.Newdoc());
    if (!doc)
        qFatal("no live window opened");
    doc->showMaximized();
    QApplication::processEvents();

    const long before = residentKiB();
    const size_t heapBefore = mallinfo2().uordblks + mallinfo2().hblkhd;
    QElapsedTimer day;
    day.start();
    const qint64 dayCpu = threadCpuNs();
    while (s < DayRows) {
        send();
        if (s % 600 == 0) // the timers a running program has: journal syncs, queued redraws
            QApplication::processEvents();
    }
    QApplication::processEvents();
    std::printf("a day of frames through the link and the live runs: %.1f s wall, %.1f s CPU\n",
                day.nsecsElapsed() / 1e9, (threadCpuNs() - dayCpu) / 1e9);
    const long after = residentKiB();
    const size_t heapAfter = mallinfo2().uordblks + mallinfo2().hblkhd;
    std::printf("%lld samples recorded; memory per sample: %.0f bytes of heap in use, %.0f bytes "
                "of process resident size\n",
                static_cast<long long>(doc->RtnGridRows() - 1),
                double(heapAfter - heapBefore) / DayRows, (after - before) * 1024.0 / DayRows);

    constexpr int Rounds = 50;
    double worst = 0, total = 0, cpu = 0;
    for (int i = 0; i < Rounds; ++i) {
        QElapsedTimer t;
        t.start();
        const qint64 cpuStart = threadCpuNs();
        send();
        QApplication::processEvents(); // the redraw, the panel's repaint, the journal's write
        cpu += (threadCpuNs() - cpuStart) / 1e6;
        const double ms = t.nsecsElapsed() / 1e6;
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf("one more frame at %d (frame, run, chart redraw, panel, journal): %.1f ms mean, "
                "%.1f ms worst, %.1f ms CPU mean\n",
                DayRows, total / Rounds, worst, cpu / Rounds);
    return 0;
}
