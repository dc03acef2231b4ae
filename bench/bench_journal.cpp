// The cost of the recovery journal: a day of samples at 1 Hz (86,400) recorded into a live
// chart window with and without its journal, and 1,000 samples more at that size.
// Run by hand: build/bench/bench_journal [folder for the journal, default a temporary one]
#include "document/tee.h"
#include "support/fake_document_host.h"
#include "support/readings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QTemporaryDir>

#include <cstdio>

namespace {
constexpr int Samples = 86'400;
constexpr int More = 1'000;

// Mean milliseconds of Proc per accepted sample: over the whole day, then at its end.
std::pair<double, double> record(QMdiArea &area, const QString &journals)
{
    FakeDocumentHost host;
    host.journals = journals;
    auto *doc = new tee(host);
    area.addSubWindow(doc);
    doc->InitDoc(nullptr, QStringLiteral("CH1 Chart 1 >>Live<<"), true);
    const auto run = [&](qint64 from, qint64 to) {
        qint64 ns = 0;
        for (qint64 s = from; s < to; ++s) {
            host.fakeClock.advanceSeconds(1);
            ChannelReading r = daySample(s);
            QElapsedTimer t;
            t.start();
            doc->Proc(r, false);
            ns += t.nsecsElapsed();
            host.shown.clear();
        }
        return ns / 1e6 / double(to - from);
    };
    const double day = run(1, Samples + 1);
    const double end = run(Samples + 1, Samples + 1 + More);
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
    std::printf("Proc per accepted sample, mean over %d samples: %.3f ms without the journal, "
                "%.3f ms with it (+%.3f ms)\n",
                Samples, bareDay, journalDay, journalDay - bareDay);
    std::printf("the same for %d samples more at %d: %.3f ms without, %.3f ms with (+%.3f ms)\n",
                More, Samples, bareEnd, journalEnd, journalEnd - bareEnd);
    return 0;
}
