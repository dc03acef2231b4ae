#pragma once

#include "link/channel_reading.h"

#include <QHash>
#include <QList>
#include <QStringList>

#include <limits>
#include <vector>

// Appends a CSV field (RFC 4180) as UTF-8: quoted, its quotes doubled, when it holds a
// separator, quote or line break.
void appendCsvField(QByteArray &out, const QString &text);

// The accepted samples of a run, kept as numbers in the form the run's table shows them: the
// time to the whole second of the day, voltages, current and power to the hundredth. A day of
// samples takes ten megabytes, as its text would: a field is four bytes and a kind (what a
// charger sends fits; larger values from a file are kept aside), and the few distinct texts
// (types, charge states) are kept once. A copy costs nothing and stays as it was while the
// original grows (implicit sharing), so a copy may be read on another thread. Rows count from 0.
class Samples {
public:
    // The form a reading is kept in, for what shows it before it is kept.
    static void shown(ChannelReading &reading);

    qint64 count() const { return rows_.size(); }
    void reserve(qint64 rows) { rows_.reserve(rows); }
    // Appends a reading as `shown` makes it.
    void append(const ChannelReading &reading);
    // Appends the rows of `more` as they stand there.
    void append(const Samples &more);
    // The rows `rows` of these, in that order.
    Samples picked(const QList<qint64> &rows) const;
    // A row of empty fields, to be filled by set(): a reader that makes its numbers itself
    // keeps them without a Value for each.
    void appendEmpty()
    {
        Row &r = rows_.emplace_back();
        r.kind.fill(Empty);
    }
    void removeLast() { rows_.removeLast(); }
    // Keeps `value` in a field of a row, as append keeps it.
    void set(qint64 row, int field, const Value &value);
    // The same for a number or a time, inline: an import keeps millions.
    void set(qint64 row, int field, Fixed d) { keepDecimal(rows_[row], field, d); }
    void set(qint64 row, int field, qint64 whole)
    {
        keep(rows_[row], field, whole, Whole, BigWhole);
    }
    void set(qint64 row, int field, DayTime t) { keepTime(rows_[row], field, t.days); }
    // A time of whole seconds, kept as set() keeps its DayTime, without the divisions.
    void setSeconds(qint64 row, int field, qint32 seconds)
    {
        rows_[row].kind[field] = Time, rows_[row].data[field] = seconds;
    }
    // Empty outside the rows.
    Value value(qint64 row, int field) const;
    ChannelReading reading(qint64 row) const;
    // A field as a number, as Value::number reads it, without making the value.
    std::optional<Fixed> number(qint64 row, int field) const
    {
        Fixed n;
        return number(row, field, n) ? std::optional(n) : std::nullopt;
    }
    // The same into `n`; false, `n` untouched, without a number. A run's summary reads a dozen
    // fields of every row this way: inline, and no optional built in memory on the way.
    bool number(qint64 row, int field, Fixed &n) const
    {
        if (row < 0 || row >= rows_.size() || field < 0 || field >= FieldCount)
            return false;
        const Row &r = rows_[row];
        if (r.kind[field] == Hundredths)
            return n = Fixed::fromHundredths(r.data[field]), true;
        if (r.kind[field] == Whole)
            return n = Fixed::fromWhole(r.data[field]), true;
        if (r.kind[field] == Thousandths)
            return n = Fixed::fromRaw(qint64(r.data[field]) * 10), true;
        return otherNumber(row, field, n);
    }
    // A time field's whole seconds in the day, as DayTime::secondsOfDay gives them; false,
    // `s` untouched, for any other kind.
    bool secondsOfDay(qint64 row, int field, int &s) const
    {
        if (row < 0 || row >= rows_.size() || field < 0 || field >= FieldCount)
            return false;
        const qint32 d = rows_[row].data[field];
        if (rows_[row].kind[field] == Time)
            return s = inDay(d), true;
        return rows_[row].kind[field] == BigTime && otherSeconds(row, field, s);
    }
    // A text field's text, as the table keeps it; null for any other kind.
    const QString *heldText(qint64 row, int field) const
    {
        if (row < 0 || row >= rows_.size() || field < 0 || field >= FieldCount
            || rows_[row].kind[field] != Text)
            return nullptr;
        return &texts_[rows_[row].data[field]];
    }
    // The text a field shows and a run file or CSV file holds.
    QString text(qint64 row, int field) const { return value(row, field).text(); }
    // Writes the caption row and every row as CSV (RFC 4180, UTF-8, CRLF). Why it failed, or "".
    QString writeCsv(const QString &path, const QStringList &captions) const;

    // How a field is kept, for what writes every field of every row. The data of a Whole is
    // the number; of Hundredths the number in hundredths, of Thousandths in thousandths; of a
    // Time its seconds; of a Text the index that textAt takes; of a BigDecimal the index that
    // bigAt takes. Any other kind is read through value(). A decimal exact to the hundredth,
    // as a charger sends it, is kept in hundredths, one to the thousandth (volts in most
    // loggers' files) in thousandths; the first two kinds are what an export looks up. The
    // kinds kept aside come last.
    enum Kind : quint8 {
        Whole,
        Hundredths,
        Empty,
        Text,
        Time,
        Thousandths,
        BigWhole,
        BigDecimal,
        BigTime
    };
    std::pair<Kind, qint32> kept(qint64 row, int field) const
    {
        return { rows_[row].kind[field], rows_[row].data[field] };
    }
    const QString &textAt(qint32 index) const { return texts_[index]; }
    // A BigDecimal's value, as Fixed::raw gives it.
    qint64 bigAt(qint32 index) const { return big_[index]; }

private:
    // A Big kind's data is the index of its value in big_; a time's is its whole seconds.
    struct Row {
        std::array<qint32, FieldCount> data; // by kind: a text's index, a number, seconds
        std::array<Kind, FieldCount> kind;
    };
    void keepValue(Row &row, int field, const Value &value);
    static bool fits(qint64 v)
    {
        return v >= std::numeric_limits<qint32>::min() && v <= std::numeric_limits<qint32>::max();
    }
    // Keeps `v` as `kind`, or aside as `big` when it does not fit.
    void keep(Row &row, int field, qint64 v, Kind kind, Kind big)
    {
        if (!fits(v))
            return aside(row, field, v, big);
        row.kind[field] = kind, row.data[field] = qint32(v);
    }
    // In hundredths where it is exact to them, as a charger sends it, or in thousandths;
    // otherwise aside.
    void keepDecimal(Row &row, int field, Fixed d)
    {
        const qint64 raw = d.raw();
        if (raw % 100 == 0 && fits(raw / 100))
            row.kind[field] = Hundredths, row.data[field] = qint32(raw / 100);
        else if (raw % 10 == 0 && fits(raw / 10))
            row.kind[field] = Thousandths, row.data[field] = qint32(raw / 10);
        else
            aside(row, field, raw, BigDecimal);
    }
    // A time of whole seconds as Time, any other aside.
    void keepTime(Row &row, int field, double days);
    void aside(Row &row, int field, qint64 v, Kind big);
    // `number` of the kinds it does not read itself.
    bool otherNumber(qint64 row, int field, Fixed &n) const;
    bool otherSeconds(qint64 row, int field, int &s) const;
    // A time's seconds as a time of day.
    static int inDay(qint32 seconds)
    {
        return quint32(seconds) < 86400 ? seconds : (seconds % 86400 + 86400) % 86400;
    }

    QList<Row> rows_;
    QList<qint64> big_;
    QStringList texts_;
    QHash<QString, qint32> textIndex_;
};

// Rows read from a file, kept as a run keeps them, each with its time on the chart (days, going
// on past midnight): made off the GUI thread, taken there in one piece.
struct SampleBatch {
    Samples samples;
    std::vector<double> days;
};
