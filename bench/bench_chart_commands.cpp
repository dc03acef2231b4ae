// A chart window holding a day of samples at 1 Hz (86,400): a cross-hair move (search,
// read-out, panel update and the repaint it causes), without and with a two-point label, and the
// CSV export against a plain write of the same bytes. Run by hand: build/bench/bench_chart_commands
#include "day_of_samples.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "platform/sample_table.h"
#include "support/fake_document_host.h"
#include "thread_cpu.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// Wall time and this thread's processor time: the machine may be shared.
class Stopwatch {
public:
    Stopwatch() { wall_.start(), cpu_ = threadCpuNs(); }
    double wallMs() const { return wall_.nsecsElapsed() / 1e6; }
    QString text(int per = 1) const
    {
        return QStringLiteral("%1 ms wall, %2 ms CPU")
            .arg(wallMs() / per, 0, 'f', 3)
            .arg((threadCpuNs() - cpu_) / 1e6 / per, 0, 'f', 3);
    }

private:
    QElapsedTimer wall_;
    qint64 cpu_;
};
} // namespace

int main(int argc, char **argv)
{
    BenchWindow window(argc, argv, QStringLiteral("/runs/day.mdb"));
    FakeDocumentHost &host = window.host;
    tee *doc = window.doc;
    doc->RePaint(true);
    for (qint64 s = 1; s <= Samples; ++s) {
        ChannelReading r = daySample(s);
        r[Time] = DayTime { s / 86400.0 };
        doc->Proc(r, true);
    }
    doc->RePaint(false);
    QApplication::processEvents();

    // As with "CrossLine" checked; a move then reads the sample under the cursor.
    CrossLineFlag = true;
    QCustomPlot *plot = doc->chart().plot();
    int replots = 0;
    QObject::connect(plot, &QCustomPlot::afterReplot, [&replots] { ++replots; });
    const QRect rect = plot->axisRect()->rect();
    constexpr int Moves = 1000;
    const auto send = [plot](QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys = {}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, plot->mapToGlobal(at), button, {}, keys);
        QCoreApplication::sendEvent(plot, &event);
    };
    // Without and then with a reference sample (its line, and the label of differences).
    for (const char *what : { "", " with a two-point label" }) {
        const qsizetype shown = host.shown.size();
        replots = 0;
        Stopwatch move;
        for (int i = 0; i < Moves; ++i) {
            send(QEvent::MouseMove,
                 QPoint(rect.left() + i * rect.width() / Moves, rect.top() + i % rect.height()));
            QApplication::processEvents(); // the repaint the move asked for
        }
        std::printf("cross-hair move%s over %d samples (search, read-out, panel, repaint): %s "
                    "mean; %lld read-outs, %d full replots\n",
                    what, Samples, qPrintable(move.text(Moves)),
                    static_cast<long long>(host.shown.size() - shown), replots);
        send(QEvent::MouseButtonPress, rect.center(), Qt::ShiftModifier);
        send(QEvent::MouseButtonRelease, rect.center(), Qt::ShiftModifier);
        CrossLineFlag = true;
    }

    // The export and a plain write of its bytes, alternately; the best of three each.
    QTemporaryDir dir;
    QByteArray bytes;
    QString exportMs, plainMs;
    double exportBest = 1e9, plainBest = 1e9;
    for (int round = 0; round < 3; ++round) {
        const QString csv = dir.filePath(QStringLiteral("day%1.csv").arg(round));
        Stopwatch exporting;
        const QString failure = doc->table().writeCsv(csv);
        if (!failure.isEmpty())
            qFatal("%s", qPrintable(failure));
        if (exporting.wallMs() < exportBest)
            exportBest = exporting.wallMs(), exportMs = exporting.text();
        QFile written(csv);
        written.open(QIODevice::ReadOnly);
        bytes = written.readAll();
        QFile plain(dir.filePath(QStringLiteral("plain%1.csv").arg(round)));
        Stopwatch writing;
        plain.open(QIODevice::WriteOnly);
        plain.write(bytes);
        plain.close();
        if (writing.wallMs() < plainBest)
            plainBest = writing.wallMs(), plainMs = writing.text();
    }
    std::printf("export of %lld rows (%lld bytes): %s; plain buffered write of the same bytes: "
                "%s; ratio %.2f (wall)\n",
                static_cast<long long>(doc->RtnGridRows() - 1),
                static_cast<long long>(bytes.size()), qPrintable(exportMs), qPrintable(plainMs),
                exportBest / plainBest);
    return 0;
}
