#include "platform/trend_chart.h"

#include <qcustomplot.h>

namespace {
constexpr double Day = 86400;
}

TrendChart::TrendChart(QWidget *parent) : PlotChart(parent)
{
    QCPGraph *g = plot_->addGraph();
    g->setLineStyle(QCPGraph::lsLine);
    g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 6));
    // The fit dashed, its band shaded between its edges, the level a thin red line.
    QCPGraph *fit = plot_->addGraph();
    fit->setPen(QPen(Qt::darkGray, 1, Qt::DashLine));
    QCPGraph *lower = plot_->addGraph();
    QCPGraph *upper = plot_->addGraph();
    for (QCPGraph *edge : { lower, upper })
        edge->setPen(Qt::NoPen);
    upper->setBrush(QColor(128, 128, 128, 50));
    upper->setChannelFillGraph(lower);
    plot_->addGraph()->setPen(QPen(Qt::red, 1));
    setMinimumHeight(140);
}

void TrendChart::setLabels(const QString &x, const QString &y, bool dates, bool fromZero)
{
    dates_ = dates;
    fromZero_ = fromZero;
    if (dates)
        plot_->xAxis->setTicker(QSharedPointer<QCPAxisTickerDateTime>::create());
    else
        plot_->xAxis->setTicker(QSharedPointer<QCPAxisTicker>::create());
    plot_->xAxis->setLabel(x);
    plot_->yAxis->setLabel(y);
}

void TrendChart::setPoints(const QVector<double> &x, const QVector<double> &y, const Fit &fit)
{
    plot_->graph(0)->setData(x, y);
    QVector<double> lower, upper;
    for (qsizetype i = 0; i < fit.x.size(); ++i) {
        lower << fit.y[i] - fit.band[i];
        upper << fit.y[i] + fit.band[i];
    }
    plot_->graph(1)->setData(fit.x, fit.y);
    plot_->graph(2)->setData(fit.x, lower);
    plot_->graph(3)->setData(fit.x, upper);
    if (fit.x.isEmpty())
        plot_->graph(4)->data()->clear();
    else
        plot_->graph(4)->setData({ fit.x.front(), fit.x.back() }, { fit.level, fit.level });
    fitAxes(!x.isEmpty());
}

void TrendChart::setLines(const std::vector<Line> &lines, int series)
{
    while (plot_->graphCount() > 1)
        plot_->removeGraph(plot_->graphCount() - 1);
    plot_->graph(0)->data()->clear();
    for (const Line &l : lines) {
        QCPGraph *g = plot_->addGraph(plot_->xAxis, l.right ? plot_->yAxis2 : plot_->yAxis);
        QPen pen(QColor::fromHsv(l.series * 300 / std::max(series, 1), 200, 200));
        pen.setStyle(l.dashed ? Qt::DashLine : Qt::SolidLine);
        g->setPen(pen);
        g->setScatterStyle(QCPScatterStyle(QCPScatterStyle::ssDisc, 4));
        g->setData(l.x, l.y);
        g->setName(l.name);
        if (l.name.isEmpty())
            g->removeFromLegend();
    }
    plot_->graph(0)->removeFromLegend();
    plot_->legend->setVisible(!lines.empty());
    fitAxes(!lines.empty());
}

void TrendChart::setRightLabel(const QString &y)
{
    plot_->yAxis2->setLabel(y);
    plot_->yAxis2->setVisible(!y.isEmpty());
}

QString TrendChart::accessibleTitle() const
{
    const QString right = plot_->yAxis2->visible() ? plot_->yAxis2->label() : QString();
    return right.isEmpty() ? plot_->yAxis->label()
                           : plot_->yAxis->label() + QStringLiteral(", ") + right;
}

QString TrendChart::latestReading() const
{
    // The points themselves, or the named lines; the fit and its band are not readings.
    QStringList said;
    for (int i = 0; i < plot_->graphCount(); ++i) {
        const QCPGraph *g = plot_->graph(i);
        if (!g->data()->isEmpty() && (i == 0 || !g->name().isEmpty()))
            said << (i == 0 ? plot_->yAxis->label() : g->name()) + u' '
                    + QString::number((g->data()->constEnd() - 1)->value, 'g', 4);
    }
    return said.join(QStringLiteral(", "));
}

void TrendChart::fitAxes(bool any)
{
    // Without points the axes are bare lines: no numbers, no ticks, no grid (no 1970).
    for (QCPAxis *axis : { plot_->xAxis, plot_->yAxis, plot_->yAxis2 }) {
        axis->setTicks(any);
        axis->setTickLabels(any);
        axis->grid()->setVisible(any);
    }
    if (any) {
        plot_->rescaleAxes();
        plot_->xAxis->scaleRange(1.1);
        plot_->yAxis->scaleRange(1.2);
        plot_->yAxis2->scaleRange(1.2);
        // A single day's points span at least a day either side.
        if (dates_ && plot_->xAxis->range().size() < 2 * Day)
            plot_->xAxis->setRange(plot_->xAxis->range().center(), 2 * Day, Qt::AlignCenter);
        if (fromZero_)
            plot_->yAxis->setRangeLower(0);
    }
    fitDateTicks();
    plot_->replot();
}

void TrendChart::resizeEvent(QResizeEvent *event)
{
    PlotChart::resizeEvent(event);
    fitDateTicks();
}

void TrendChart::fitDateTicks()
{
    auto ticker = plot_->xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>();
    if (!ticker)
        return;
    const double span = plot_->xAxis->range().size();
    const QString format = span < 3 * Day ? QStringLiteral("MM-dd\nhh:mm")
        : span < 300 * Day                ? QStringLiteral("MM-dd\nyyyy")
                                          : QStringLiteral("yyyy-MM");
    ticker->setDateTimeFormat(format);
    // A label's width and twice as much beside it, the y axis included.
    const int label
        = QFontMetrics(plot_->xAxis->tickLabelFont()).horizontalAdvance(QStringLiteral("0000-00"));
    ticker->setTickCount(std::clamp(width() / (3 * label), 2, 8));
}

QByteArray TrendChart::toSvg(QSize size)
{
    const OnPaper paper(*this);
    return svgPicture(size, logicalDpiX(), {}, [&](QPaintDevice &svg) {
        QCPPainter painter(&svg);
        painter.setMode(QCPPainter::pmVectorized);
        plot_->toPainter(&painter, size.width(), size.height());
    });
}
