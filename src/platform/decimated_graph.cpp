#include "platform/decimated_graph.h"

DecimatedGraph::DecimatedGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis)
{
    // The points are thinned already, exactly; the plot's own thinning would only blur them.
    setAdaptiveSampling(false);
}

bool DecimatedGraph::append(double x, double y)
{
    if (!stale_
        && !samples_.unchangedBy(
            { view_.lower, view_.upper, double(rect_.left()), double(rect_.width()) }, x, y))
        stale_ = true;
    samples_.append(x, y);
    return stale_;
}

void DecimatedGraph::breakLine()
{
    samples_.breakLine();
    stale_ = true;
}

void DecimatedGraph::assign(std::vector<double> x, std::vector<double> y)
{
    samples_.assign(std::move(x), std::move(y));
    stale_ = true;
}

void DecimatedGraph::clear()
{
    samples_.clear();
    stale_ = true;
}

QCPRange DecimatedGraph::getKeyRange(bool &foundRange, QCP::SignDomain) const
{
    foundRange = samples_.size() > 0;
    return foundRange ? QCPRange(samples_.xs().front(), samples_.xs().back()) : QCPRange();
}

QCPRange DecimatedGraph::getValueRange(bool &foundRange, QCP::SignDomain, const QCPRange &) const
{
    foundRange = samples_.size() > 0;
    if (!foundRange)
        return {};
    const Envelope::Range r = samples_.extremes(0, samples_.size());
    return { r.min, r.max };
}

void DecimatedGraph::draw(QCPPainter *painter)
{
    const QCPAxis *key = keyAxis();
    const QRect rect = key->axisRect()->rect();
    // A picture takes the samples as they are, not points that merely look the same.
    if (stale_ || key->range() != view_ || rect != rect_
        || painter->modes().testFlag(QCPPainter::pmVectorized)) {
        // The plot's own mapping of a horizontal, linear key axis.
        const QVector<QPointF> points = samples_.drawn(
            { key->range().lower, key->range().upper, double(rect.left()), double(rect.width()) });
        QVector<QCPGraphData> data(points.size());
        for (qsizetype i = 0; i < points.size(); ++i)
            data[i] = { points[i].x(), points[i].y() };
        this->data()->set(data, true);
        view_ = key->range();
        rect_ = rect;
        stale_ = false;
    }
    QCPGraph::draw(painter);
}
