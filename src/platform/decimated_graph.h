#pragma once

#include "platform/envelope.h"

#include <qcustomplot.h>

#include <optional>

// The pixels a polyline one pixel wide lights, as one `width`-wide rectangle per run of its
// segments in a pixel column: the column's span from its least to its greatest y. A solid
// opaque rectangle is filled straight into the buffer, where a stroked line goes through the
// general span blender (and its hand-off to helper threads for every tall line): a day's curve
// costs a fraction. A NaN point breaks the line.
QVector<QRect> columnSpans(const QVector<QPointF> &points, int width);
// Where an upright, linear value axis over `range` puts `value` in `rect`, as the plot does.
inline double verticalPixel(double value, const QCPRange &range, const QRect &rect)
{
    return rect.bottom() - (value - range.lower) / range.size() * rect.height();
}

// A graph that keeps its samples and their envelope, and hands the plot only the points its
// view and width need (Envelope::drawn): drawing costs the plot's pixel columns whatever the
// number of samples, and each column still spans its samples' least and greatest value. The
// points are made again when the view, the width or the samples change.
class DecimatedGraph : public QCPGraph {
public:
    // With `keys`, the x's it shares with the other curves of its chart.
    DecimatedGraph(QCPAxis *keyAxis, QCPAxis *valueAxis,
                   Envelope::Keys keys = std::make_shared<std::vector<double>>());

    // Whether the drawing changes: a sample that changes no pixel leaves the points as they
    // are, drawn for the samples before it.
    // Where the sample changes the drawing: from the last sample's column to its own, with the
    // joins on either side; nothing where it falls inside its column's span (the drawing's own
    // change is then none).
    QRegion append(double x, double y);
    // Many samples at once: the drawing is made again.
    void append(const double *x, const double *y, size_t count);
    void breakLine();
    void assign(std::vector<double> x, const std::vector<double> &y);
    void clear();
    const Envelope &samples() const { return samples_; }
    // The pixel columns whose drawing on screen changes when the value axis goes to `to`. None
    // when the axis is not a plain upright one or the curve was last drawn as a stroked line.
    std::optional<QRegion> movedBy(const QCPRange &to) const;

    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain) const override;
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain,
                           const QCPRange &inKeyRange) const override;

protected:
    void draw(QCPPainter *painter) override;

private:
    // The plot's points in pixels, as the columns are drawn from them.
    QVector<QPointF> columnPoints() const;

    Envelope samples_;
    // What the plot's points were made for.
    QCPRange view_;
    QRect rect_;
    bool stale_ = true;
    // The pixel columns last drawn on screen; none when drawn as a stroked line.
    std::optional<QVector<QRect>> onScreen_;
};
