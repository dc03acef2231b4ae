#pragma once

#include "platform/plot_chart.h"

#include <QVector>

// How a figure goes over time or over use: its points as dots joined by a line, the axes a
// little wider than the points.
class TrendChart final : public PlotChart {
    Q_OBJECT
public:
    explicit TrendChart(QWidget *parent = nullptr);

    // `dates`: x is seconds since the epoch, labelled as dates.
    void setLabels(const QString &x, const QString &y, bool dates);
    void setPoints(const QVector<double> &x, const QVector<double> &y);
};
