#pragma once

#include <vector>

class TrendChart;
struct PackFigures;

// A pack's discharged capacities and resistances on their charts, over the dates of its runs or
// over the cycles the book counts by each run's end, these with their end-of-life forecasts: as
// the book window and a report show them. Each run's x on those charts; none without a pack.
std::vector<double> drawPackTrends(TrendChart &capacity, TrendChart &dcir, const PackFigures *pack,
                                   bool byCycle);
