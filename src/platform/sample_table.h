#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QStringList>

// The sample rows of a table, all in one UTF-8 buffer of tab-joined texts split on demand. A
// copy costs nothing and stays as it was while the table grows (implicit sharing), so a copy
// may be read on another thread. Rows count from 1, as the table's do.
class SampleRows {
public:
    qint64 count() const { return starts_.size(); }
    // A row's tab-separated UTF-8 texts as kept; empty outside the rows.
    QByteArrayView bytes(qint64 row) const;
    // The text in column `col` (0-based); "" outside the rows.
    QString cell(qint64 row, int col) const;

private:
    friend class SampleTable;
    QByteArray text_;
    QList<qint64> starts_; // where each row begins in text_; rows end with a newline
};

// A text table: one caption row and one row of texts per sample, the record store of a chart
// window that may hold days of samples. Row 0 is the caption row, as callers count rows.
class SampleTable : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SampleTable(QObject *parent = nullptr);

    // Empties the table to the caption row with these captions and column widths.
    void prepare(const QStringList &captions, const QList<int> &widths, const QColor &shading);
    // Appends a row from tab-separated UTF-8 texts (one trailing tab allowed).
    void appendRow(QByteArrayView tabbedTexts);
    // Rows including the caption row.
    qint64 rows() const { return rows_.count() + 1; }
    // The text at `row` (0 = captions) and column `col` (0-based); "" outside the table.
    QString cell(qint64 row, int col) const;
    QStringList rowTexts(qint64 row) const;
    // A row's tab-separated UTF-8 texts as kept; empty outside the sample rows.
    QByteArrayView rowBytes(qint64 row) const { return rows_.bytes(row); }
    // The sample rows as they are now, for a reader on another thread.
    SampleRows sampleRows() const { return rows_; }
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
    SampleRows rows_;
};
