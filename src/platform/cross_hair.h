#pragma once

#include <QColor>
#include <QFont>
#include <QMouseEvent>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QString>

#include <array>
#include <optional>

class QCustomPlot;
class QCPAxis;
class QCPItemStraightLine;
class QCPItemText;
class QCPLayer;
class QPaintDevice;
class QPrinter;
class QRectF;

// `font` sized in pixels as the screen shows it: a printer or an SVG picture, which lays a chart
// out in the screen's pixels, then draws the texts as the screen does, whatever its resolution.
QFont pixelFont(const QFont &font);

// What an axis takes beside its axis rect: its labels, its title and their paddings.
int axisMargin(QCPAxis *axis);
// Where an axis draws: from its line out past its labels and title, along its axis rect and
// half a label beyond (a title longer than its axis would overhang: the chart cuts them short).
QRect axisStrip(QCPAxis *axis);

// Draws the items of `layer`, and of the layers that share its buffer, again within `dirty`
// alone and repaints that: the plot's other buffers are kept as they were drawn. An axis
// whose strip lies outside `dirty` is not drawn at all: shaping its title costs.
void redrawLayer(QCustomPlot &plot, QCPLayer *layer, const QRegion &dirty);

// The plot's mouse as a chart's signals: pressed(), shiftPressed(point) with Shift held,
// moved(point) and released(), which both charts have.
template <class ChartWidget> void forwardMouse(QCustomPlot &plot, ChartWidget *chart);

// Two white lines through a point of a plot, a read-out beside them and a dashed vertical line
// at a key of the plot's x axis, on a layer of their own above everything: moving them redraws
// the strips they leave and reach on that layer alone, never the curves.
class CrossHair {
public:
    // The lines in `colour`, white on the dark charts.
    explicit CrossHair(QCustomPlot &plot, const QColor &colour = Qt::white);

    // `label` "" shows none.
    void show(QPoint at, const QString &label);
    void hide();
    bool shown() const;
    QString label() const;
    // None takes the line away; it stays when the cross-hair goes.
    void setReference(std::optional<double> key);
    std::optional<double> reference() const;

    // Pictures of the plot laid out at `size` pixels, without the cross-hair's layer.
    QByteArray svg(QSize size, int dpi, const QString &title);
    QImage image(QSize size);
    // Across the printable width of the page, text of `smallestPx` pixels printed at 9 pt.
    void print(QPrinter &printer, QSize screen, int smallestPx);

private:
    QRegion region() const;
    QRegion referenceRegion() const;
    // Laid out at `size` pixels and scaled into `target` of any device, as vectors.
    void render(QPaintDevice &device, const QRectF &target, QSize size);

    QCustomPlot &plot_;
    QCPLayer *layer_;
    std::array<QCPItemStraightLine *, 2> lines_ {};
    QPoint at_;
    class ReadOut;
    ReadOut *label_;
    QRect labelRect_;
    QCPItemStraightLine *reference_;
};

#include <qcustomplot.h>

template <class ChartWidget> void forwardMouse(QCustomPlot &plot, ChartWidget *chart)
{
    plot.setMouseTracking(true);
    QObject::connect(&plot, &QCustomPlot::mousePress, chart, [chart](QMouseEvent *event) {
        emit chart->pressed();
        if (event->modifiers().testFlag(Qt::ShiftModifier))
            emit chart->shiftPressed(event->position().toPoint());
    });
    QObject::connect(&plot, &QCustomPlot::mouseMove, chart, [chart](QMouseEvent *event) {
        emit chart->moved(event->position().toPoint());
    });
    QObject::connect(&plot, &QCustomPlot::mouseRelease, chart, &ChartWidget::released);
}
