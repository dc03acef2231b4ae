#pragma once

#include "document/feature.h"

// A run's report in one web page (File > Save report…), for anyone to open without the program.
Feature reportFeature();
