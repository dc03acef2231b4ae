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

DecimatedGraph::DecimatedGraph(QCPAxis *keyAxis, QCPAxis *valueAxis, Envelope::Keys keys)
    : QCPGraph(keyAxis, valueAxis), samples_(std::move(keys))
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
    if (!onScreen_ || value->orientation() != Qt::Vertical || value->rangeReversed()
        || value->scaleType() != QCPAxis::stLinear)
        return std::nullopt;
    if (!visible())
        return QRegion();
    // The columns as they are on screen and as they would be: a span between two points may
    // change where neither point moves to another row.
    const QRect rect = value->axisRect()->rect();
    QVector<QPointF> now = columnPoints();
    qsizetype i = 0;
    for (const QCPGraphData &d : *data())
        now[i++].setY(verticalPixel(d.value, to, rect));
    const QVector<QRect> &before = *onScreen_, after = columnSpans(now, 1);
    QRegion moved;
    const auto columnEnd = [](const QVector<QRect> &spans, qsizetype i) {
        while (i < spans.size() && spans[i].x() == spans[i - 1].x())
            ++i;
        return i;
    };
    for (qsizetype b = 0, a = 0; b < before.size() || a < after.size();) {
        const int column = b < before.size() && (a >= after.size() || before[b].x() <= after[a].x())
            ? before[b].x()
            : after[a].x();
        const qsizetype bEnd
            = b < before.size() && before[b].x() == column ? columnEnd(before, b + 1) : b;
        const qsizetype aEnd
            = a < after.size() && after[a].x() == column ? columnEnd(after, a + 1) : a;
        if (!std::equal(before.begin() + b, before.begin() + bEnd, after.begin() + a,
                        after.begin() + aEnd))
            moved += QRect(column, rect.top(), 1, rect.height());
        b = bEnd, a = aEnd;
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

void DecimatedGraph::assign(std::vector<double> x, const std::vector<double> &y)
{
    samples_.assign(std::move(x), y);
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
    return foundRange ? QCPRange(samples_.x(0), samples_.x(samples_.size() - 1)) : QCPRange();
}

QCPRange DecimatedGraph::getValueRange(bool &foundRange, QCP::SignDomain, const QCPRange &) const
{
    foundRange = samples_.size() > 0;
    if (!foundRange)
        return {};
    const Envelope::Range r = samples_.extremes(0, samples_.size());
    return { r.min, r.max };
}

QVector<QPointF> DecimatedGraph::columnPoints() const
{
    QVector<QPointF> points;
    points.reserve(dataCount());
    const QCPAxis *key = keyAxis(), *value = valueAxis();
    for (const QCPGraphData &d : *data())
        points << QPointF(key->coordToPixel(d.key), value->coordToPixel(d.value));
    return points;
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
        if (!painter->modes().testFlag(QCPPainter::pmVectorized))
            onScreen_.reset();
        QCPGraph::draw(painter);
        return;
    }
    painter->setPen(Qt::NoPen);
    painter->setBrush(line.color());
    // One pixel of the layout wide: as many device pixels as the scale, as the pen is.
    onScreen_ = columnSpans(columnPoints(), 1);
    painter->drawRects(onScreen_->constData(), int(onScreen_->size()));
}
