#include "platform/decimated_graph.h"

#include <cmath>

QVector<QRect> columnSpans(const QVector<QPointF> &points, int width)
{
    QVector<QRect> rects;
    rects.reserve(points.size());
    int column = 0, low = 0, high = -1; // the open span, empty while high < low
    const auto flush = [&] {
        if (high >= low)
            rects << QRect(column, low, width, high - low + 1);
        high = low - 1;
    };
    const auto add = [&](int c, double y0, double y1) {
        const int lo = int(std::floor(std::min(y0, y1))), hi = int(std::floor(std::max(y0, y1)));
        if (c != column || hi < low - 1 || lo > high + 1)
            flush();
        if (high < low)
            column = c, low = lo, high = hi;
        else
            low = std::min(low, lo), high = std::max(high, hi);
    };
    for (qsizetype i = 1; i < points.size(); ++i) {
        QPointF a = points[i - 1], b = points[i];
        if (std::isnan(a.y()) || std::isnan(b.y())) {
            flush();
            continue;
        }
        if (a.x() > b.x())
            std::swap(a, b);
        const int first = int(std::floor(a.x())), last = int(std::floor(b.x()));
        if (first == last) {
            add(first, a.y(), b.y());
            continue;
        }
        const double slope = (b.y() - a.y()) / (b.x() - a.x());
        for (int c = first; c <= last; ++c) {
            const double x0 = std::max(a.x(), double(c)), x1 = std::min(b.x(), double(c + 1));
            add(c, a.y() + (x0 - a.x()) * slope, a.y() + (x1 - a.x()) * slope);
        }
    }
    flush();
    return rects;
}

DecimatedGraph::DecimatedGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis)
{
    // The points are thinned already, exactly; the plot's own thinning would only blur them.
    setAdaptiveSampling(false);
}

namespace {
// The pixel column at `pixel`, kept just outside the plot: a key far outside makes no vast strip.
int pixelColumn(double pixel, const QRect &rect)
{
    return int(std::floor(std::clamp(pixel, rect.left() - 2.0, rect.right() + 2.0)));
}
} // namespace

QRegion DecimatedGraph::append(double x, double y)
{
    const Envelope::View view { view_.lower, view_.upper, double(rect_.left()),
                                double(rect_.width()) };
    const bool unchanged = !stale_ && samples_.unchangedBy(view, x, y);
    const qsizetype n = samples_.size();
    samples_.append(x, y);
    if (unchanged)
        return {};
    stale_ = true;
    if (!rect_.isValid() || !(view.upper > view.lower))
        return QRegion(keyAxis()->axisRect()->rect());
    const auto column = [&](double key) { return pixelColumn(view.pixel(key), rect_); };
    const int from = column(n > 0 ? samples_.x(n - 1) : x), to = column(x);
    return QRegion(from - 1, rect_.top(), to - from + 3, rect_.height());
}

std::optional<QRegion> DecimatedGraph::movedBy(const QCPRange &to) const
{
    const QCPAxis *value = valueAxis();
    if (value->orientation() != Qt::Vertical || value->rangeReversed()
        || value->scaleType() != QCPAxis::stLinear)
        return std::nullopt;
    QRegion moved;
    if (!visible())
        return moved;
    const QRect rect = value->axisRect()->rect();
    const QCPAxis *key = keyAxis();
    const QCPGraphDataContainer &points = *data();
    const auto column
        = [&](qsizetype i) { return pixelColumn(key->coordToPixel(points.at(int(i))->key), rect); };
    for (qsizetype i = 0; i < points.size(); ++i) {
        const double v = points.at(int(i))->value;
        if (std::isnan(v))
            continue;
        const double was = value->coordToPixel(v);
        const double now
            = was + verticalPixel(v, to, rect) - verticalPixel(v, value->range(), rect);
        if (std::floor(was) == std::floor(now))
            continue;
        const int first = column(std::max<qsizetype>(i - 1, 0));
        const int last = column(std::min<qsizetype>(i + 1, points.size() - 1));
        moved += QRect(first, rect.top(), last - first + 1, rect.height());
    }
    return moved;
}

void DecimatedGraph::append(const double *x, const double *y, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        samples_.append(x[i], y[i]);
    stale_ = true;
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
    const QPen line = pen();
    if (painter->modes().testFlag(QCPPainter::pmVectorized) || painter->antialiasing()
        || lineStyle() != lsLine || !scatterStyle().isNone() || brush().style() != Qt::NoBrush
        || line.style() != Qt::SolidLine || line.color().alpha() != 255
        || line.widthF() / (line.isCosmetic() ? painter->device()->devicePixelRatioF() : 1)
            > 1.001) {
        QCPGraph::draw(painter);
        return;
    }
    QVector<QPointF> points;
    points.reserve(dataCount());
    const QCPAxis *value = valueAxis();
    for (const QCPGraphData &d : *data())
        points << QPointF(key->coordToPixel(d.key), value->coordToPixel(d.value));
    painter->setPen(Qt::NoPen);
    painter->setBrush(line.color());
    // One pixel of the layout wide: as many device pixels as the scale, as the pen is.
    const QVector<QRect> rects = columnSpans(points, 1);
    painter->drawRects(rects.constData(), int(rects.size()));
}
