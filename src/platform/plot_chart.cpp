#include "platform/plot_chart.h"

#include "platform/cross_hair.h"

#include <qcustomplot.h>

PlotChart::PlotChart(QWidget *parent) : QWidget(parent), plot_(new QCustomPlot(this))
{
    for (QCPAxis *axis : plot_->axisRect()->axes()) {
        axis->setTickLabelFont(pixelFont(axis->tickLabelFont()));
        axis->setLabelFont(pixelFont(axis->labelFont()));
    }
    PlotChart::paint(false);
    connect(plot_, &QCustomPlot::beforeReplot, this, &PlotChart::fitCurvePens);
}

void PlotChart::fitCurvePens()
{
    // On screen as many device pixels as the scale (a cosmetic pen's width is in them); on
    // paper and in pictures 1 px of the page, as before.
    const bool screen = !onPaper_;
    for (int i = 0; i < plot_->plottableCount(); ++i) {
        QCPAbstractPlottable *curve = plot_->plottable(i);
        QPen pen = curve->pen();
        if (!pen.isCosmetic() && pen.widthF() > 1) // wide on purpose
            continue;
        pen.setCosmetic(screen);
        pen.setWidthF(screen ? devicePixelRatioF() : 1);
        curve->setPen(pen);
    }
}

PlotChart::Ink PlotChart::ink(bool paper) const
{
    if (paper)
        return { Qt::white, Qt::black, QColor(200, 200, 200) };
    const QPalette &p = palette();
    return { p.color(QPalette::Base), p.color(QPalette::Text), p.color(QPalette::Mid) };
}

void PlotChart::paint(bool paper)
{
    const Ink i = ink(paper);
    plot_->setBackground(i.background);
    for (QCPAxis *axis : plot_->axisRect()->axes()) {
        for (auto setPen : { &QCPAxis::setBasePen, &QCPAxis::setTickPen, &QCPAxis::setSubTickPen })
            (axis->*setPen)(QPen(i.text));
        axis->setTickLabelColor(i.text);
        axis->setLabelColor(i.text);
        axis->grid()->setPen(QPen(i.grid, 0, Qt::DotLine));
    }
    plot_->legend->setBrush(i.background);
    plot_->legend->setTextColor(i.text);
}

void PlotChart::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) {
        paint(false);
        plot_->replot(QCustomPlot::rpQueuedReplot);
    }
}

PlotChart::OnPaper::OnPaper(PlotChart &chart) : chart_(chart)
{
    chart_.onPaper_ = true;
    chart_.fitCurvePens();
    chart_.paint(true);
}

PlotChart::OnPaper::~OnPaper()
{
    chart_.onPaper_ = false;
    chart_.paint(false);
    chart_.plot_->replot(QCustomPlot::rpQueuedReplot);
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
