#pragma once

#include "document/feature.h"

// File > Import…: other tools' logs into the save folder as runs, the book's like any.
Feature importFeature();
