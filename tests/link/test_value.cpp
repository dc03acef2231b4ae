#include "link/channel_reading.h"

#include <QTest>

class TestValue : public QObject {
    Q_OBJECT
private slots:
    // Rounding the fifth decimal, a half hundredth away from zero, no sign on a tiny negative.
    void parse()
    {
        QStringList got; // the raw value and the two-decimal text
        for (const char *text : { "12.5", "-0.01", "25", "1.23455", "-2.005", "-0.004", ".5" }) {
            const auto f = Fixed::parse(QString::fromLatin1(text));
            QVERIFY2(f && Fixed::parse(f->plain())->raw() == f->raw(), text); // plain reads back
            got << QStringLiteral("%1 %2").arg(f->raw()).arg(f->format2());
        }
        QCOMPARE(got.join(", "),
                 "125000 12.50, -100 -0.01, 250000 25.00, 12346 1.23, "
                 "-20050 -2.01, -40 0.00, 5000 0.50");
        for (const char *t : { "", "-", ".", "1,5", "abc", "1.2.3", "99999999999999999999" })
            QVERIFY2(!Fixed::parse(QString::fromLatin1(t)), t);
        QVERIFY(!Value("Idle").number() && !Value().number());
    }
    void roundingAndProduct()
    {
        for (const auto &[text, whole] : { std::pair(u"2.5", 2), { u"3.5", 4 }, { u"-2.5", -2 } })
            QCOMPARE(Fixed::parse(text)->roundedHalfEven(), whole);
        QCOMPARE((*Fixed::parse(u"-1.25") * *Fixed::parse(u"12.50")).format2(), "-15.63");
        QCOMPARE(Fixed::fromDouble(0.1 + 0.2).raw(), 3000);
    }
};

QTEST_APPLESS_MAIN(TestValue)
#include "test_value.moc"
