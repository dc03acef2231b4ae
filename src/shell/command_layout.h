#pragma once

#include "platform/command_layout_spec.h"

#include <vector>

// The main window's bands and tools in their design state, in order.
const std::vector<BandSpec> &commandLayout();
