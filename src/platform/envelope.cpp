#include "platform/envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

void Envelope::append(double x, double y)
{
    std::vector<double> &keys = *x_;
    if (keys.size() > y_.size())
        keys[y_.size()] = x;
    else
        keys.push_back(x);
    y_.push_back(float(y));
    constexpr size_t Block = size_t(1) << Base;
    if (y_.size() % Block != 0)
        return;
    const auto [min, max] = std::minmax_element(y_.end() - Block, y_.end());
    addBlock(0, { *min, *max });
}

void Envelope::addBlock(size_t level, Range r)
{
    if (levels_.size() <= level)
        levels_.resize(level + 1);
    std::vector<Range> &blocks = levels_[level];
    blocks.push_back(r);
    if (blocks.size() % 2 == 0) {
        const Range &a = blocks[blocks.size() - 2];
        addBlock(level + 1, { std::min(a.min, r.min), std::max(a.max, r.max) });
    }
}

void Envelope::breakLine()
{
    if (size() > 0 && (breaks_.empty() || breaks_.back() != size()))
        breaks_.push_back(size());
}

void Envelope::assign(std::vector<double> x, const std::vector<double> &y)
{
    clear();
    x_ = std::make_shared<std::vector<double>>(std::move(x));
    y_.assign(y.begin(), y.end());
    // Level by level rather than sample by sample: a day's curve in a fraction of the time.
    constexpr size_t Block = size_t(1) << Base;
    std::vector<Range> blocks;
    for (size_t from = 0; from + Block <= y_.size(); from += Block) {
        const auto [min, max] = std::minmax_element(y_.begin() + qsizetype(from),
                                                    y_.begin() + qsizetype(from + Block));
        blocks.push_back({ *min, *max });
    }
    while (!blocks.empty()) {
        std::vector<Range> above;
        for (size_t i = 1; i < blocks.size(); i += 2)
            above.push_back({ std::min(blocks[i - 1].min, blocks[i].min),
                              std::max(blocks[i - 1].max, blocks[i].max) });
        levels_.push_back(std::move(blocks));
        blocks = std::move(above);
    }
}

void Envelope::clear()
{
    y_.clear();
    levels_.clear();
    breaks_.clear();
}

Envelope::Range Envelope::extremes(qsizetype from, qsizetype to) const
{
    Range r { std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity() };
    const auto take = [&r](float min, float max) {
        r.min = std::min(r.min, min);
        r.max = std::max(r.max, max);
    };
    constexpr qsizetype Block = qsizetype(1) << Base;
    // The samples outside whole blocks, then the fewest blocks that cover the rest.
    while (from < to && from % Block != 0)
        take(y_[size_t(from)], y_[size_t(from)]), ++from;
    while (to > from && to % Block != 0)
        --to, take(y_[size_t(to)], y_[size_t(to)]);
    size_t i = size_t(from >> Base), j = size_t(to >> Base);
    for (size_t level = 0; i < j; ++level, i /= 2, j /= 2) {
        const std::vector<Range> &blocks = levels_[level];
        if (i % 2 != 0)
            take(blocks[i].min, blocks[i].max), ++i;
        if (j % 2 != 0)
            --j, take(blocks[j].min, blocks[j].max);
    }
    return r;
}

QVector<QPointF> Envelope::drawn(const View &view) const
{
    QVector<QPointF> out;
    if (!(view.upper > view.lower) || view.width <= 0)
        return out;
    const auto begin = x_->cbegin();
    const qsizetype from
        = std::max<qsizetype>(0, std::lower_bound(begin, xEnd(), view.lower) - begin - 1);
    const qsizetype to
        = std::min<qsizetype>(size(), std::upper_bound(begin, xEnd(), view.upper) - begin + 1);
    const auto column = [&view](double x) { return std::floor(view.pixel(x)); };
    auto nextBreak = std::upper_bound(breaks_.begin(), breaks_.end(), from);
    const double perColumn = double(to - from) / view.width;
    for (qsizetype i = from; i < to;) {
        const qsizetype end = nextBreak != breaks_.end() && *nextBreak < to ? *nextBreak : to;
        while (i < end) {
            // The first sample of the next column: searched by its key, then set right where
            // rounding put the key a sample off.
            // Guessed from the samples a column holds on average, then searched about the
            // guess: the samples are too many to search from afar for every column.
            const double c = column(x(i));
            const auto past = [&](qsizetype k) { return column(x(k)) > c; };
            qsizetype j = std::clamp<qsizetype>(i + qsizetype(perColumn), i + 1, end);
            qsizetype step = 1;
            while (j > i + 1 && past(j - 1))
                j = std::max(i + 1, j - step), step *= 2;
            qsizetype high = j;
            for (step = 1; high < end && !past(high); step *= 2)
                j = high + 1, high = std::min(end, high + step);
            j = std::partition_point(begin + j, begin + high,
                                     [&](double v) { return column(v) <= c; })
                - begin;
            if (j - i <= 4) {
                for (; i < j; ++i)
                    out << QPointF(x(i), y(i));
                continue;
            }
            const Range r = extremes(i, j);
            const double first = y(i), last = y(j - 1);
            // Either order covers the column from least to greatest; the nearer one first.
            const bool minFirst = first - r.min <= r.max - first;
            out << QPointF(x(i), first) << QPointF(x(i), minFirst ? r.min : r.max)
                << QPointF(x(j - 1), minFirst ? r.max : r.min) << QPointF(x(j - 1), last);
            i = j;
        }
        if (end < to) {
            out << QPointF(x(end - 1), std::numeric_limits<double>::quiet_NaN());
            ++nextBreak;
        }
    }
    return out;
}

bool Envelope::unchangedBy(const View &view, double x, double y) const
{
    const qsizetype n = size();
    if (n == 0 || (!breaks_.empty() && breaks_.back() == n))
        return false;
    const double last = this->x(n - 1);
    if (last < view.lower)
        return false;
    if (last > view.upper) // the line has left the view already: the rest is not drawn
        return true;
    const auto column = [&view](double v) { return std::floor(view.pixel(v)); };
    const double c = column(last);
    if (column(x) != c)
        return false;
    const qsizetype first
        = std::partition_point(x_->cbegin(), xEnd(), [&](double v) { return column(v) < c; })
        - x_->cbegin();
    // The column drawn as its envelope already, on one line, whole in the view.
    if (n - first <= 4 || this->x(first) < view.lower
        || (!breaks_.empty() && breaks_.back() > first))
        return false;
    const Range r = extremes(first, n);
    return r.min <= float(y) && float(y) <= r.max; // as it will be kept
}
