#include "book/book_model.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>

template <class Row>
BookModel<Row>::BookModel(const std::vector<BookTable::Column<Row>> &columns, QObject *parent)
    : QAbstractTableModel(parent)
{
    for (const auto &c : columns)
        if (c.caption)
            columns_.push_back(&c);
}

template <class Row> void BookModel<Row>::setRows(std::vector<Row> rows)
{
    beginResetModel();
    rows_ = std::move(rows);
    order();
    endResetModel();
}

template <class Row> int BookModel<Row>::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows_.size());
}

template <class Row> int BookModel<Row>::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

template <class Row> QVariant BookModel<Row>::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const auto &c = *columns_[size_t(index.column())];
    const Row &r = row(index.row());
    return c.text ? c.text(r) : BookTable::shown(c.value(r));
}

template <class Row>
QVariant BookModel<Row>::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QCoreApplication::translate("BookWindow", columns_[size_t(section)]->caption);
}

template <class Row> void BookModel<Row>::sort(int column, Qt::SortOrder order)
{
    sortColumn_ = column;
    sortOrder_ = order;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const std::vector<size_t> from = this->order();
    std::vector<int> to(from.size());
    for (size_t i = 0; i < from.size(); ++i)
        to[from[i]] = int(i);
    // The selection follows its rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    for (const QModelIndex &i : before)
        after << index(to[size_t(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

template <class Row> std::vector<size_t> BookModel<Row>::order()
{
    std::vector<size_t> from(rows_.size());
    std::iota(from.begin(), from.end(), 0);
    if (sortColumn_ < 0 || sortColumn_ >= columnCount())
        return from;
    std::vector<BookTable::Value> values;
    for (const Row &r : rows_)
        values.push_back(columns_[size_t(sortColumn_)]->value(r));
    std::stable_sort(from.begin(), from.end(), [&](size_t a, size_t b) {
        const BookTable::Value &x = values[a], &y = values[b];
        if (!BookTable::known(x) || !BookTable::known(y))
            return BookTable::known(x) && !BookTable::known(y);
        return sortOrder_ == Qt::AscendingOrder ? BookTable::less(x, y) : BookTable::less(y, x);
    });
    std::vector<Row> sorted;
    for (size_t i : from)
        sorted.push_back(std::move(rows_[i]));
    rows_ = std::move(sorted);
    return from;
}

template class BookModel<PackFigures>;
template class BookModel<BookTable::RunRow>;
