#include "link/value.h"

#include <QtNumeric>

#include <algorithm>
#include <charconv>

#include <cmath>

std::optional<Fixed> Fixed::parse(QStringView text)
{
    const QStringView t = text.trimmed();
    qsizetype i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) {
        negative = t[i] == u'-';
        ++i;
    }
    // The whole part is gathered in ten-thousandths, each step checked, so no text can wrap.
    qint64 raw = 0;
    int wholeDigits = 0;
    for (; i < t.size() && t[i].isDigit(); ++i, ++wholeDigits) {
        if (qMulOverflow(raw, qint64(10), &raw)
            || qAddOverflow(raw, t[i].digitValue() * 10000LL, &raw))
            return std::nullopt;
    }
    qint64 frac = 0;
    int fracDigits = 0;
    bool roundUp = false;
    if (i < t.size() && t[i] == u'.') {
        for (++i; i < t.size() && t[i].isDigit(); ++i, ++fracDigits) {
            if (fracDigits < 4)
                frac = frac * 10 + t[i].digitValue();
            else if (fracDigits == 4)
                roundUp = t[i].digitValue() >= 5;
        }
    }
    if (i != t.size() || wholeDigits + fracDigits == 0)
        return std::nullopt;
    for (int d = fracDigits; d < 4; ++d)
        frac *= 10;
    if (qAddOverflow(raw, frac + (roundUp ? 1 : 0), &raw))
        return std::nullopt;
    return Fixed(negative ? -raw : raw);
}

qint64 Fixed::roundedHalfEven() const
{
    qint64 q = raw_ / 10000;
    const qint64 r = raw_ % 10000; // same sign as raw_
    if (r > 5000 || (r == 5000 && (q % 2 != 0)))
        ++q;
    else if (r < -5000 || (r == -5000 && (q % 2 != 0)))
        --q;
    return q;
}

Fixed Fixed::hundredths() const
{
    const qint64 mag = raw_ < 0 ? -raw_ : raw_;
    const qint64 h = (mag + 50) / 100 * 100;
    return Fixed(raw_ < 0 ? -h : h);
}

namespace {
// Writes "##0.00" of `raw` so that it ends at `end`; returns where it begins. Every frame
// formats its power and every sample its row, so this stays clear of QString::arg.
char *format2Digits(qint64 raw, char *end)
{
    const quint64 mag = raw < 0 ? 0 - quint64(raw) : quint64(raw);
    quint64 hundredths = (mag + 50) / 100;
    const bool negative = raw < 0 && hundredths != 0;
    char *p = end;
    for (int digits = 0; digits < 3 || hundredths != 0; ++digits) {
        if (digits == 2)
            *--p = '.';
        *--p = char('0' + hundredths % 10);
        hundredths /= 10;
    }
    if (negative)
        *--p = '-';
    return p;
}
} // namespace

QString Fixed::format2() const
{
    char text[24];
    const char *p = format2Digits(raw_, text + sizeof text);
    return QString::fromLatin1(p, text + sizeof text - p);
}

char *Fixed::writeOtherPlain(char *to) const
{
    char text[PlainSize];
    char *const end = text + sizeof text;
    char *p = end;
    if (raw_ % 100 == 0) {
        p = format2Digits(raw_, end);
    } else { // three or four decimals, digit by digit: an import writes millions of them
        const quint64 mag = raw_ < 0 ? 0 - quint64(raw_) : quint64(raw_);
        quint64 frac = mag % 10000;
        int decimals = 4;
        for (; frac % 10 == 0; frac /= 10)
            --decimals;
        for (; decimals > 0; --decimals, frac /= 10)
            *--p = char('0' + frac % 10);
        *--p = '.';
        quint64 whole = mag / 10000;
        do
            *--p = char('0' + whole % 10);
        while ((whole /= 10) != 0);
        if (raw_ < 0)
            *--p = '-';
    }
    return std::copy(p, end, to);
}

QString Fixed::plain() const
{
    char text[PlainSize];
    return QString::fromLatin1(text, writePlain(text) - text);
}

Fixed Fixed::operator*(Fixed other) const
{
    // Both factors carry four decimals; the product carries eight, rounded back to four.
    const __int128 p = static_cast<__int128>(raw_) * other.raw_;
    const __int128 half = p < 0 ? -5000 : 5000;
    return Fixed(static_cast<qint64>((p + half) / 10000));
}

int DayTime::secondsOfDay() const
{
    const qint64 s = std::llround(days * 86400.0);
    return static_cast<int>(((s % 86400) + 86400) % 86400);
}

QString DayTime::hhmmss() const
{
    char text[8];
    hhmmss(text);
    return QString::fromLatin1(text, 8);
}

QString Value::text() const
{
    struct {
        QString operator()(std::monostate) const { return {}; }
        QString operator()(const QString &t) const { return t; }
        QString operator()(qint64 w) const { return QString::number(w); }
        QString operator()(Fixed f) const { return f.plain(); }
        QString operator()(DayTime t) const { return t.hhmmss(); }
    } visitor;
    return std::visit(visitor, v_);
}

void Value::appendText(QByteArray &utf8) const
{
    char text[Fixed::PlainSize];
    char *const end = text + sizeof text;
    if (const auto *f = std::get_if<Fixed>(&v_)) {
        utf8.append(text, f->writePlain(text) - text);
    } else if (const auto *w = std::get_if<qint64>(&v_)) {
        const auto r = std::to_chars(text, end, *w);
        utf8.append(text, r.ptr - text);
    } else if (const DayTime *t = time()) {
        t->hhmmss(text);
        utf8.append(text, 8);
    } else if (!isEmpty()) {
        utf8 += this->text().toUtf8();
    }
}

std::optional<Fixed> Value::number() const
{
    if (const auto *w = std::get_if<qint64>(&v_))
        return Fixed::fromWhole(*w);
    if (const auto *f = std::get_if<Fixed>(&v_))
        return *f;
    if (const auto *t = std::get_if<QString>(&v_))
        return Fixed::parse(*t);
    return std::nullopt;
}
