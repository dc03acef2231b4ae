// How long the logger's work holds the event loop that serves the serial line: a day of
// samples at 1 Hz (86,400) recorded with its journal and the notices, then the run's end,
// which starts its file's writing and tells the desktop. A frame waits in the line's buffer
// (4 KiB, four seconds of frames) while the loop is held.
// Run by hand: build/bench/bench_logger_hold [folder for the journal, default a temporary one]
#include "day_sample.h"
#include "notify/run_notices.h"
#include "platform/core/background.h"
#include "platform/core/notifier.h"
#include "platform/core/settings.h"
#include "run/live_runs.h"
#include "run/run_writer.h"
#include "support/fake_clock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString journals = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    FakeClock clock;
    Background work;
    RunHub hub;
    LiveRuns runs(hub, clock, { journals, &work });
    DBusNotifier notifier(QStringLiteral("chargemon"), QStringLiteral("chargemon"));
    Settings settings(temp.filePath(QStringLiteral("chargemon.ini")));
    RunNotices notices(hub, notifier, settings);
    bool written = false;
    QObject::connect(&hub, &RunHub::runEnded, &app, [&](const std::shared_ptr<Run> &run) {
        auto *writer = new RunFile::Writer(temp.filePath(QStringLiteral("day.mdb")), run->title(),
                                           run->samples(), work, &app);
        QObject::connect(writer, &RunFile::Writer::finished, &app, [&] { written = true; });
    });

    QElapsedTimer t;
    qint64 longest = 0, total = 0;
    for (qint64 s = 0; s <= 86'400; ++s) {
        ChannelReading r = daySample(s);
        t.start();
        runs.Reading_Proc(1, r);
        const qint64 ns = t.nsecsElapsed();
        longest = std::max(longest, ns);
        total += ns;
        clock.advanceSeconds(1);
        if (s % 1000 == 0)
            QCoreApplication::processEvents();
    }
    t.start();
    runs.EndLiveDoc(1);
    const qint64 end = t.nsecsElapsed();
    t.start();
    while (!written)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    std::printf("a sample with its journal: mean %.3f ms, longest %.1f ms\n"
                "the end of a day's run (journal synced, writing started, notices): %.1f ms\n"
                "its file written in the background in %.0f ms\n",
                total / 86'401.0 / 1e6, longest / 1e6, end / 1e6, t.nsecsElapsed() / 1e6);
    return 0;
}
