#pragma once

#include "platform/command_layout_spec.h"

#include <vector>

class CommandBar;
struct MenuFlags;

// The main window's bands and tools in their design state, in order.
const std::vector<BandSpec> &commandLayout();

// Shows or hides every tool that a flag of the configuration's menu table governs; the
// menu copies of a command follow one flag, the tool-bar copy its own.
void applyMenuFlags(CommandBar &bar, const MenuFlags &flags);
