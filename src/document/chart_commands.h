#pragma once

#include "document/feature.h"

// The chart window's commands: Save, Export, Print, Copy, Title and Summary, which the active
// chart window (and a comparison, for the first four) answers.
Feature chartCommands();
