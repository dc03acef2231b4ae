#pragma once

#include "platform/plot_chart.h"

#include <QVector>

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

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Date labels as many as the width holds, as fine as the span needs.
    void fitDateTicks();

    bool dates_ = false, fromZero_ = false;
};
