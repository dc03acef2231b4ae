// The information panel: one live reading shown, with the repaints it causes, over 10,000
// readings of a charging lithium pack, at 100 % and at 200 %; then how many controls a repeated
// reading repaints. Each scale runs three times in a process of its own (the scale is fixed
// when a program starts), and a reading counts with the least CPU time of its three runs: the
// machine is shared, and what another program costs this one is not the panel's.
// Run by hand: build/bench/bench_info_panel
#include "platform/core/clock.h"
#include "platform/dialogs.h"
#include "setup/infoform1.h"
#include "support/scripted_dialogs.h"
#include "thread_cpu.h"

#include <QApplication>
#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int Readings = 10'000, Runs = 3;

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

// One run: the CPU time of each reading in nanoseconds, one a line, then the repaints.
int run(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ScriptedDialogs dialogs;
    SystemClock clock;
    Infoform1 panel(dialogs, clock);
    panel.resize(1600, 140);
    panel.show();
    QApplication::processEvents();
    for (int s = 0; s < Readings; ++s) {
        const ChannelReading r = sample(s);
        const qint64 cpu = threadCpuNs();
        panel.ShowReading(r);
        QApplication::processEvents(); // the repaints
        std::printf("%lld\n", threadCpuNs() - cpu);
    }
    PaintCounter counter;
    for (QWidget *w : panel.findChildren<QWidget *>())
        w->installEventFilter(&counter);
    panel.ShowReading(sample(Readings - 1));
    QApplication::processEvents();
    std::printf("%d\n", counter.paints);
    return 0;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], "--run") == 0)
        return run(argc, argv);
    QCoreApplication app(argc, argv);
    for (const char *scale : { "1", "2" }) {
        std::vector<qint64> least(Readings, std::numeric_limits<qint64>::max());
        int repaints = -1;
        for (int i = 0; i < Runs; ++i) {
            QProcess child;
            QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
            environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::fromLatin1(scale));
            child.setProcessEnvironment(environment);
            child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            child.start(QCoreApplication::applicationFilePath(), { QStringLiteral("--run") });
            child.waitForFinished(-1);
            const QList<QByteArray> lines = child.readAllStandardOutput().split('\n');
            if (child.exitCode() != 0 || lines.size() < Readings + 1) {
                std::fprintf(stderr, "a run at %s00 %% failed\n", scale);
                return 1;
            }
            for (int s = 0; s < Readings; ++s)
                least[s] = std::min(least[s], lines[s].toLongLong());
            repaints = lines[Readings].toInt();
        }
        const auto worst = std::max_element(least.begin(), least.end());
        qint64 total = 0;
        for (qint64 ns : least)
            total += ns;
        std::printf(
            "at %s00 %%: ShowReading with its repaints in CPU time of the thread, the least "
            "of %d runs: mean %.3f ms, worst %.3f ms (reading %d), first %.3f ms, "
            "%d over 1 ms; the same reading again repaints %d controls\n",
            scale, Runs, total / 1e6 / Readings, *worst / 1e6, int(worst - least.begin()),
            least[0] / 1e6,
            int(std::count_if(least.begin(), least.end(),
                              [](qint64 ns) { return ns > 1'000'000; })),
            repaints);
    }
    return 0;
}
