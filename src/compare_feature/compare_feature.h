#pragma once

#include "document/feature.h"

// The comparison of runs: the "Compare" command, its chooser and window, and the comparison
// files the Open command opens.
Feature compareFeature();
