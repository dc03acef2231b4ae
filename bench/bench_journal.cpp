// The cost of the recovery journal: a day of samples at 1 Hz (86,400) recorded into a live
// chart window with and without its journal, and 1,000 samples more at that size. The journal
// is forced to disk every 2 s of the fake clock by a worker; the GUI thread still waits for the
// disk at SQLite's own checkpoints, so its wall time depends a little on the disk's sync.
// Run by hand: build/bench/bench_journal [folder for the journal, default a temporary one]
#include "day_sample.h"
#include "document/tee.h"
#include "run/run.h"
#include "support/fake_document_host.h"
#include "thread_cpu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int Samples = 86'400;
constexpr int More = 1'000;

// Mean milliseconds of Proc per accepted sample, on the wall and of the thread's CPU.
struct Cost {
    double wall, cpu;
};

// Over the whole day, then at its end.
std::pair<Cost, Cost> record(QMdiArea &area, const QString &journals)
{
    FakeDocumentHost host;
    auto *doc = new tee(host);
    area.addSubWindow(doc);
    doc->InitDoc(nullptr, QString(), true);
    auto live = std::make_shared<Run>(QStringLiteral("CH1 Chart 1"), host.fakeClock);
    live->goLive(1, { journals, &host.work });
    doc->showRun(live);
    const auto run = [&](qint64 from, qint64 to) {
        qint64 wall = 0, cpu = 0;
        for (qint64 s = from; s < to; ++s) {
            host.fakeClock.advanceSeconds(1);
            ChannelReading r = daySample(s);
            QElapsedTimer t;
            t.start();
            const qint64 cpuStart = threadCpuNs();
            doc->Proc(r, false);
            cpu += threadCpuNs() - cpuStart;
            wall += t.nsecsElapsed();
            host.shown.clear();
        }
        const double n = 1e6 * double(to - from);
        return Cost { wall / n, cpu / n };
    };
    const Cost day = run(1, Samples + 1);
    const Cost end = run(Samples + 1, Samples + 1 + More);
    delete doc;
    return { day, end };
}
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    QMdiArea area;
    area.resize(1600, 900);
    area.show();
    const auto [bareDay, bareEnd] = record(area, QString());
    const auto [journalDay, journalEnd] = record(area, folder);
    const auto print = [](const char *what, const Cost &bare, const Cost &journal) {
        std::printf("%s: %.3f ms without the journal, %.3f ms with it (+%.3f ms); CPU %.3f ms, "
                    "%.3f ms (+%.3f ms)\n",
                    what, bare.wall, journal.wall, journal.wall - bare.wall, bare.cpu, journal.cpu,
                    journal.cpu - bare.cpu);
    };
    std::printf("Proc per accepted sample, mean\n");
    print("over a day of samples", bareDay, journalDay);
    print("over 1000 more at its end", bareEnd, journalEnd);
    return 0;
}
