#pragma once

#include "platform/plot_chart.h"

#include <QPoint>
#include <QRectF>
#include <QString>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class CrossHair;
class DecimatedGraph;
class QCPAxis;
class QCPAxisRect;
class QCPLayer;
class QCPRange;
class QPrinter;

// Seconds between the time axis' ticks: a step a clock reads well, at most six to the range,
// and wide enough that labels `labelWidth` wide (their gap included) never touch on an axis
// `axisWidth` wide.
double timeTickStep(double rangeSeconds, double axisWidth, double labelWidth);
// Where a label of `size` stands beside the point `at`: below right of it, or on the sides that
// keep it inside `bounds`.
QPoint labelPlace(QPoint at, QSize size, const QRect &bounds);
// A chart on a page whose printable area is `page` points: where it goes there (points) and the
// size it is laid out at (pixels). It fills the width, keeps the screen's shape (no flatter
// than 4:3) where the page is tall enough, and prints text of `smallestPx` pixels at 9 pt.
struct PrintPlan {
    QRectF target;
    QSize layout;
};
PrintPlan printPlan(QSizeF page, QSize screen, int smallestPx);
// Where the capacity and the temperature axis stand in a plot `height` pixels high, as parts of
// it: the upper 48 % and from 51 % down, further apart where their labels would touch.
using OuterBands = std::array<QRectF, 2>;
OuterBands outerBands(int height, int labelHeight);

// The chart of one run: four line series over one time axis (x in days, 1 s = 1/86400),
// each series on its own vertical axis. Series 2 (capacity) is drawn in the upper part of
// the plot and series 3 (temperature) in the lower part, each on an axis of its own further
// out on the right. Mouse actions on the plot are reported as signals; a click on a series'
// value axis shows or hides that series.
class Chart : public PlotChart {
    Q_OBJECT
public:
    enum Series { Voltage, Current, Capacity, Temperature, SeriesCount };

    struct Range {
        double min = 0, max = 0;
    };

    explicit Chart(QWidget *parent = nullptr);
    ~Chart() override;
    // Cascading windows gives each this size.
    QSize sizeHint() const override { return { 720, 420 }; }

    // The series share one list of times: each series takes a point at every time, in order.
    void addPoint(int series, double xDays, double y);
    // Many points of a series at once, drawn again once.
    void addPoints(int series, const std::vector<double> &xDays, const std::vector<double> &y);
    // The lines stop at the last points and start again at the next: readings are missing.
    void breakLines();
    void clearPoints();
    // The points added, breaks left out.
    qsizetype pointCount(int series) const;
    double pointX(int series, qsizetype index) const;
    // Smallest and largest y of a series' points; none without points.
    std::optional<Range> valueExtremes(int series) const;

    // Time axis in days. An automatic end follows the data (the first or last point).
    void setTimeRange(double minDays, double maxDays);
    void setTimeMax(double maxDays);
    void setTimeAuto(bool minimum, bool maximum);
    Range timeRange() const;
    // The value axis of a series.
    void setValueRange(int series, double min, double max);
    Range valueRange(int series) const;

    // One line: a trailing line break is dropped.
    void setTitleLine(const QString &text);
    QString titleLine() const;
    QString accessibleTitle() const override;
    // The last point of each shown series, with its axis' title: "Voltage(V) 16.42, …".
    QString latestReading() const override;
    // A smaller line under the title line; "" takes it out. Both lines are cut short with "…"
    // for the width they are drawn at.
    void setSubtitleLine(const QString &text);
    QString subtitleLine() const;

    // While suspended, changes are not drawn; resuming draws once.
    void setRedrawSuspended(bool suspended);
    bool redrawSuspended() const { return suspended_; }
    // Draws now, for callers that must see the result at once.
    void redrawNow();

    bool seriesShown(int series) const;
    void setSeriesShown(int series, bool shown);
    double timeAtPixel(int x) const;
    // Where a point of a series is drawn, in the chart's pixels.
    QPoint pointPixel(int series, qsizetype index) const;

    // Two white lines through a point of the plot, and beside them `label` unless it is "",
    // on a layer of their own: moving them redraws that layer alone, never the curves.
    // Leaving the chart hides them.
    void showCrossHair(QPoint at, const QString &label = QString());
    void hideCrossHair();
    bool crossHairShown() const;
    QString crossHairLabel() const;
    // A dashed vertical line at a time of the run (days) on the cross-hair's layer; it stays
    // when the cross-hair goes. None takes it away.
    void setReferenceTime(std::optional<double> days);
    std::optional<double> referenceTime() const;

    // The chart as drawn on screen, without the cross-hair's layer; the SVG declares the size
    // it has on screen.
    QByteArray toSvg();
    QImage toImage();
    // The chart across the printable width of the printer's page, laid out for that width.
    void print(QPrinter &printer);

signals:
    void pressed();
    // A button pressed with Shift held, at this point of the plot.
    void shiftPressed(QPoint at);
    void moved(QPoint at);
    void released();
    void doubleClicked();
    void seriesShownChanged();

protected:
    void leaveEvent(QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void paint(bool paper) override;

private:
    QCPAxis *valueAxis(int series) const;
    // The value axes' titles in the current language.
    void nameAxes();
    // Lays the value axes out after each layout of the plot, so that no label or title touches
    // another at any font size: the outer axes beyond the current axis's labels, the bands
    // apart, titles cut short to their axes' length, ticks as many as the length holds.
    void placeOuterAxes();
    // The layout or the axes changed: everything is drawn again.
    void changed();
    // Only the items of this buffered layer changed: it alone is drawn again, once for all the
    // changes of one turn of the event loop.
    void layerChanged(QCPLayer *layer, const QRegion &dirty = {});
    void redrawLayers();
    void applyAutomaticTime();
    QCPRange drawnTimeRange() const;
    void toggleSeriesOf(const QCPAxis *axis);
    int smallestTextPx() const;

    class ElidedText;
    void showText(ElidedText *line, const QString &text);
    ElidedText *title_;
    ElidedText *subtitle_;
    QCPLayer *texts_ {};
    QCPLayer *curves_ {};
    std::vector<std::pair<QCPLayer *, QRegion>> staleLayers_; // and where
    std::array<DecimatedGraph *, SeriesCount> graphs_ {};
    std::array<QString, SeriesCount> titles_;
    std::array<std::optional<Range>, SeriesCount> extremes_ {};
    // Each series' last value as given: the curves keep theirs only as precise as drawn.
    std::array<double, SeriesCount> latest_ {};
    std::array<QCPAxisRect *, 2> insets_ {};
    int outerRoom_ = 0; // beside the plot for the outer axes' labels and titles
    std::unique_ptr<CrossHair> crossHair_;
    bool autoMin_ = false, autoMax_ = false;
    bool suspended_ = false;
};
