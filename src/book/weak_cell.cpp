#include "book/weak_cell.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <array>

namespace {
constexpr int Last = 3, AtLeast = 2;
// A charge whose cells end this close is one the balancer finished, V.
constexpr double BalancedVolts = 0.01;

bool balanced(const RunFigures &r)
{
    return r.endsCharging && r.spread && *r.spread <= BalancedVolts + 1e-9;
}
} // namespace

QString weakCell(const std::vector<const RunFigures *> &runs, int *number)
{
    std::vector<const RunFigures *> leads;
    for (const RunFigures *r : runs)
        if (r->chemistry == u"LiIo/Po/Fe" && r->cells >= 2)
            leads.push_back(r);
    // The cell that left first in the run after the latest balance charge; -1 without one.
    int afterBalance = -1;
    for (std::size_t i = 1; i < leads.size(); ++i)
        if (balanced(*leads[i - 1]))
            afterBalance = leads[i]->firstOut;
    const std::size_t from = leads.size() > Last ? leads.size() - Last : 0;
    const int n = int(leads.size() - from);
    std::array<int, 13> shows {}, high {}, low {};
    for (std::size_t i = from; i < leads.size(); ++i) {
        const RunFigures &r = *leads[i];
        const int out = i > 0 && balanced(*leads[i - 1]) ? r.firstOut : 0;
        ++high[std::size_t(r.cvHigh)];
        ++low[std::size_t(r.endLow)];
        for (int c = 1; c < int(shows.size()); ++c)
            shows[std::size_t(c)] += c == r.cvHigh || c == r.endLow || c == out;
    }
    const auto most = std::max_element(shows.begin() + 1, shows.end());
    const int cell = int(most - shows.begin());
    if (*most < AtLeast || (afterBalance >= 0 && afterBalance != cell))
        return {};
    if (number)
        *number = cell;
    QStringList why;
    if (const int k = low[std::size_t(cell)])
        why << QCoreApplication::translate("Book",
                                           "lowest at the end of discharge in %1 of %2 runs")
                   .arg(k)
                   .arg(n);
    if (const int k = high[std::size_t(cell)])
        why << QCoreApplication::translate(
                   "Book", "highest at the change to constant voltage in %1 of %2 runs")
                   .arg(k)
                   .arg(n);
    if (afterBalance == cell)
        why << QCoreApplication::translate("Book", "drifted out again one cycle after balancing");
    return QCoreApplication::translate("Book", "cell %1 weak: %2")
        .arg(cell)
        .arg(why.join(QStringLiteral(", ")));
}
