#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

// A text table: one caption row and one row of texts per sample. It is the record store of
// a chart window that may hold days of samples, so all rows share one UTF-8 buffer of
// tab-joined texts and are split on demand. Row 0 is the caption row, as callers count rows.
class SampleTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SampleTable(QObject *parent = nullptr);

    // Empties the table to the caption row with these captions and column widths.
    void prepare(const QStringList &captions, const QList<int> &widths, const QColor &shading);
    // Appends a row from tab-separated UTF-8 texts (one trailing tab allowed).
    void appendRow(QByteArrayView tabbedTexts);
    // Rows including the caption row.
    qint64 rows() const { return starts_.size() + 1; }
    // The text at `row` (0 = captions) and column `col` (0-based); "" outside the table.
    QString cell(qint64 row, int col) const;
    QStringList rowTexts(qint64 row) const;
    // A row's tab-separated UTF-8 texts as kept; empty outside the sample rows.
    QByteArrayView rowBytes(qint64 row) const;
    // Writes the caption row and every row to `path` as CSV (RFC 4180, UTF-8, CRLF).
    // Why it failed, or "".
    QString writeCsv(const QString &path) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    QStringList captions_;
    QList<int> widths_;
    QColor shading_;

    QByteArray text_;
    QList<qint64> starts_; // where each row begins in text_; rows end with a newline
};
