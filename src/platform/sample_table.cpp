#include "platform/sample_table.h"

#include <QColor>
#include <QFile>
#include <QSize>

#include <algorithm>
#include <bit>
#include <cstring>

namespace {
// One CSV line from tab-separated texts: fields with a separator, quote or line break are
// quoted, their quotes doubled.
void appendCsvLine(QByteArray &out, QByteArrayView tabbed)
{
    for (qsizetype start = 0; start <= tabbed.size();) {
        qsizetype end = tabbed.indexOf('\t', start);
        if (end < 0)
            end = tabbed.size();
        const QByteArrayView field = tabbed.sliced(start, end - start);
        if (start > 0)
            out += ',';
        if (field.contains(',') || field.contains('"') || field.contains('\r')
            || field.contains('\n')) {
            out += '"';
            for (char c : field)
                out += c == '"' ? QByteArrayView("\"\"") : QByteArrayView(&c, 1);
            out += '"';
        } else {
            out += field;
        }
        start = end + 1;
    }
    out += "\r\n";
}

// Sixteen bytes in the compiler's vector type: one instruction for each step on them.
using Bytes = signed char __attribute__((vector_size(16)));

// Where the first set byte of `mask` (0 or 0xff each) stands in memory.
int firstSet(quint64 mask)
{
    return (std::endian::native == std::endian::little ? std::countr_zero(mask)
                                                       : std::countl_zero(mask))
        / 8;
}
} // namespace

SampleTable::SampleTable(QObject *parent) : QAbstractTableModel(parent) { }

void SampleTable::prepare(const QStringList &captions, const QList<int> &widths,
                          const QColor &shading)
{
    beginResetModel();
    captions_ = captions;
    widths_ = widths;
    shading_ = shading;
    rows_ = SampleRows();
    endResetModel();
}

void SampleTable::appendRow(QByteArrayView tabbedTexts)
{
    QByteArrayView row = tabbedTexts;
    if (row.endsWith('\t'))
        row.chop(1);
    const int at = static_cast<int>(rows_.count());
    beginInsertRows({}, at, at);
    rows_.starts_.append(rows_.text_.size());
    rows_.text_ += row;
    rows_.text_ += '\n';
    endInsertRows();
}

QByteArrayView SampleRows::bytes(qint64 row) const
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
    if (r < 0 || r > rows_.count())
        return {};
    return QString::fromUtf8(rowBytes(r)).split(QLatin1Char('\t'));
}

QString SampleTable::writeCsv(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    QByteArray out;
    appendCsvLine(out, captions_.join(QLatin1Char('\t')).toUtf8());
    bool written = file.write(out) == out.size();
    // A day-long table is ten megabytes: converted sixteen bytes at a time, tabs becoming commas
    // and each row's newline CRLF, in chunks of whole rows (a megabyte: fewer writes cost less,
    // larger ones leave the cache); only a row with a byte that needs quoting goes field by field.
    constexpr qsizetype Chunk = 1024 * 1024;
    const QList<qint64> &starts = rows_.starts_;
    const char *in = rows_.text_.constData();
    const qsizetype size = rows_.text_.size(), rows = starts.size();
    qsizetype row = 0; // the row being converted, from 0
    qsizetype rowEnd = rows > 1 ? starts[1] : size; // just past its newline
    for (qsizetype i = 0; i < size && written;) {
        const qsizetype next
            = std::upper_bound(starts.cbegin() + row, starts.cend(), i + Chunk) - starts.cbegin();
        const qsizetype end = next < rows ? starts[next] : size;
        // Each byte gives at most two (a newline), and sixteen are stored at once.
        out.resize(2 * (end - i) + 16);
        char *o = out.data();
        char *rowOut = o;
        while (i < end) {
            if (end - i >= 16) {
                Bytes v;
                std::memcpy(&v, in + i, 16);
                const Bytes stop = (v == ',') | (v == '"') | (v == '\r') | (v == '\n');
                v ^= (v == '\t') & ('\t' ^ ',');
                std::memcpy(o, &v, 16);
                quint64 halves[2];
                std::memcpy(halves, &stop, 16);
                if ((halves[0] | halves[1]) == 0) {
                    i += 16, o += 16;
                    continue;
                }
                // Up to the first byte that stops the copy, which the lines below take.
                const int first = halves[0] ? firstSet(halves[0]) : 8 + firstSet(halves[1]);
                i += first, o += first;
            }
            const char c = in[i++];
            if (c == '\n' && i == rowEnd) {
                *o++ = '\r', *o++ = '\n';
            } else if (c == ',' || c == '"' || c == '\r' || c == '\n') {
                out.resize(rowOut - out.data());
                appendCsvLine(out, rowBytes(row + 1));
                i = rowEnd;
                const qsizetype at = out.size();
                out.resize(at + 2 * (end - i) + 16);
                o = out.data() + at;
            } else {
                *o++ = c == '\t' ? ',' : c;
                continue;
            }
            ++row;
            rowEnd = row + 1 < rows ? starts[row + 1] : size;
            rowOut = o;
        }
        written = file.write(out.constData(), o - out.constData()) == o - out.constData();
    }
    if (!written || !file.flush()) {
        const QString why = file.errorString();
        file.remove(); // a cut-off table must not pass for the whole run
        return why;
    }
    return {};
}

QString SampleTable::cell(qint64 r, int col) const
{
    return r == 0 ? captions_.value(col) : rows_.cell(r, col);
}

QString SampleRows::cell(qint64 r, int col) const
{
    const QByteArrayView text = bytes(r);
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
    return parent.isValid() ? 0 : static_cast<int>(rows_.count());
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
