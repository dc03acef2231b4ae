#include "import/text_log.h"

#include "link/channel_reading.h"

#include <QCoreApplication>
#include <QMap>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>

namespace {

constexpr qsizetype MaxLine = 64 * 1024;
constexpr int SniffLines = 50; // a header stands within these
constexpr int AgreeingLines = 5; // lines below a header with as many fields
constexpr double Largest = 1e9; // more than any charger shows in any field

// Pieces of a log: its lines, or a line's fields. Vectors, not QLists: every field of every
// line passes through one.
using Views = std::vector<QByteArrayView>;

QByteArrayView trimmed(QByteArrayView f)
{
    // Most fields hold neither spaces nor quotes at their ends: those cost no call.
    const auto plain = [](char c) { return c > ' ' && c != '"'; };
    if (f.isEmpty() || (plain(f.front()) && plain(f.back())))
        return f;
    f = f.trimmed();
    if (f.size() >= 2 && f.front() == '"' && f.back() == '"')
        f = f.sliced(1, f.size() - 2).trimmed();
    return f;
}

// The bytes of `word` equal to `c`, each marked by its top bit; exact, unlike the usual test
// for a zero byte, which may mark a byte above a match.
quint64 matches(quint64 word, char c)
{
    constexpr quint64 Low7 = 0x7f7f'7f7f'7f7f'7f7fULL;
    const quint64 x = word ^ (0x0101'0101'0101'0101ULL * uchar(c));
    return ~(((x & Low7) + Low7) | x | Low7);
}

// The fields of a line, quotes kept; trailing empty fields (a delimiter at the end) dropped.
void split(QByteArrayView line, char delimiter, Views &out)
{
    out.clear();
    qsizetype from = 0;
    // Most lines hold no quotes: their delimiters are found eight bytes at a time, without a
    // call or a branch for each byte.
    const auto plain = [&](quint64 word, qsizetype at) {
        if (matches(word, '"'))
            return false;
        for (quint64 m = matches(word, delimiter); m; m &= m - 1) {
            const qsizetype end = at + std::countr_zero(m) / 8;
            out.push_back(line.sliced(from, end - from));
            from = end + 1;
        }
        return true;
    };
    bool quoteless = true;
    qsizetype at = 0;
    for (; quoteless && at + 8 <= line.size(); at += 8)
        quoteless = plain(qFromLittleEndian<quint64>(line.data() + at), at);
    if (quoteless && at < line.size()) { // the rest, after zeros that match nothing
        uchar rest[8] = {};
        std::memcpy(rest, line.data() + at, std::size_t(line.size() - at));
        quoteless = plain(qFromLittleEndian<quint64>(rest), at);
    }
    if (!quoteless) {
        out.clear();
        from = 0;
        bool quoted = false;
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else if (line[i] == delimiter && !quoted) {
                out.push_back(line.sliced(from, i - from));
                from = i + 1;
            }
        }
    }
    out.push_back(line.sliced(from));
    while (!out.empty() && trimmed(out.back()).isEmpty())
        out.pop_back();
}

// Whether `bytes` hold a control character other than a tab or a line's end. Looked for 64
// bytes at a time without a branch: the compiler makes that a few vector instructions.
bool holdsBinary(QByteArrayView bytes)
{
    const auto control = [](char c) {
        return uchar(uchar(c) < 0x20) & uchar(c != '\t') & uchar(c != '\n') & uchar(c != '\r');
    };
    qsizetype i = 0;
    for (uchar found = 0; i + 64 <= bytes.size(); i += 64) {
        for (int j = 0; j < 64; ++j)
            found |= control(bytes[i + j]);
        if (found)
            return true;
    }
    uchar found = 0;
    for (; i < bytes.size(); ++i)
        found |= control(bytes[i]);
    return found;
}

// A number as the log writes it; none for a text. `decimalComma`: "3,71".
std::optional<double> number(QByteArrayView field, bool decimalComma)
{
    field = trimmed(field);
    if (field.startsWith('+'))
        field = field.sliced(1);
    if (field.isEmpty() || field.size() > 64)
        return std::nullopt;
    char text[64];
    const char *from = field.data();
    if (decimalComma) {
        for (qsizetype i = 0; i < field.size(); ++i)
            text[i] = field[i] == ',' ? '.' : field[i];
        from = text;
    }
    double v = 0;
    const auto [end, ec] = std::from_chars(from, from + field.size(), v);
    if (end != from + field.size() || (ec != std::errc() && ec != std::errc::result_out_of_range))
        return std::nullopt;
    return ec == std::errc() ? v : HUGE_VAL;
}

// The plain decimal ("-12.345"; "3,71" with a decimal comma) that [p, end) starts with, up to
// the first byte that is none of its, where `p` is left; times ten to the `shift`, exactly, as a
// Fixed: most fields of a log, read without a double. None for anything else (an exponent, more
// decimals than a Fixed keeps, a number near the limits), which `number` reads then; where both
// read a field, they agree.
std::optional<Fixed> leadingDecimal(const char *&p, const char *end, char point, int shift)
{
    static constexpr qint64 Ten[] = { 1, 10, 100, 1000, 10'000, 100'000, 1'000'000, 10'000'000 };
    const bool minus = p != end && *p == '-';
    p += p != end && (*p == '-' || *p == '+');
    end = p + std::min<qsizetype>(end - p, 16); // 15 digits and a point: no overflow below
    qint64 m = 0;
    const auto digits = [&m, &p, end] {
        const char *from = p;
        for (unsigned d = 0; p != end && (d = unsigned(*p - '0')) < 10; ++p)
            m = m * 10 + d;
        return int(p - from);
    };
    const int whole = digits();
    int decimals = 0;
    if (p != end && *p == point) {
        ++p;
        decimals = digits();
        if (decimals == 0)
            return std::nullopt; // "5."
    }
    const int up = 4 + shift - decimals;
    if (whole == 0 || whole + decimals > 15 || up < 0 || up > 7
        || m > qint64(Largest) * Ten[decimals])
        return std::nullopt;
    // Below 2 to the 48th, a double's product rounds to the same: `number` agrees.
    const qint64 raw = m * Ten[up];
    if (raw >= qint64(1) << 48)
        return std::nullopt;
    return Fixed::fromRaw(minus ? -raw : raw);
}

// A field that is a plain decimal and nothing else, as leadingDecimal reads it.
std::optional<Fixed> plainDecimal(QByteArrayView field, bool decimalComma, int shift)
{
    field = trimmed(field);
    const char *p = field.data(), *end = p + field.size();
    const auto x = leadingDecimal(p, end, decimalComma ? ',' : '.', shift);
    return p == end ? x : std::nullopt;
}

// A quantity's scale as a power of ten (-3 to 3), which plainDecimal applies; none for others.
std::optional<int> powerOfTen(double scale)
{
    static constexpr double Powers[] = { 1e-3, 1e-2, 1e-1, 1, 1e1, 1e2, 1e3 };
    for (int k = 0; k < 7; ++k)
        if (std::abs(scale) == Powers[k])
            return k - 3;
    return std::nullopt;
}

// "hh:mm:ss(.mmm)" or "mm:ss(.mmm)" as seconds.
std::optional<double> clock(QByteArrayView field, bool decimalComma)
{
    field = trimmed(field);
    double seconds = 0;
    int parts = 0;
    for (qsizetype from = 0; from <= field.size();) {
        qsizetype to = field.indexOf(':', from);
        if (to < 0)
            to = field.size();
        const auto n = number(field.sliced(from, to - from), decimalComma);
        if (!n || *n < 0 || ++parts > 3)
            return std::nullopt;
        seconds = seconds * 60 + *n;
        from = to + 1;
    }
    return parts >= 2 ? std::optional(seconds) : std::nullopt;
}

bool numeric(const Views &fields, bool decimalComma)
{
    for (QByteArrayView f : fields)
        if (number(f, decimalComma) || clock(f, decimalComma))
            return true;
    return false;
}

// What is left out, by reason, with the first line it happened on.
class Skips {
public:
    void add(const char *why, qsizetype line, qint64 lines = 1)
    {
        auto &[count, first] = by_[why];
        if (count == 0)
            first = line;
        count += lines;
    }
    QStringList lines() const
    {
        QStringList out;
        for (auto i = by_.cbegin(); i != by_.cend(); ++i)
            out << QCoreApplication::translate("LogImport", "%n line(s) %1 (the first: line %2)",
                                               nullptr, int(i->first))
                       .arg(QCoreApplication::translate("LogImport", i.key()))
                       .arg(i->second);
        return out;
    }

private:
    QMap<const char *, std::pair<qint64, qsizetype>> by_;
};

// How a column is read: its quantity; the field it goes to (cells take C1 on, in their order,
// up to the twelfth; -1 for nowhere); the power of ten plainDecimal reads it at, where it can.
struct Column {
    Quantity quantity;
    int field;
    std::optional<int> shift;
};

struct Layout {
    char delimiter = ',';
    bool decimalComma = false;
    qsizetype header = -1; // -1: no header (logger lines)
    bool dollar = false;
};

// Keeps a plain decimal read from `column` in its row (a time in `seconds`); false where the
// column needs more than that: a temperature with a fraction, rounded from its double.
bool keepPlain(const Column &column, Fixed x, Samples &samples, qint64 row, double &seconds)
{
    const auto &[q, field, shift] = column;
    if (q.scale < 0)
        x = -x;
    if (q.field == Time) { // mostly whole: no division then
        const qint64 whole = x.raw() / 10'000;
        seconds = x.raw() % 10'000 == 0 ? double(whole) : x.toDouble();
        return true;
    }
    if (q.field != Ext_temp) {
        if (field >= 0)
            samples.set(row, field, x);
        return true;
    }
    if (x.raw() % 10'000 != 0)
        return false;
    samples.set(row, field, x.raw() / 10'000); // a temperature in whole degrees
    return true;
}

// Reads a line in one pass, without splitting it first, where every column it takes is a plain
// decimal with nothing around it: most lines of most logs. False for any other line, which the
// full reading takes then, over what this kept.
bool quickLine(QByteArrayView line, const Layout &layout, const std::vector<Column> &reads,
               Samples &samples, qint64 row, double &seconds)
{
    if (line.endsWith('\r'))
        line.chop(1);
    const char *p = line.data(), *end = p + line.size();
    const char point = layout.decimalComma ? ',' : '.';
    for (const Column &column : reads) {
        if (column.quantity.field < 0) { // its text passed over, quotes left to the full reading
            for (; p != end && *p != layout.delimiter; ++p)
                if (*p == '"')
                    return false;
        } else {
            const auto x = leadingDecimal(p, end, point, *column.shift);
            if (!x || (p != end && *p != layout.delimiter)
                || !keepPlain(column, *x, samples, row, seconds))
                return false;
        }
        p += p != end;
    }
    return true;
}

// The delimiter and header line: the first line with at least two fields whose next lines have
// as many, the first of them with a number, and which is no line of numbers itself.
std::optional<Layout> sniff(const Views &lines)
{
    Views fields, below;
    std::optional<Layout> best;
    std::size_t bestFields = 0;
    for (const char d : { ',', ';', '\t', '|' })
        for (qsizetype h = 0; h < std::min<qsizetype>(qsizetype(lines.size()) - 1, SniffLines);
             ++h) {
            split(lines[h], d, fields);
            if (fields.size() < 2 || numeric(fields, false) || (best && h > best->header))
                continue;
            // A stray line among the first (an error the logger wrote) is forgiven.
            qsizetype agreeing = 0, looked = 0;
            for (std::size_t at = std::size_t(h) + 1; at < lines.size() && looked < AgreeingLines;
                 ++at, ++looked) {
                split(lines[at], d, below);
                if (below.size() == fields.size() && numeric(below, d != ','))
                    ++agreeing;
                else if (looked == 0)
                    break;
            }
            if (agreeing == 0 || agreeing + 1 < looked)
                continue;
            if (!best || h < best->header || fields.size() > bestFields) {
                best = Layout { d, false, h, false };
                bestFields = fields.size();
            }
            break;
        }
    if (best && best->delimiter != ',') {
        split(lines[std::size_t(best->header) + 1], best->delimiter, fields);
        for (QByteArrayView f : fields)
            best->decimalComma
                = best->decimalComma || (trimmed(f).contains(',') && number(f, true));
    }
    return best;
}

} // namespace

LogReading readTextLog(const QByteArray &bytes, const ColumnMapper &mapper)
{
    const auto refused
        = [](const QString &why) { return [log = ImportedLog::refused(why)] { return log; }; };
    if (holdsBinary(bytes))
        return refused(
            QCoreApplication::translate("LogImport", "It is no text: it holds binary data."));
    Views lines;
    for (qsizetype from = 0; from < bytes.size();) {
        const void *end
            = std::memchr(bytes.constData() + from, '\n', std::size_t(bytes.size() - from));
        const qsizetype to
            = end ? static_cast<const char *>(end) - bytes.constData() : bytes.size();
        if (to - from > MaxLine)
            return refused(
                QCoreApplication::translate("LogImport", "Line %1 is longer than %2 characters.")
                    .arg(lines.size() + 1)
                    .arg(MaxLine));
        const QByteArrayView line(bytes.constData() + from, to - from);
        lines.push_back(line); // a CR before the LF goes with the trimming of each field
        from = to + 1;
    }
    while (!lines.empty() && lines.back().trimmed().isEmpty())
        lines.pop_back();

    Layout layout;
    qsizetype first = 0; // the first line of samples
    while (first < std::ssize(lines) && lines[std::size_t(first)].trimmed().isEmpty())
        ++first;
    Views fields;
    LogColumns columns;
    if (first < std::ssize(lines) && lines[std::size_t(first)].startsWith('$')) {
        layout = { ';', false, -1, true };
        split(lines[first].sliced(1), ';', fields);
        for (QByteArrayView f : fields) {
            columns.names << QString::number(columns.names.size() + 1);
            columns.example << QString::fromUtf8(trimmed(f));
            layout.decimalComma = layout.decimalComma || (f.contains(',') && number(f, true));
        }
    } else if (const auto found = sniff(lines)) {
        layout = *found;
        first = layout.header + 1;
        split(lines[layout.header], layout.delimiter, fields);
        for (QByteArrayView f : fields)
            columns.names << QString::fromUtf8(trimmed(f)).replace(QLatin1String("\"\""), "\"");
        split(lines[first], layout.delimiter, fields);
        for (QByteArrayView f : fields)
            columns.example << QString::fromUtf8(trimmed(f));
    } else {
        return refused(QCoreApplication::translate(
            "LogImport", "No header line with columns of numbers below it was found."));
    }
    const std::optional<ColumnMap> map = mapper(columns);
    if (!map)
        return refused(QCoreApplication::translate("LogImport", "Cancelled."));
    std::vector<Column> reads; // by column
    qsizetype timeAt = -1, voltsAt = -1;
    for (int cell = 0; const int key : *map) {
        const Quantity q = quantities().value(key);
        const qsizetype c = std::ssize(reads);
        if (q.field == Time && timeAt < 0)
            timeAt = c;
        if (q.field == Bat_volt && voltsAt < 0)
            voltsAt = c;
        // Most numbers are read without a double; a time in seconds is its Fixed's double, a
        // division rounded as the text's double is.
        reads.push_back({ q,
                          q.field != C1   ? q.field
                              : cell < 12 ? C1 + cell++
                                          : -1,
                          q.field != Time    ? powerOfTen(q.scale)
                              : q.scale == 1 ? std::optional(0)
                                             : std::nullopt });
    }
    if (voltsAt < 0)
        return refused(
            QCoreApplication::translate("LogImport", "No column is taken as the voltage."));

    // The lines are read where the reading is called: on a thread of its own, for an import.
    return [bytes, lines = std::move(lines), layout, first, reads = std::move(reads), timeAt,
            voltsAt] {
        Views fields;
        ImportedLog log;
        Samples &samples = log.samples;
        samples.reserve(std::ssize(lines) - first);
        Skips skips;
        if (layout.header > 0)
            skips.add(QT_TRANSLATE_NOOP("LogImport", "before the header"), 1, layout.header);
        const bool byClock = timeAt >= 0 && reads[std::size_t(timeAt)].quantity.scale == 0;
        const bool quick = std::all_of(reads.cbegin(), reads.cend(), [](const Column &c) {
            return c.quantity.field < 0 || c.shift;
        });
        double firstSeconds = 0, lastSeconds = -1, lastClock = -1, days = 0;
        for (qsizetype i = first; i < std::ssize(lines); ++i) {
            const qsizetype lineNo = i + 1;
            QByteArrayView line = lines[i];
            if (line.trimmed().isEmpty())
                continue;
            if (layout.dollar) {
                if (!line.startsWith('$')) {
                    skips.add(QT_TRANSLATE_NOOP("LogImport", "without \"$\" at the start"), lineNo);
                    continue;
                }
                line = line.sliced(1);
            }
            const qint64 row = samples.count();
            double seconds = double(row);
            samples.appendEmpty(); // removed again when the line is not taken
            bool taken = true;
            // Most lines are read in one pass, the others field by field.
            const bool read = quick && quickLine(line, layout, reads, samples, row, seconds);
            if (!read)
                split(line, layout.delimiter, fields);
            for (qsizetype c = 0; !read && c < std::ssize(reads) && taken; ++c) {
                const auto &[q, field, shift] = reads[std::size_t(c)];
                if (q.field < 0)
                    continue;
                const QByteArrayView f
                    = c < std::ssize(fields) ? fields[std::size_t(c)] : QByteArrayView();
                if (shift)
                    if (const auto x = plainDecimal(f, layout.decimalComma, *shift);
                        x && keepPlain(reads[std::size_t(c)], *x, samples, row, seconds))
                        continue;
                const auto v = q.field == Time && q.scale == 0 ? clock(f, layout.decimalComma)
                                                               : number(f, layout.decimalComma);
                if (v && !std::isfinite(*v))
                    return ImportedLog::refused(
                        QCoreApplication::translate("LogImport",
                                                    "Line %1: \"%2\" is no finite number.")
                            .arg(lineNo)
                            .arg(QString::fromUtf8(trimmed(f))));
                if (v && std::abs(*v) > Largest)
                    return ImportedLog::refused(
                        QCoreApplication::translate("LogImport", "Line %1: %2 is out of range.")
                            .arg(lineNo)
                            .arg(QString::fromUtf8(trimmed(f))));
                if ((c == timeAt || c == voltsAt) && !v) {
                    skips.add(c == timeAt ? QT_TRANSLATE_NOOP("LogImport", "without a time")
                                          : QT_TRANSLATE_NOOP("LogImport", "without a voltage"),
                              lineNo);
                    taken = false;
                    continue;
                }
                const double scaled = q.scale == 0 ? *v : v.value_or(0) * q.scale;
                if (q.field == Time)
                    seconds = scaled;
                else if (field < 0)
                    continue;
                else if (!v)
                    samples.set(row, field, Value());
                else if (q.field == Ext_temp)
                    samples.set(row, field, qint64(std::lround(scaled)));
                else
                    samples.set(row, field, Fixed::fromDouble(scaled));
            }
            if (!taken) {
                samples.removeLast();
                continue;
            }
            if (byClock) { // a clock past midnight starts from 0 again
                if (seconds + 43200 < lastClock)
                    days += 86400;
                lastClock = seconds;
                seconds += days;
            }
            if (row == 0)
                firstSeconds = seconds;
            seconds -= firstSeconds;
            if (seconds < lastSeconds) {
                skips.add(QT_TRANSLATE_NOOP("LogImport", "whose time goes back"), lineNo);
                samples.removeLast();
                continue;
            }
            lastSeconds = seconds;
            if (seconds == std::trunc(seconds) && std::abs(seconds) < 1e9)
                samples.setSeconds(row, Time, qint32(seconds));
            else
                samples.set(row, Time, DayTime { seconds / 86400 });
        }
        log.skipped = skips.lines();
        return log;
    };
}
