#include "platform/sample_table.h"

#include <QColor>
#include <QSize>

SampleTable::SampleTable(QObject *parent) : QAbstractTableModel(parent) { }

void SampleTable::prepare(const QStringList &captions, const QList<int> &widths,
                          const QColor &shading)
{
    beginResetModel();
    captions_ = captions;
    widths_ = widths;
    shading_ = shading;
    rows_.clear();
    endResetModel();
}

void SampleTable::appendRow(const QString &tabbedTexts)
{
    QString row = tabbedTexts;
    if (row.endsWith(QLatin1Char('\t')))
        row.chop(1);
    row.squeeze();
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.append(row);
    endInsertRows();
}

QStringList SampleTable::rowTexts(qint64 row) const
{
    if (row == 0)
        return captions_;
    if (row < 0 || row > rows_.size())
        return {};
    return rows_[row - 1].split(QLatin1Char('\t'));
}

QString SampleTable::cell(qint64 row, int col) const
{
    if (row == 0)
        return captions_.value(col);
    if (row < 0 || row > rows_.size() || col < 0)
        return {};
    const QString &text = rows_[row - 1];
    qsizetype start = 0;
    for (int c = 0; c < col; ++c) {
        start = text.indexOf(QLatin1Char('\t'), start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = text.indexOf(QLatin1Char('\t'), start);
    return text.mid(start, end < 0 ? -1 : end - start);
}

int SampleTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int SampleTable::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(captions_.size());
}

QVariant SampleTable::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole)
        return cell(index.row() + 1, index.column());
    if (role == Qt::BackgroundRole)
        return shading_;
    return {};
}

QVariant SampleTable::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return captions_.value(section);
    if (role == Qt::SizeHintRole && section < widths_.size())
        return QSize(widths_[section], 0);
    return {};
}
