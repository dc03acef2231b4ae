#pragma once

#include "document/feature.h"

#include <vector>

// The features the main window is made of, in the order their handlers are asked.
const std::vector<Feature> &features();

// The shell's own commands and every feature's.
const std::vector<const CommandSpec *> &registeredCommands();
