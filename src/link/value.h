#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <compare>
#include <cstdint>
#include <optional>
#include <variant>

// A decimal held as value x 10000 in 64 bits: exact to the hundredth, never a double.
class Fixed {
public:
    constexpr Fixed() = default;
    static constexpr Fixed fromRaw(qint64 raw) { return Fixed(raw); }
    static constexpr Fixed fromHundredths(qint64 h) { return Fixed(h * 100); }
    static constexpr Fixed fromWhole(qint64 w) { return Fixed(w * 10000); }
    // Rounded to the nearest ten-thousandth, halves away from zero as std::llround rounds them;
    // inline, without its call: an import rounds millions.
    static Fixed fromDouble(double v)
    {
        const double x = v * 10000.0;
        const auto whole = static_cast<qint64>(x); // toward zero, and exact below 2 to the 52nd
        const double rest = x - static_cast<double>(whole);
        return Fixed(whole + (rest >= 0.5) - (rest <= -0.5));
    }
    // "." as decimal separator, optional sign; digits past the fourth decimal are rounded.
    static std::optional<Fixed> parse(QStringView text);

    constexpr qint64 raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / 10000.0; }
    // Whole number, halves to the even number.
    qint64 roundedHalfEven() const;
    // To the hundredth, halves away from zero, as format2 shows it.
    Fixed hundredths() const;

    // "##0.00": at least one whole digit, exactly two decimals, halves away from zero.
    QString format2() const;
    // Plain form: two decimals when exact to the hundredth, otherwise up to four.
    QString plain() const;
    // The same written at `to`, at most PlainSize characters; returns where it ends. Inline for
    // what a charger sends (hundredths, below 10,000): an export writes millions of them.
    static constexpr int PlainSize = 24;
    char *writePlain(char *to) const
    {
        constexpr qint64 Inline = 10'000 * 10'000;
        if (raw_ % 100 != 0 || raw_ <= -Inline || raw_ >= Inline)
            return writeOtherPlain(to);
        if (raw_ < 0)
            *to++ = '-';
        const auto hundredths = quint32((raw_ < 0 ? -raw_ : raw_) / 100);
        const quint32 whole = hundredths / 100;
        if (whole >= 100)
            to = whole >= 1000 ? writePair(to, whole / 100) : (*to++ = char('0' + whole / 100), to);
        to = whole >= 10 ? writePair(to, whole % 100) : (*to++ = char('0' + whole), to);
        *to++ = '.';
        return writePair(to, hundredths % 100);
    }

    constexpr Fixed operator-() const { return Fixed(-raw_); }
    constexpr Fixed abs() const { return Fixed(raw_ < 0 ? -raw_ : raw_); }
    Fixed operator*(Fixed other) const;
    constexpr auto operator<=>(const Fixed &) const = default;

private:
    constexpr explicit Fixed(qint64 raw) : raw_(raw) { }
    char *writeOtherPlain(char *to) const;
    // Two digits of `v` (below 100) at `to`.
    static char *writePair(char *to, quint32 v)
    {
        static constexpr char Pairs[] = "00010203040506070809101112131415161718192021222324"
                                        "25262728293031323334353637383940414243444546474849"
                                        "50515253545556575859606162636465666768697071727374"
                                        "75767778798081828384858687888990919293949596979899";
        to[0] = Pairs[v * 2], to[1] = Pairs[v * 2 + 1];
        return to + 2;
    }
    qint64 raw_ = 0;
};

// A time of day or an elapsed time, as a fraction of a day (1 s = 1/86400).
struct DayTime {
    double days = 0;
    // Whole seconds in the day, as "hh:mm:ss" shows them.
    int secondsOfDay() const;
    QString hhmmss() const;
    // The same eight characters, written into `text`.
    void hhmmss(char text[8]) const { hhmmss(secondsOfDay(), text); }
    // Inline, digit by digit: every sample passes here when a run is saved or exported.
    static void hhmmss(int secondsOfDay, char text[8])
    {
        const int parts[] = { secondsOfDay / 3600, secondsOfDay / 60 % 60, secondsOfDay % 60 };
        text[0] = char('0' + parts[0] / 10), text[1] = char('0' + parts[0] % 10), text[2] = ':';
        text[3] = char('0' + parts[1] / 10), text[4] = char('0' + parts[1] % 10), text[5] = ':';
        text[6] = char('0' + parts[2] / 10), text[7] = char('0' + parts[2] % 10);
    }
    auto operator<=>(const DayTime &) const = default;
};

// One field of a reading: empty, text, whole number, fixed-point decimal or time.
class Value {
public:
    Value() = default;
    Value(const QString &t) : v_(t) { }
    Value(const char *t) : v_(QString::fromUtf8(t)) { }
    Value(qint64 w) : v_(w) { }
    Value(int w) : v_(qint64(w)) { }
    Value(Fixed f) : v_(f) { }
    Value(DayTime t) : v_(t) { }

    bool isEmpty() const { return std::holds_alternative<std::monostate>(v_); }
    bool isText() const { return std::holds_alternative<QString>(v_); }
    bool isWhole() const { return std::holds_alternative<qint64>(v_); }
    bool isFixed() const { return std::holds_alternative<Fixed>(v_); }
    bool isTime() const { return std::holds_alternative<DayTime>(v_); }

    // The plain text form the sample table keeps; empty for an empty value.
    QString text() const;
    // The same text appended as UTF-8, without a QString on the way for numbers.
    void appendText(QByteArray &utf8) const;
    // The value as a number: whole and decimal directly, text parsed; none for empty,
    // time, or text that is not a number.
    std::optional<Fixed> number() const;
    const DayTime *time() const { return std::get_if<DayTime>(&v_); }
    const QString *heldText() const { return std::get_if<QString>(&v_); }
    // Calls `visitor` with what the value holds: std::monostate, QString, qint64, Fixed or
    // DayTime.
    template <class Visitor> decltype(auto) visit(Visitor &&visitor) const
    {
        return std::visit(std::forward<Visitor>(visitor), v_);
    }

    bool operator==(const Value &) const = default;

private:
    std::variant<std::monostate, QString, qint64, Fixed, DayTime> v_;
};
