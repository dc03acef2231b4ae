#pragma once

#include <QPointF>
#include <QVector>

#include <vector>

// A line's samples (x ascending or equal) with the least and greatest y of each block of 2^k
// of them, built as samples arrive: the smallest and largest y of any span of samples is read
// in O(log n), so that drawing a view costs its pixel columns, not its samples.
class Envelope {
public:
    struct Range {
        double min = 0, max = 0;
    };

    void append(double x, double y);
    // The next sample starts a new line: readings are missing between them.
    void breakLine();
    void assign(std::vector<double> x, std::vector<double> y);
    void clear();

    qsizetype size() const { return qsizetype(x_.size()); }
    double x(qsizetype i) const { return x_[size_t(i)]; }
    double y(qsizetype i) const { return y_[size_t(i)]; }
    const std::vector<double> &xs() const { return x_; }
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

    std::vector<double> x_, y_;
    std::vector<std::vector<Range>> levels_; // level k: blocks of 2^(Base + k) samples
    std::vector<qsizetype> breaks_; // the samples that start a new line, ascending
};
