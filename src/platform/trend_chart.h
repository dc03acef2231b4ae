#pragma once

#include "platform/plot_chart.h"

#include <QVector>

#include <vector>

// How a figure goes over time or over use: its points as dots joined by a line, the axes a
// little wider than the points.
class TrendChart final : public PlotChart {
    Q_OBJECT
public:
    explicit TrendChart(QWidget *parent = nullptr);

    // `dates`: x is seconds since the epoch, labelled as dates. `fromZero`: y starts at zero.
    void setLabels(const QString &x, const QString &y, bool dates, bool fromZero = false);
    // A line fitted to the points, with its band either side and a level it is read against.
    struct Fit {
        QVector<double> x, y, band;
        double level = 0;
    };
    // The axes hold the fit as well; an empty one draws none.
    void setPoints(const QVector<double> &x, const QVector<double> &y, const Fit &fit);
    // Several figures at once, a colour per `series` named in the legend, its other line dashed;
    // one of another unit against the right axis.
    struct Line {
        QVector<double> x, y;
        int series = 0;
        QString name;
        bool dashed = false;
        bool right = false;
    };
    // The right axis's label; "" hides it.
    void setRightLabel(const QString &y);
    void setLines(const std::vector<Line> &lines, int series);
    // Named by its value axes' labels, described by the last point of each line.
    QString accessibleTitle() const override;
    QString latestReading() const override;
    // The chart laid out at `size` pixels, on paper, as an SVG picture.
    QByteArray toSvg(QSize size);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // The axes around the graphs' points; bare without any.
    void fitAxes(bool any);
    // Date labels as many as the width holds, as fine as the span needs.
    void fitDateTicks();

    bool dates_ = false, fromZero_ = false;
};
