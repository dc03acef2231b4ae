#pragma once

#include "book/run_figures.h"

#include <QString>
#include <vector>

// The cell a pack's last three runs with balance leads (`runs` by date) single out in two of
// them at least: highest at the change to constant voltage, lowest at the end of a discharge,
// first to leave the others after a balance charge. Named weak, "cell 3 weak: …", unless it
// stayed in line in the run after the latest balance charge: a cell that only drifted comes
// back when balanced, a weak one leaves again. "" for none; `number`, when given, gets the
// named cell's number.
QString weakCell(const std::vector<const RunFigures *> &runs, int *number = nullptr);
