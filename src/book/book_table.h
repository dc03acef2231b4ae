#pragma once

#include "book/book.h"

#include <QString>
#include <QStringList>
#include <vector>

// The book as tables of text: one row per pack or one per run, each a list of fields, and the
// same as aligned text or as CSV (RFC 4180, a header row, CRLF).
namespace BookTable {

QStringList packHeader();
QStringList runHeader();
std::vector<QStringList> packRows(const std::vector<PackFigures> &packs);
std::vector<QStringList> runRows(const std::vector<PackFigures> &packs);
QString text(const QStringList &header, const std::vector<QStringList> &rows, bool csv);
// The name the unnamed runs go by.
QString unnamed();

} // namespace BookTable
