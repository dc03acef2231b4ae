#pragma once

#include "document/feature.h"

// Watching another station's live runs, from a broker and a station the user names.
Feature watchFeature();
