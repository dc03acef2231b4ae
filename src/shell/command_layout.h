#pragma once

#include "document/feature.h"
#include "platform/command_layout_spec.h"

#include <vector>

class CommandBar;
struct MenuFlags;

// The shell's own commands; their handlers are the main window's.
const std::vector<CommandSpec> &shellCommands();

// The main window's bands and tools in their design state, in order: the shell's tools and
// every registered command at its places.
const std::vector<BandSpec> &commandLayout();

// Shows or hides every tool that a flag of the configuration's menu table governs; the
// menu copies of a command follow one flag, the tool-bar copy its own.
void applyMenuFlags(CommandBar &bar, const MenuFlags &flags);
