#pragma once

#include "book/book_table.h"

#include <QAbstractTableModel>

// A table of the book as the window shows it: the columns that have a caption, over rows kept as
// they are. Texts are made as they are asked for; a sort orders the rows by their values, the
// unknown ones last either way, and holds for the rows set later.
template <class Row> class BookModel : public QAbstractTableModel {
public:
    explicit BookModel(const std::vector<BookTable::Column<Row>> &columns,
                       QObject *parent = nullptr);

    void setRows(std::vector<Row> rows);
    const std::vector<Row> &rows() const { return rows_; }
    const Row &row(int r) const { return rows_[size_t(r)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    // The rows in the sort's order; where each row was.
    std::vector<size_t> order();

    std::vector<const BookTable::Column<Row> *> columns_;
    std::vector<Row> rows_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
};
