#include "link/channel_reading.h"

#include <QTest>

class TestValue : public QObject {
    Q_OBJECT
private slots:
    void parseAndFormat_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("raw");
        QTest::addColumn<QString>("format2");
        QTest::newRow("plain") << "12.5" << qint64(125000) << "12.50";
        QTest::newRow("negative hundredth") << "-0.01" << qint64(-100) << "-0.01";
        QTest::newRow("whole") << "25" << qint64(250000) << "25.00";
        QTest::newRow("rounds fifth decimal") << "1.23455" << qint64(12346) << "1.23";
        QTest::newRow("half hundredth away from zero") << "-2.005" << qint64(-20050) << "-2.01";
        QTest::newRow("tiny negative shows no sign") << "-0.004" << qint64(-40) << "0.00";
        QTest::newRow("leading dot") << ".5" << qint64(5000) << "0.50";
    }
    void parseAndFormat()
    {
        QFETCH(QString, text);
        QFETCH(qint64, raw);
        QFETCH(QString, format2);
        const auto f = Fixed::parse(text);
        QVERIFY(f);
        QCOMPARE(f->raw(), raw);
        QCOMPARE(f->format2(), format2);
        QCOMPARE(Fixed::parse(f->plain())->raw(), raw); // the plain form reads back exactly
    }
    void rejectsNonNumbers()
    {
        for (const char *t : { "", "-", ".", "1,5", "abc", "1.2.3", "99999999999999999999" })
            QVERIFY2(!Fixed::parse(QString::fromLatin1(t)), t);
        QVERIFY(!Value("Idle").number() && !Value().number());
    }
    void roundingAndProduct()
    {
        QCOMPARE(Fixed::parse(u"2.5")->roundedHalfEven(), 2);
        QCOMPARE(Fixed::parse(u"3.5")->roundedHalfEven(), 4);
        QCOMPARE(Fixed::parse(u"-2.5")->roundedHalfEven(), -2);
        QCOMPARE((*Fixed::parse(u"-1.25") * *Fixed::parse(u"12.50")).format2(), "-15.63");
        QCOMPARE(Fixed::fromDouble(0.1 + 0.2).raw(), 3000);
    }
};

QTEST_APPLESS_MAIN(TestValue)
#include "test_value.moc"
