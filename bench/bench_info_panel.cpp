// The information panel: one live reading shown, with the repaints it causes, over 10,000
// readings of a charging lithium pack; then how many controls a repeated reading repaints.
// Run by hand: build/bench/bench_info_panel
#include "platform/dialogs.h"
#include "setup/infoform1.h"
#include "support/scripted_dialogs.h"
#include "thread_cpu.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Readings = 10'000;

ChannelReading sample(int s)
{
    ChannelReading r;
    r[Type] = "LiIo/Po/Fe";
    r[Chg] = "+CHG+";
    r[Ext_temp] = 25 + s / 900;
    r[In_temp] = 30 + s / 600;
    r[In_Volt] = "12.00";
    r[Bat_volt] = Fixed::fromHundredths(1110 + s * 150 / Readings).format2();
    r[Current] = Fixed::fromHundredths(200 - s % 3).format2();
    r[Cap] = s * 2000 / Readings;
    r[Power] = Fixed::fromHundredths(2220 + s % 40).format2();
    for (int c = 0; c < 12; ++c)
        r[C1 + c] = Fixed::fromHundredths(c < 3 ? 370 + c + (s + 7 * c) % 50 : 0);
    return r;
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    Infoform1 panel(dialogs);
    panel.resize(1600, 140);
    panel.show();
    QApplication::processEvents();

    QElapsedTimer timer;
    qint64 total = 0, worst = 0, cpuTotal = 0, cpuWorst = 0, first = 0;
    int over = 0;
    for (int s = 0; s < Readings; ++s) {
        const ChannelReading r = sample(s);
        timer.start();
        const qint64 cpu = threadCpuNs();
        panel.ShowReading(r);
        QApplication::processEvents(); // the repaints
        const qint64 ns = timer.nsecsElapsed();
        const qint64 cpuNs = threadCpuNs() - cpu;
        cpuTotal += cpuNs;
        cpuWorst = std::max(cpuWorst, cpuNs);
        total += ns;
        worst = std::max(worst, ns);
        first = s == 0 ? ns : first;
        over += ns > 1'000'000;
    }
    std::printf("ShowReading with repaints: mean %.3f ms, worst %.3f ms over %d readings, "
                "%d over 1 ms\n",
                total / 1e6 / Readings, worst / 1e6, Readings, over);
    std::printf("the first reading (every control leaves zero, three scales grow): %.3f ms\n",
                first / 1e6);
    std::printf("the same in CPU time of the thread: mean %.3f ms, worst %.3f ms\n",
                cpuTotal / 1e6 / Readings, cpuWorst / 1e6);

    PaintCounter counter;
    for (QWidget *w : panel.findChildren<QWidget *>())
        w->installEventFilter(&counter);
    const ChannelReading same = sample(Readings - 1);
    panel.ShowReading(same);
    QApplication::processEvents();
    std::printf("controls repainted by the same reading again: %d\n", counter.paints);
    return 0;
}
