// A chart window holding a day of samples at 1 Hz (86,400): the cost of one more live sample
// (append, rescale, redraw) and the memory each recorded sample takes.
// Run by hand: build/bench/bench_live_sample
#include "day_of_samples.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "support/fake_document_host.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>

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
} // namespace

int main(int argc, char **argv)
{
    BenchWindow window(argc, argv);
    FakeDocumentHost &host = window.host;
    tee *doc = window.doc;
    QApplication::processEvents();

    const long before = residentKiB();
    const size_t heapBefore = mallinfo2().uordblks + mallinfo2().hblkhd;
    for (qint64 s = 1; s <= Samples; ++s) {
        host.fakeClock.advanceSeconds(1);
        ChannelReading r = daySample(s);
        doc->Proc(r, false);
        host.shown.clear(); // the test host keeps what the panel was shown; the program does not
    }
    doc->chart().redrawNow();
    const long after = residentKiB();
    const size_t heapAfter = mallinfo2().uordblks + mallinfo2().hblkhd;
    std::printf("heap in use: %.0f bytes per sample\n", double(heapAfter - heapBefore) / Samples);
    std::printf("%lld samples recorded, %.0f bytes of memory per sample (process resident size)\n",
                static_cast<long long>(doc->RtnGridRows() - 1),
                (after - before) * 1024.0 / Samples);

    constexpr int Rounds = 50;
    double worst = 0, total = 0;
    for (int i = 0; i < Rounds; ++i) {
        host.fakeClock.advanceSeconds(1);
        ChannelReading r = daySample(Samples + i);
        QElapsedTimer t;
        t.start();
        doc->Proc(r, false);
        doc->chart().redrawNow();
        const double ms = t.nsecsElapsed() / 1e6;
        worst = std::max(worst, ms);
        total += ms;
    }
    std::printf(
        "one more live sample at %d (append, rescale, redraw): %.1f ms mean, %.1f ms worst\n",
        Samples, total / Rounds, worst);
    return 0;
}
