#include "book/cv_share.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>

namespace {
constexpr std::size_t Ends = 3; // charges at either end
} // namespace

CvShareTrend CvShareTrend::of(const std::vector<const RunFigures *> &runs)
{
    double largest = 0;
    for (const RunFigures *r : runs)
        if (r->kind == RunSummary::Kind::Charge && r->cvShare)
            largest = std::max(largest, r->chargedMah);
    std::vector<double> shares;
    for (const RunFigures *r : runs)
        if (r->kind == RunSummary::Kind::Charge && r->cvShare && r->chargedMah >= largest / 2)
            shares.push_back(*r->cvShare);
    CvShareTrend t;
    if (shares.size() < 2 * Ends)
        return t;
    const auto head = shares.begin() + Ends, tail = shares.end() - Ends;
    t.first = std::accumulate(shares.begin(), head, 0.0) / Ends;
    t.last = std::accumulate(tail, shares.end(), 0.0) / Ends;
    if (*std::min_element(tail, shares.end()) > *std::max_element(shares.begin(), head)
        && *t.last - *t.first >= RisePoints)
        t.rise = *t.last - *t.first;
    return t;
}

QString CvShareTrend::note() const
{
    if (!rise)
        return {};
    return QCoreApplication::translate("Book", "constant-voltage share up from %1 % to %2 %")
        .arg(QString::number(*first * 100, 'f', 0), QString::number(*last * 100, 'f', 0));
}
