#pragma once

#include "link/channel_reading.h"

#include <QHash>
#include <QList>
#include <QStringList>

// The accepted samples of a run, kept as numbers in the form the run's table shows them: the
// time to the whole second of the day, voltages, current and power to the hundredth. A day of
// samples is a few megabytes: each field is eight bytes and a kind, and the few distinct texts
// (types, charge states) are kept once. A copy costs nothing and stays as it was while the
// original grows (implicit sharing), so a copy may be read on another thread. Rows count from 0.
class Samples {
public:
    // The form a reading is kept in, for what shows it before it is kept.
    static void shown(ChannelReading &reading);

    qint64 count() const { return rows_.size(); }
    // Appends a reading as `shown` makes it.
    void append(const ChannelReading &reading);
    // Empty outside the rows.
    Value value(qint64 row, int field) const;
    ChannelReading reading(qint64 row) const;
    // The text a field shows and a run file or CSV file holds.
    QString text(qint64 row, int field) const { return value(row, field).text(); }
    // Writes the caption row and every row as CSV (RFC 4180, UTF-8, CRLF). Why it failed, or "".
    QString writeCsv(const QString &path, const QStringList &captions) const;

private:
    enum Kind : quint8 { Empty, Text, Whole, Decimal, Time };
    struct Row {
        std::array<qint64, FieldCount> data; // by kind: a text's index, a number, a time's bits
        std::array<Kind, FieldCount> kind;
    };

    QList<Row> rows_;
    QStringList texts_;
    QHash<QString, qint64> textIndex_;
};
