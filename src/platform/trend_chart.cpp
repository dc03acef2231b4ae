#include "platform/trend_chart.h"

#include <qcustomplot.h>

TrendChart::TrendChart(QWidget *parent) : PlotChart(parent)
{
    QCPGraph *g = plot_->addGraph();
    g->setLineStyle(QCPGraph::lsLine);
    g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 6));
    setMinimumHeight(140);
}

void TrendChart::setLabels(const QString &x, const QString &y, bool dates)
{
    if (dates) {
        auto ticker = QSharedPointer<QCPAxisTickerDateTime>::create();
        ticker->setDateTimeFormat(QStringLiteral("yyyy\nMM-dd"));
        ticker->setTickCount(3);
        plot_->xAxis->setTicker(ticker);
    } else {
        plot_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    }
    plot_->xAxis->setLabel(x);
    plot_->yAxis->setLabel(y);
}

void TrendChart::setPoints(const QVector<double> &x, const QVector<double> &y)
{
    plot_->graph(0)->setData(x, y);
    // Without points the axes stay as they were, unnumbered.
    for (QCPAxis *axis : { plot_->xAxis, plot_->yAxis })
        axis->setTickLabels(!x.isEmpty());
    if (!x.isEmpty()) {
        plot_->rescaleAxes();
        plot_->xAxis->scaleRange(1.1);
        plot_->yAxis->scaleRange(1.2);
    }
    plot_->replot();
}
