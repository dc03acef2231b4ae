// The real main window, offscreen, with a chart window holding a day of samples at 1 Hz
// (86,400) and "CrossLine" checked: a cross-hair move (search, read-out, the information
// panel and every repaint the move causes) that reads another sample, one that only moves
// the horizontal line, and one with a two-point label; then the CSV export against a plain
// write of the same bytes, and the day printed to a PDF file in Chinese. Run by hand:
// build/bench/bench_chart_commands
#include "day_of_samples.h"
#include "document/tee.h"
#include "platform/chart.h"
#include "run/run.h"
#include "setup/infoform1.h"
#include "support/window_rig.h"
#include "thread_cpu.h"

#include <qcustomplot.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QPrinter>
#include <QTemporaryDir>

#include <cstdio>

namespace {
// Wall time, this thread's processor time and the whole program's (Qt paints large areas
// with helper threads): the machine may be shared.
class Stopwatch {
public:
    Stopwatch() { wall_.start(), cpu_ = threadCpuNs(), processCpu_ = processCpuNs(); }
    double wallMs() const { return wall_.nsecsElapsed() / 1e6; }
    QString text(int per = 1) const
    {
        return QStringLiteral("%1 ms wall, %2 ms CPU (%3 ms all threads)")
            .arg(wallMs() / per, 0, 'f', 3)
            .arg((threadCpuNs() - cpu_) / 1e6 / per, 0, 'f', 3)
            .arg((processCpuNs() - processCpu_) / 1e6 / per, 0, 'f', 3);
    }

private:
    QElapsedTimer wall_;
    qint64 cpu_, processCpu_;
};

// Paint events of the information panel's controls.
class PanelPaints : public QObject {
public:
    explicit PanelPaints(QWidget *panel) : panel_(panel) { }
    int paints = 0;
    bool eventFilter(QObject *to, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && to->isWidgetType()
            && panel_->isAncestorOf(static_cast<QWidget *>(to)))
            ++paints;
        return false;
    }

private:
    QWidget *panel_;
};
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    WindowRig rig;
    rig.ports.list.clear(); // no port is probed while the moves are timed
    rig.window.load();
    rig.window.showNormal();
    rig.window.setGeometry(0, 0, 1600, 1000);
    auto *doc = new tee(rig.window);
    rig.area().addSubWindow(doc);
    doc->InitDoc(&rig.window.Menu(), QStringLiteral("/runs/day.mdb"), true);
    doc->showMaximized();
    doc->RePaint(true);
    for (qint64 s = 1; s <= DayRows; ++s) {
        ChannelReading r = daySample(s);
        r[Time] = DayTime { s / 86400.0 };
        doc->Proc(r, true);
    }
    doc->RePaint(false);
    QApplication::processEvents();
    rig.click(QStringLiteral("Tools"), QStringLiteral("CrossLine"));
    QApplication::processEvents();

    QCustomPlot *plot = doc->chart().plot();
    Infoform1 &panel = rig.panel();
    std::printf("plot %dx%d, panel %dx%d\n", plot->width(), plot->height(), panel.width(),
                panel.height());
    int replots = 0;
    QObject::connect(plot, &QCustomPlot::afterReplot, [&replots] { ++replots; });
    PanelPaints panelPaints(&panel);
    app.installEventFilter(&panelPaints);
    const QRect rect = plot->axisRect()->rect();
    const auto send = [plot](QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys = {}) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, at, plot->mapToGlobal(at), button, {}, keys);
        QCoreApplication::sendEvent(plot, &event);
    };
    constexpr int Moves = 1000;
    const auto moves = [&](const char *what, auto at) {
        replots = 0;
        panelPaints.paints = 0;
        Stopwatch move;
        for (int i = 0; i < Moves; ++i) {
            send(QEvent::MouseMove, at(i));
            QApplication::processEvents(); // the repaints the move asked for
        }
        std::printf("cross-hair move, %s: %s per move; %.2f panel paints and %.3f full replots "
                    "per move\n",
                    what, qPrintable(move.text(Moves)), double(panelPaints.paints) / Moves,
                    double(replots) / Moves);
    };
    // A pixel to the right reads another sample (about 60 to a pixel); straight down, the same.
    const auto diagonal = [&](int i) {
        return QPoint(rect.left() + i % rect.width(), rect.top() + i % rect.height());
    };
    moves("another sample", diagonal);
    moves("the same sample",
          [&](int i) { return QPoint(rect.center().x(), rect.top() + i % rect.height()); });
    send(QEvent::MouseButtonPress, rect.center(), Qt::ShiftModifier);
    send(QEvent::MouseButtonRelease, rect.center(), Qt::ShiftModifier);
    moves("another sample, with a two-point label", diagonal);

    // The export and a plain write of its bytes, alternately; the best of ten each: the plain
    // write waits whenever the kernel is writing back what came before.
    QTemporaryDir dir;
    QByteArray bytes;
    QString exportMs, plainMs;
    double exportBest = 1e9, plainBest = 1e9;
    for (int round = 0; round < 10; ++round) {
        const QString csv = dir.filePath(QStringLiteral("day%1.csv").arg(round));
        Stopwatch exporting;
        const QString failure
            = doc->run().samples().writeCsv(csv, QStringList(FieldCount, "Caption"));
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
        // Gone before the kernel writes them back, which would take a core from the next round.
        QFile::remove(csv);
        plain.remove();
    }
    std::printf("export of %lld rows (%lld bytes): %s; plain buffered write of the same bytes: "
                "%s; ratio %.2f (wall)\n",
                static_cast<long long>(doc->RtnGridRows() - 1),
                static_cast<long long>(bytes.size()), qPrintable(exportMs), qPrintable(plainMs),
                exportBest / plainBest);

    // The day printed to a PDF file in Chinese, its text mended as it is finished.
    rig.click(QStringLiteral("Lang"), QStringLiteral("Cht"));
    doc->chart().setTitleLine(QStringLiteral("鋰電池一日長時間大電流充電紀錄"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("day.pdf")));
    Stopwatch printing;
    doc->chart().print(printer);
    std::printf("PDF of the day in Chinese (%lld bytes): %s\n",
                static_cast<long long>(QFileInfo(printer.outputFileName()).size()),
                qPrintable(printing.text()));
    return 0;
}
