#pragma once

#include "platform/plot_chart.h"

#include <QColor>
#include <QPoint>
#include <QString>
#include <QTimer>

#include <array>
#include <memory>
#include <optional>
#include <vector>

class CrossHair;
class DecimatedGraph;
class QMouseEvent;
class QPrinter;

// The chart of a comparison: any number of curves over one x axis, on a left and a right
// value axis, one colour per run that people with colour-blindness tell apart (Okabe and Ito's
// eight) and one line style per quantity, with a legend entry per run below the curves. The
// wheel zooms, the right button drags the view, a double click shows everything again.
class CompareChart : public PlotChart {
    Q_OBJECT
public:
    static constexpr int Colours = 8;
    static QColor colour(int run);
    static Qt::PenStyle style(int quantity);

    explicit CompareChart(QWidget *parent = nullptr);
    ~CompareChart() override;
    QSize sizeHint() const override { return { 800, 480 }; }

    void clear();
    // A curve; `legend` "" keeps it out of the legend. Its index, for `append`.
    int addCurve(std::vector<double> x, const std::vector<double> &y, int run, int quantity,
                 bool rightAxis, const QString &legend);
    // A legend entry of no curve: a line of `colour` in the style of `quantity`.
    void addKey(const QColor &colour, int quantity, const QString &name);
    // A point after the last of curve `curve`; the axes widen to show it.
    void append(int curve, double x, double y);
    // `time`: x is seconds, labelled as a clock reads them.
    void setLabels(const QString &x, const QString &left, const QString &right, bool time);
    // The least span each value axis shows, so that a quantity's noise stays small.
    void setLeastSpans(double left, double right);
    // Every axis to its curves' extent, then drawn; the view the user zoomed or dragged to
    // stays until showAll().
    void rescale();
    void showAll();
    bool zoomed() const { return zoomed_; }
    // Drawn on the next turn of the event loop.
    void redraw();
    // Drawn after points appended, no more often than keeps drawing within a millisecond a
    // second: a chart of many long runs takes tens of milliseconds to draw.
    void redrawSparingly();

    // What the last drawing took.
    double drawMs() const;
    double keyAt(int pixelX) const;
    int pixelOf(double key) const;
    // Where the curves are drawn, in the chart's pixels.
    QRect plotArea() const;
    CrossHair &crossHair() { return *crossHair_; }

    QByteArray toSvg(const QString &title);
    QImage toImage();
    void print(QPrinter &printer);

signals:
    void moved(QPoint at);
    void pressed();
    void shiftPressed(QPoint at);
    void released();

protected:
    void leaveEvent(QEvent *event) override;
    void paint(bool paper) override;

private:
    // `colour` as drawn in the current ink.
    QColor inked(const QColor &colour) const;
    void drag(QMouseEvent *event);

    std::vector<DecimatedGraph *> curves_;
    QColor firstInk_ = Qt::black;
    std::unique_ptr<CrossHair> crossHair_;
    QTimer sparing_;
    double leastLeft_ = 0, leastRight_ = 0;
    bool zoomed_ = false;
    std::optional<QPoint> dragged_; // where a drag with the right button is
};
