#pragma once

#include "book/book.h"

#include <QDateTime>
#include <QString>
#include <variant>
#include <vector>

// The book as tables: one row per pack, per run or per skipped file. Each column is declared
// once, with its caption in the window, its name in CSV and the value it holds; the texts are
// made from the values where they are shown or written.
namespace BookTable {

// A number with the decimals it is written with.
struct Number {
    double value = 0;
    int decimals = 0;
};
// What a cell holds; nothing where a figure is not known.
using Value = std::variant<std::monostate, Number, QDateTime, QString>;
Value number(std::optional<double> v, int decimals);
// Numbers by number, times by time, texts by text; nothing before anything, as no value.
bool less(const Value &a, const Value &b);
bool known(const Value &v);
// In CSV and printed tables: times in ISO 8601.
QString written(const Value &v);
// In the window: times to the minute.
QString shown(const Value &v);

// A run of a pack, or a skipped file (no pack).
struct RunRow {
    const PackFigures *pack = nullptr;
    const RunFigures *run = nullptr;
};

template <class Row> struct Column {
    // The window's, translated in the window's context; nullptr keeps it out of the window.
    const char *caption;
    const char *name; // in CSV; nullptr keeps it out of CSV
    Value (*value)(const Row &);
    // The window's text where it is more than the value's.
    QString (*text)(const Row &) = nullptr;
};

const std::vector<Column<PackFigures>> &packColumns();
const std::vector<Column<RunRow>> &runColumns();
const std::vector<Column<RunRow>> &skippedColumns();
// The runs of `packs`, pack by pack.
std::vector<RunRow> runRows(const std::vector<PackFigures> &packs);

// The columns named in CSV as RFC 4180 CSV (a header row, CRLF) or as aligned text.
template <class Row>
QString text(const std::vector<Column<Row>> &columns, const std::vector<Row> &rows, bool csv);
// The columns named in CSV, a tab between fields and a header row, as spreadsheets paste them.
template <class Row>
QString tabbed(const std::vector<Column<Row>> &columns, const std::vector<Row> &rows);
// The name the unnamed runs go by.
QString unnamed();

} // namespace BookTable
