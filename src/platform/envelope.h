#pragma once

#include <QPointF>
#include <QVector>

#include <memory>
#include <vector>

// A line's samples (x ascending or equal) with the least and greatest y of each block of 2^k
// of them, built as samples arrive: the smallest and largest y of any span of samples is read
// in O(log n), so that drawing a view costs its pixel columns, not its samples. The y's are
// only drawn, so a float holds them: a pixel is far coarser.
class Envelope {
public:
    struct Range {
        float min = 0, max = 0;
    };
    // The x's, which the curves of one chart share, as they take a sample at the same times:
    // a curve reads the first size() of them.
    using Keys = std::shared_ptr<std::vector<double>>;

    explicit Envelope(Keys x = std::make_shared<std::vector<double>>()) : x_(std::move(x)) { }
    // Writes x at the sample's place in the keys: the same x the other curves took there, or a
    // new one after a clear.
    void append(double x, double y);
    // The next sample starts a new line: readings are missing between them.
    void breakLine();
    // Keys of its own.
    void assign(std::vector<double> x, const std::vector<double> &y);
    void clear();

    qsizetype size() const { return qsizetype(y_.size()); }
    double x(qsizetype i) const { return (*x_)[size_t(i)]; }
    double y(qsizetype i) const { return y_[size_t(i)]; }
    // Of the samples [from, to), which must not be empty.
    Range extremes(qsizetype from, qsizetype to) const;

    // How x stands on the pixels: pixel(x) = left + (x - lower) / (upper - lower) * width, as
    // a plot's linear axis maps it.
    struct View {
        double lower, upper, left, width;
        double pixel(double x) const { return (x - lower) / (upper - lower) * width + left; }
        double key(double pixel) const { return (pixel - left) / width * (upper - lower) + lower; }
    };
    // The points that draw as the samples with x in the view (and one on either side, where
    // the line leaves it) would, on whole pixel columns: per column its first and last sample,
    // its least and greatest y between them, so each column shows the same span as every
    // sample would; all of a column's samples where they are four or fewer. A NaN point where a
    // line breaks.
    QVector<QPointF> drawn(const View &view) const;
    // Whether the sample (x, y), appended, leaves the view's drawing as it is, to the pixel: it
    // falls in the last sample's column, drawn from more than four samples already, between
    // their least and greatest y; or the line has left the view already.
    bool unchangedBy(const View &view, double x, double y) const;

private:
    static constexpr int Base = 4; // the smallest block holds 2^Base samples
    void addBlock(size_t level, Range r);

    // The first x past the samples, for searches over them.
    std::vector<double>::const_iterator xEnd() const { return x_->cbegin() + size(); }

    Keys x_;
    std::vector<float> y_;
    std::vector<std::vector<Range>> levels_; // level k: blocks of 2^(Base + k) samples
    std::vector<qsizetype> breaks_; // the samples that start a new line, ascending
};
