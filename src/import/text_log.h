#pragma once

#include "import/column_map.h"
#include "import/imported_log.h"

#include <functional>
#include <optional>

// The columns a log's samples are taken from: the map chosen for its header, none to cancel.
using ColumnMapper = std::function<std::optional<ColumnMap>(const LogColumns &columns)>;

// Reads a text log: a CSV file (delimiter, decimal comma and the header sniffed, lines before
// the header skipped) or a serial logger's lines ("$" first, values separated by ";", a line a
// sample, columns named by position). The layout is found and the mapper asked here; the
// function returned reads the samples, on any thread.
LogReading readTextLog(const QByteArray &bytes, const ColumnMapper &mapper);
