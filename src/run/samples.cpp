#include "run/samples.h"

#include <QFile>

#include <bit>

namespace {
// A CSV field: quoted, its quotes doubled, when it holds a separator, quote or line break.
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
} // namespace

void Samples::shown(ChannelReading &reading)
{
    if (const DayTime *t = reading[Time].time())
        reading[Time] = DayTime { t->secondsOfDay() / 86400.0 };
    for (int f : { int(In_Volt), int(Bat_volt), int(Current), int(Power) }) {
        const auto v = reading[f].number();
        reading[f] = v ? Value(v->hundredths()) : Value();
    }
}

void Samples::append(const ChannelReading &reading)
{
    Row row;
    for (int f = 0; f < FieldCount; ++f) {
        struct {
            Row &row;
            int f;
            Samples &samples;
            void operator()(std::monostate) const { row.kind[f] = Empty; }
            void operator()(const QString &t) const
            {
                row.kind[f] = Text;
                auto at = samples.textIndex_.constFind(t);
                if (at == samples.textIndex_.constEnd()) {
                    at = samples.textIndex_.insert(t, samples.texts_.size());
                    samples.texts_ << t;
                }
                row.data[f] = *at;
            }
            void operator()(qint64 w) const { row.kind[f] = Whole, row.data[f] = w; }
            void operator()(Fixed d) const { row.kind[f] = Decimal, row.data[f] = d.raw(); }
            void operator()(DayTime t) const
            {
                row.kind[f] = Time, row.data[f] = std::bit_cast<qint64>(t.days);
            }
        } keep { row, f, *this };
        reading[f].visit(keep);
    }
    rows_.append(row);
}

Value Samples::value(qint64 row, int field) const
{
    if (row < 0 || row >= rows_.size() || field < 0 || field >= FieldCount)
        return {};
    const Row &r = rows_[row];
    const qint64 d = r.data[field];
    switch (r.kind[field]) {
    case Text:
        return texts_[d];
    case Whole:
        return d;
    case Decimal:
        return Fixed::fromRaw(d);
    case Time:
        return DayTime { std::bit_cast<double>(d) };
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
    // Written in chunks of about a megabyte: fewer writes cost less, larger ones leave the cache.
    constexpr qsizetype Chunk = 1024 * 1024;
    for (qint64 row = 0; row < count() && written; ++row) {
        line(FieldCount, [&](int f) {
            const Value v = value(row, f);
            if (v.isText()) // numbers and times hold nothing that needs quoting
                appendCsvField(out, v.text());
            else
                v.appendText(out);
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
