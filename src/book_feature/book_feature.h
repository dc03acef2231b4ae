#pragma once

#include "document/feature.h"

// The battery book: its command and its window, one for the main window.
Feature bookFeature();
