#include "platform/sample_table.h"

#include <QColor>
#include <QFile>
#include <QSize>

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

constexpr quint64 Ones = 0x0101010101010101, Low7 = 0x7f7f7f7f7f7f7f7f;

// 0x80 in each byte of `x` that is zero.
constexpr quint64 zeroBytes(quint64 x)
{
    return ~(((x & Low7) + Low7) | x | Low7);
}

// Copies `n` bytes with tabs turned into commas, eight bytes at a time (a day-long table is
// ten megabytes); false when a byte needs quoting, with `o` then left half written.
bool copyUnquoted(char *o, const char *in, qsizetype n)
{
    quint64 special = 0;
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 w;
        std::memcpy(&w, in + i, 8);
        special |= zeroBytes(w ^ (Ones * ',')) | zeroBytes(w ^ (Ones * '"'))
            | zeroBytes(w ^ (Ones * '\r'));
        w ^= (zeroBytes(w ^ (Ones * '\t')) >> 7) * ('\t' ^ ',');
        std::memcpy(o + i, &w, 8);
    }
    for (; i < n; ++i) {
        const char c = in[i];
        if (c == ',' || c == '"' || c == '\r')
            return false;
        o[i] = c == '\t' ? ',' : c;
    }
    return special == 0;
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

QString SampleTable::writeCsv(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    // Written in chunks that stay in the processor's cache.
    constexpr qsizetype Chunk = 256 * 1024;
    QByteArray out;
    out.reserve(Chunk + 4096);
    appendCsvLine(out, captions_.join(QLatin1Char('\t')).toUtf8());
    bool written = true;
    for (qint64 r = 1; r <= starts_.size() && written; ++r) {
        const QByteArrayView text = rowBytes(r);
        const qsizetype at = out.size();
        out.resize(at + text.size() + 2);
        if (copyUnquoted(out.data() + at, text.data(), text.size())) {
            out[at + text.size()] = '\r';
            out[at + text.size() + 1] = '\n';
        } else {
            out.resize(at);
            appendCsvLine(out, text);
        }
        if (out.size() >= Chunk) {
            written = file.write(out) == out.size();
            out.resize(0);
        }
    }
    if (!written || file.write(out) != out.size() || !file.flush()) {
        const QString why = file.errorString();
        file.remove(); // a cut-off table must not pass for the whole run
        return why;
    }
    return {};
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
