#include "platform/plot_chart.h"

#include "platform/cross_hair.h"

#include <qcustomplot.h>

PlotChart::PlotChart(QWidget *parent) : QWidget(parent), plot_(new QCustomPlot(this))
{
    for (QCPAxis *axis : plot_->axisRect()->axes()) {
        axis->setTickLabelFont(pixelFont(axis->tickLabelFont()));
        axis->setLabelFont(pixelFont(axis->labelFont()));
    }
}

QSize PlotChart::pictureSize() const
{
    return plot_->size().isEmpty() ? sizeHint() : plot_->size();
}

void PlotChart::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    plot_->setGeometry(rect());
}
