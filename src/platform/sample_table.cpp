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
    text_.clear();
    text_.squeeze();
    starts_.clear();
    starts_.squeeze();
    endResetModel();
}

void SampleTable::appendRow(QByteArrayView tabbedTexts)
{
    QByteArrayView row = tabbedTexts;
    if (row.endsWith('\t'))
        row.chop(1);
    const int at = static_cast<int>(starts_.size());
    beginInsertRows({}, at, at);
    starts_.append(text_.size());
    text_ += row;
    text_ += '\n';
    endInsertRows();
}

QByteArrayView SampleTable::rowBytes(qint64 row) const
{
    if (row < 1 || row > starts_.size())
        return {};
    const qint64 start = starts_[row - 1];
    const qint64 end = row < starts_.size() ? starts_[row] : text_.size();
    return QByteArrayView(text_).sliced(start, end - start - 1);
}

QStringList SampleTable::rowTexts(qint64 r) const
{
    if (r == 0)
        return captions_;
    if (r < 0 || r > starts_.size())
        return {};
    return QString::fromUtf8(rowBytes(r)).split(QLatin1Char('\t'));
}

QString SampleTable::cell(qint64 r, int col) const
{
    if (r == 0)
        return captions_.value(col);
    const QByteArrayView text = rowBytes(r);
    if (text.isNull() || col < 0)
        return {};
    qsizetype start = 0;
    for (int c = 0; c < col; ++c) {
        start = text.indexOf('\t', start);
        if (start < 0)
            return {};
        ++start;
    }
    const qsizetype end = text.indexOf('\t', start);
    return QString::fromUtf8(text.sliced(start, (end < 0 ? text.size() : end) - start));
}

int SampleTable::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(starts_.size());
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
