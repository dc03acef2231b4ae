#include "run/samples.h"

#include <QFile>

#include <bit>
#include <cmath>
#include <limits>

void appendCsvField(QByteArray &out, const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    if (!utf8.contains(',') && !utf8.contains('"') && !utf8.contains('\r')
        && !utf8.contains('\n')) {
        out += utf8;
        return;
    }
    out += '"';
    for (char c : utf8)
        out += c == '"' ? QByteArrayView("\"\"") : QByteArrayView(&c, 1);
    out += '"';
}

void Samples::shown(ChannelReading &reading)
{
    if (const DayTime *t = reading[Time].time())
        reading[Time] = DayTime { t->secondsOfDay() / 86400.0 };
    for (int f : { int(In_Volt), int(Bat_volt), int(Current), int(Power) }) {
        const auto v = reading[f].number();
        reading[f] = v ? Value(v->hundredths()) : Value();
    }
}

void Samples::keep(Row &row, int field, qint64 v, Kind kind, Kind big)
{
    if (v < std::numeric_limits<qint32>::min() || v > std::numeric_limits<qint32>::max())
        return aside(row, field, v, big);
    row.kind[field] = kind, row.data[field] = qint32(v);
}

void Samples::keepTime(Row &row, int field, double days)
{
    const double seconds = std::round(days * 86400);
    if (!(std::abs(seconds) < 1e9 && seconds / 86400 == days))
        return aside(row, field, std::bit_cast<qint64>(days), BigTime);
    row.kind[field] = Time, row.data[field] = qint32(seconds);
}

void Samples::aside(Row &row, int field, qint64 v, Kind big)
{
    row.kind[field] = big, row.data[field] = qint32(big_.size());
    big_ << v;
}

void Samples::append(const ChannelReading &reading)
{
    Row row;
    for (int f = 0; f < FieldCount; ++f) {
        struct {
            Samples &samples;
            Row &row;
            int f;
            void operator()(std::monostate) const { row.kind[f] = Empty; }
            void operator()(const QString &t) const
            {
                auto at = samples.textIndex_.constFind(t);
                if (at == samples.textIndex_.constEnd()) {
                    at = samples.textIndex_.insert(t, qint32(samples.texts_.size()));
                    samples.texts_ << t;
                }
                row.kind[f] = Text, row.data[f] = *at;
            }
            void operator()(qint64 w) const { samples.keep(row, f, w, Whole, BigWhole); }
            void operator()(Fixed d) const { samples.keep(row, f, d.raw(), Decimal, BigDecimal); }
            void operator()(DayTime t) const { samples.keepTime(row, f, t.days); }
        } kept { *this, row, f };
        reading[f].visit(kept);
    }
    rows_.append(row);
}

Value Samples::value(qint64 row, int field) const
{
    if (row < 0 || row >= rows_.size() || field < 0 || field >= FieldCount)
        return {};
    const Row &r = rows_[row];
    const qint32 d = r.data[field];
    switch (r.kind[field]) {
    case Text:
        return texts_[d];
    case Whole:
        return qint64(d);
    case Decimal:
        return Fixed::fromRaw(d);
    case Time:
        return DayTime { d / 86400.0 };
    case BigWhole:
        return big_[d];
    case BigDecimal:
        return Fixed::fromRaw(big_[d]);
    case BigTime:
        return DayTime { std::bit_cast<double>(big_[d]) };
    case Empty:
        break;
    }
    return {};
}

std::optional<Fixed> Samples::number(qint64 row, int field) const
{
    if (row < 0 || row >= rows_.size() || field < 0 || field >= FieldCount)
        return {};
    const Row &r = rows_[row];
    const qint32 d = r.data[field];
    switch (r.kind[field]) {
    case Whole:
        return Fixed::fromWhole(d);
    case Decimal:
        return Fixed::fromRaw(d);
    case BigWhole:
    case BigDecimal:
    case Text:
        return value(row, field).number();
    case Time:
    case BigTime:
    case Empty:
        break;
    }
    return {};
}

ChannelReading Samples::reading(qint64 row) const
{
    ChannelReading r;
    for (int f = 0; f < FieldCount; ++f)
        r[f] = value(row, f);
    return r;
}

QString Samples::writeCsv(const QString &path, const QStringList &captions) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return file.errorString();
    QByteArray out;
    const auto line = [&out](int fields, const auto &field) {
        for (int f = 0; f < fields; ++f) {
            if (f > 0)
                out += ',';
            field(f);
        }
        out += "\r\n";
    };
    line(int(captions.size()), [&](int f) { appendCsvField(out, captions[f]); });
    bool written = true;
    // A type or charge state stands in thousands of rows: each is made a CSV field once.
    QList<QByteArray> texts;
    for (const QString &t : texts_) {
        texts << QByteArray();
        appendCsvField(texts.back(), t);
    }
    // Written in chunks of about a megabyte: fewer writes cost less, larger ones leave the cache.
    constexpr qsizetype Chunk = 1024 * 1024;
    for (qint64 row = 0; row < count() && written; ++row) {
        const Row &r = rows_[row];
        line(FieldCount, [&](int f) {
            if (r.kind[f] == Text) // numbers and times hold nothing that needs quoting
                out += texts[r.data[f]];
            else
                value(row, f).appendText(out);
        });
        if (out.size() >= Chunk || row + 1 == count()) {
            written = file.write(out) == out.size();
            out.resize(0); // keeps its capacity
        }
    }
    if (written && !out.isEmpty()) // the caption row of an empty table
        written = file.write(out) == out.size();
    if (!written || !file.flush()) {
        const QString why = file.errorString();
        file.remove(); // a cut-off table must not pass for the whole run
        return why;
    }
    return {};
}
