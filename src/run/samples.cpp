#include "run/samples.h"

#include "platform/core/whole_file.h"

#include <QFile>

#include <algorithm>
#include <atomic>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>

namespace {
constexpr quint32 SmallCount = 10'000;
// The text of a small number and the comma after it, padded to eight bytes so that it is
// copied in one move; by kind (Whole, Hundredths): "0," to "9999," and "0.00," to "99.99,".
using SmallTexts = std::array<std::array<std::array<char, 8>, SmallCount>, 2>;

// The length of a small number's text with its comma, worked out rather than looked up: the
// next field's place waits for it, and a look-up that left the processor's first cache would
// hold up every field after it.
constexpr int smallSize(int kind, quint32 n)
{
    return kind ? 5 + int(n >= 1000) : 2 + int(n >= 10) + int(n >= 100) + int(n >= 1000);
}

// Most of what a charger sends is one of these: an export looks them up rather than write
// them digit by digit, which costs it more in guessed branches than in arithmetic.
const SmallTexts &smallTexts()
{
    static const auto texts = [] {
        auto t = std::make_unique<SmallTexts>();
        for (quint32 n = 0; n < SmallCount; ++n) {
            char *whole = (*t)[0][n].data(), *hundredths = (*t)[1][n].data();
            *std::to_chars(whole, whole + 6, n).ptr = ',';
            *Fixed::fromHundredths(n).writePlain(hundredths) = ',';
        }
        return t;
    }();
    return *texts;
}
} // namespace

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

void Samples::keepValue(Row &row, int f, const Value &value)
{
    struct {
        Samples &samples;
        Row &row;
        int f;
        void operator()(std::monostate) const { row.kind[f] = Empty; }
        void operator()(const QString &t) const
        {
            // Mostly the very string of the row before, found without a look-up.
            if (!samples.rows_.isEmpty() && samples.rows_.back().kind[f] == Text) {
                const qint32 before = samples.rows_.back().data[f];
                const QString &b = samples.texts_[before];
                if (b.constData() == t.constData() && b.size() == t.size()) {
                    row.kind[f] = Text, row.data[f] = before;
                    return;
                }
            }
            auto at = samples.textIndex_.constFind(t);
            if (at == samples.textIndex_.constEnd()) {
                at = samples.textIndex_.insert(t, qint32(samples.texts_.size()));
                samples.texts_ << t;
            }
            row.kind[f] = Text, row.data[f] = *at;
        }
        void operator()(qint64 w) const { samples.keep(row, f, w, Whole, BigWhole); }
        void operator()(Fixed d) const { samples.keepDecimal(row, f, d); }
        void operator()(DayTime t) const { samples.keepTime(row, f, t.days); }
    } kept { *this, row, f };
    value.visit(kept);
}

void Samples::append(const ChannelReading &reading)
{
    Row row;
    for (int f = 0; f < FieldCount; ++f) {
        if (reading[f].isEmpty()) // most fields of most readings: no visit for them
            row.kind[f] = Empty;
        else
            keepValue(row, f, reading[f]);
    }
    rows_.append(row);
}

Samples Samples::picked(const QList<qint64> &rows) const
{
    Samples out = *this;
    out.rows_.clear();
    out.rows_.reserve(rows.size());
    for (const qint64 r : rows)
        out.rows_.append(rows_[r]);
    return out;
}

void Samples::set(qint64 row, int field, const Value &value)
{
    keepValue(rows_[row], field, value);
}

void Samples::append(const Samples &more)
{
    QList<qint32> textAt; // more's text index: ours
    bool moved = !big_.isEmpty() && !more.big_.isEmpty();
    for (const QString &t : more.texts_) {
        auto at = textIndex_.constFind(t);
        if (at == textIndex_.constEnd()) {
            at = textIndex_.insert(t, qint32(texts_.size()));
            texts_ << t;
        }
        moved = moved || *at != textAt.size();
        textAt << *at;
    }
    const qint32 bigBase = qint32(big_.size());
    big_ += more.big_;
    const qsizetype first = rows_.size();
    rows_ += more.rows_;
    if (!moved)
        return;
    for (auto row = rows_.begin() + first; row != rows_.end(); ++row)
        for (int f = 0; f < FieldCount; ++f) {
            if (row->kind[f] == Text)
                row->data[f] = textAt[row->data[f]];
            else if (row->kind[f] >= BigWhole)
                row->data[f] += bigBase;
        }
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
    case Hundredths:
        return Fixed::fromHundredths(d);
    case Thousandths:
        return Fixed::fromRaw(qint64(d) * 10);
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

bool Samples::otherNumber(qint64 row, int field, Fixed &n) const
{
    switch (rows_[row].kind[field]) {
    case BigWhole:
    case BigDecimal:
    case Text:
        if (const auto v = value(row, field).number())
            return n = *v, true;
        return false;
    default:
        return false;
    }
}

bool Samples::otherSeconds(qint64 row, int field, int &s) const
{
    return s = value(row, field).time()->secondsOfDay(), true;
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
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file.errorString();
    QByteArray out;
    for (qsizetype f = 0; f < captions.size(); ++f) {
        if (f > 0)
            out += ',';
        appendCsvField(out, captions[f]);
    }
    out += "\r\n";
    // A type or charge state stands in thousands of rows: each is made a CSV field once, with
    // room behind it so that a short one is copied in one move of `Short` bytes.
    constexpr qsizetype Short = 16;
    static_assert(Short <= Fixed::PlainSize); // each field's room in a row holds the move
    QList<QByteArray> texts;
    qsizetype longest = Fixed::PlainSize;
    for (const QString &t : texts_) {
        texts << QByteArray();
        appendCsvField(texts.back(), t);
        longest = std::max(longest, texts.back().size());
        texts.back().reserve(Short);
    }
    const qsizetype rowRoom = FieldCount * (longest + 1) + 2;
    const SmallTexts &small = smallTexts();
    // Writes a row's line at `p`, which has `rowRoom` bytes; returns its end.
    const auto line = [&](qint64 row, char *p) {
        const Row &r = rows_[row];
        // Each field is written with the comma after it; the row's last becomes its line
        // end. Unrolled, each field has branches of its own, which a column's steady kind
        // keeps guessed right (8 % of the formatting here).
#pragma GCC unroll 32
        for (int f = 0; f < FieldCount; ++f) {
            const Kind kind = r.kind[f];
            const qint32 d = r.data[f];
            if (kind <= Hundredths && quint32(d) < SmallCount) {
                std::memcpy(p, small[kind][d].data(), 8); // the row's room leaves space
                p += smallSize(kind, quint32(d));
                continue;
            }
            switch (kind) {
            case Empty:
                break;
            case Text: { // numbers and times hold nothing that needs quoting
                const QByteArray &text = std::as_const(texts)[d];
                if (text.size() <= Short)
                    std::memcpy(p, text.constData(), Short);
                else
                    std::memcpy(p, text.constData(), std::size_t(text.size()));
                p += text.size();
                break;
            }
            case Whole:
                p = std::to_chars(p, p + Fixed::PlainSize, d).ptr;
                break;
            case Hundredths:
                p = Fixed::fromHundredths(d).writePlain(p);
                break;
            case Thousandths:
                p = Fixed::fromRaw(qint64(d) * 10).writePlain(p);
                break;
            case Time:
                DayTime::hhmmss(inDay(d), p);
                p += 8;
                break;
            default: {
                QByteArray big;
                value(row, f).appendText(big);
                p = std::copy(big.cbegin(), big.cend(), p);
            }
            }
            *p++ = ',';
        }
        p[-1] = '\r';
        *p++ = '\n';
        return p;
    };
    // Rows are made and written in blocks, each by the thread whose turn it is: on a long run
    // two take turns, each making its next block while the other's is copied by the kernel,
    // since making the text costs as much as that copy. Each keeps its own buffer, which stays
    // in its core's cache. Blocks reach the file in order; at about 1 MiB each, a thread seldom
    // waits for its turn.
    constexpr qint64 Block = 8192, Alone = 10'000; // rows; fewer cost less than a thread's start
    constexpr qint64 Failed = std::numeric_limits<qint64>::max();
    const qint64 blocks = std::max<qint64>(1, (count() + Block - 1) / Block); // the captions
    std::atomic<qint64> turn = 0; // the block written next, or Failed
    const auto share = [&](qint64 first, qint64 step, QByteArray out) {
        qsizetype start = out.size(); // the captions, before the first block
        out.resize(start + std::min(count(), Block) * 128); // most rows take less, or grow it
        for (qint64 b = first; b < blocks; b += step, start = 0) {
            qsizetype made = start;
            for (qint64 row = b * Block; row < std::min(count(), (b + 1) * Block); ++row) {
                if (made + rowRoom > out.size())
                    out.resize(std::max(out.size() * 2, made + rowRoom));
                made = line(row, out.data() + made) - out.data();
            }
            for (qint64 now; (now = turn) < b;)
                turn.wait(now);
            const bool ok = turn == b && writeWhole(file, QByteArrayView(out).first(made));
            turn = ok ? b + 1 : Failed;
            turn.notify_all();
            if (!ok)
                return;
        }
    };
    {
        std::jthread other;
        if (count() >= Alone)
            other = std::jthread(share, 1, 2, QByteArray());
        share(0, other.joinable() ? 2 : 1, out);
    }
    const bool written = turn != Failed;
    if (!written || !file.flush()) {
        const QString why = file.errorString();
        file.remove(); // a cut-off table must not pass for the whole run
        return why;
    }
    return {};
}
