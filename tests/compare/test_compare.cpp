#include "compare/compare_file.h"
#include "compare/curves.h"
#include "link/channel_reading.h"
#include "support/files.h"

#include <QtTest>

#include <sys/stat.h>

using namespace Compare;
using Vector = std::vector<double>;
Q_DECLARE_METATYPE(Vector)
Q_DECLARE_METATYPE(Compare::Alignment)

constexpr double None = std::numeric_limits<double>::quiet_NaN();

class TestCompare : public QObject {
    Q_OBJECT
private slots:
    void constantVoltageStart_data()
    {
        QTest::addColumn<Vector>("volts");
        QTest::addColumn<Vector>("amps");
        QTest::addColumn<int>("expected"); // -1: none
        // 1.9 A is 95 % of the plateau, not below it.
        QTest::newRow("taper") << Vector { 3.9, 4.0, 4.1, 4.2, 4.2, 4.2 }
                               << Vector { 2, 2, 2, 1.9, 1.5, 1.0 } << 4;
        QTest::newRow("voltage still rising")
            << Vector { 3.9, 4.0, 4.1, 4.15, 4.2 } << Vector { 2, 2, 1.8, 1.7, 1.6 } << 4;
        QTest::newRow("ends on the plateau")
            << Vector { 3.9, 4.0, 4.2, 4.1 } << Vector { 2, 2, 2, 0 } << -1;
        QTest::newRow("stopped at the top") << Vector { 3.9, 4.2, 4.2 } << Vector { 2, 2, 0 } << -1;
        QTest::newRow("discharge") << Vector { 4.1, 4.0, 3.9 } << Vector { -2, -2, -1 } << -1;
        QTest::newRow("gaps") << Vector { 3.9, None, 4.2, 4.2 } << Vector { 2, None, 1, 0.5 } << 2;
    }
    void constantVoltageStart()
    {
        QFETCH(Vector, volts);
        QFETCH(Vector, amps);
        QFETCH(int, expected);
        QCOMPARE(Compare::constantVoltageStart(volts, amps).value_or(-1), expected);
    }

    void axis_data()
    {
        QTest::addColumn<Alignment>("alignment");
        QTest::addColumn<double>("rated"); // 0: none
        QTest::addColumn<Vector>("x");
        QTest::addColumn<bool>("aligned");
        const Vector start { 0, 10, 20, 30 };
        QTest::newRow("start") << Alignment::Start << 0.0 << start << true;
        QTest::newRow("cv") << Alignment::ConstantVoltage << 0.0 << Vector { -20, -10, 0, 10 }
                            << true;
        QTest::newRow("capacity") << Alignment::Capacity << 0.0 << Vector { 0, 50, 100, 110 }
                                  << true;
        QTest::newRow("percent") << Alignment::Percent << 200.0 << Vector { 0, 25, 50, 55 } << true;
        QTest::newRow("percent unrated")
            << Alignment::Percent << 0.0 << Vector { 0, 50, 100, 110 } << false;
    }
    void axis()
    {
        QFETCH(Alignment, alignment);
        QFETCH(double, rated);
        QFETCH(Vector, x);
        QFETCH(bool, aligned);
        const RunColumns run { { 0, 10, 20, 30 },
                               { 4.0, 4.1, 4.2, 4.2 },
                               { 2, 2, 1, 0.5 },
                               { 5, 55, 105, 115 },
                               rated > 0 ? std::optional(rated) : std::nullopt };
        const Axis a = Compare::axis(run, alignment);
        QCOMPARE(a.x, x);
        QCOMPARE(a.aligned, aligned);
        // Without a change to constant voltage the run stays at its start.
        RunColumns flat = run;
        flat.amps = { 2, 2, 2, 2 };
        if (alignment == Alignment::ConstantVoltage)
            QCOMPARE(Compare::axis(flat, alignment).x, flat.seconds);
    }

    void difference_data()
    {
        QTest::addColumn<Vector>("otherX");
        QTest::addColumn<Vector>("otherY");
        QTest::addColumn<Vector>("x");
        QTest::addColumn<Vector>("y");
        // The reference: x 0..3, y 1.
        QTest::newRow("same times") << Vector { 0, 1, 2, 3 } << Vector { 2, 3, 4, 5 }
                                    << Vector { 0, 1, 2, 3 } << Vector { 1, 2, 3, 4 };
        QTest::newRow("between samples")
            << Vector { 0.5, 2.5 } << Vector { 1, 3 } << Vector { 1, 2 } << Vector { 0.5, 1.5 };
        QTest::newRow("shorter, never padded")
            << Vector { 0, 1 } << Vector { 5, 7 } << Vector { 0, 1 } << Vector { 4, 6 };
        QTest::newRow("no overlap")
            << Vector { 10, 20 } << Vector { 1, 1 } << Vector {} << Vector {};
        QTest::newRow("gap in the other") << Vector { 0, None, 2 } << Vector { 1, 9, 3 }
                                          << Vector { 0, 1, 2 } << Vector { 0, 1, 2 };
    }
    void difference()
    {
        QFETCH(Vector, otherX);
        QFETCH(Vector, otherY);
        QFETCH(Vector, x);
        QFETCH(Vector, y);
        const Curve c
            = Compare::difference(curve({ 0, 1, 2, 3 }, { 1, 1, 1, 1 }), curve(otherX, otherY));
        QCOMPARE(c.x, x);
        QCOMPARE(c.y, y);
    }

    void incrementalCapacity_data()
    {
        QTest::addColumn<Vector>("volts");
        QTest::addColumn<Vector>("amps");
        QTest::addColumn<Vector>("mah");
        QTest::addColumn<Vector>("x");
        QTest::addColumn<Vector>("y");
        // Charge: steps of 10, 10, 20, 20, 0 mAh into the bins 4.10, 4.12, 4.12, 4.14, 4.14 V,
        // sums 10, 30, 20, smoothed 1-2-1 (ends counted twice), per 0.02 V; the last two steps,
        // below the current's plateau, are left out. Discharge: 0, 20, 20, 10, 10 into 3.74, 3.72,
        // 3.72, 3.70, 3.70: sums 20, 40, 0.
        // 4.10 / 0.02 falls short of 205 in doubles.
        QTest::newRow("charge") << Vector { 4.10, 4.11, 4.12, 4.13, 4.14, 4.15, 4.15, 4.15 }
                                << Vector { 2, 2, 2, 2, 2, 1.95, 1.8, 0.5 }
                                << Vector { 0, 10, 20, 40, 60, 60, 70, 80 }
                                << Vector { 4.11, 4.13, 4.15 } << Vector { 750, 1125, 1125 };
        QTest::newRow("discharge") << Vector { 3.75, 3.74, 3.73, 3.72, 3.71, 3.70 } << Vector(6, -2)
                                   << Vector { 0, 0, 20, 40, 50, 60 } << Vector { 3.71, 3.73, 3.75 }
                                   << Vector { 1250, 1250, 500 };
        QTest::newRow("one sample")
            << Vector { 3.7 } << Vector { 2 } << Vector { 0 } << Vector {} << Vector {};
    }
    void incrementalCapacity()
    {
        QFETCH(Vector, volts);
        QFETCH(Vector, amps);
        QFETCH(Vector, mah);
        QFETCH(Vector, x);
        QFETCH(Vector, y);
        const Curve c = Compare::incrementalCapacity(volts, amps, mah);
        QCOMPARE(c.x.size(), x.size());
        for (size_t i = 0; i < x.size(); ++i) {
            QVERIFY(qFuzzyCompare(c.x[i], x[i]));
            QVERIFY2(qFuzzyCompare(c.y[i], y[i]), qPrintable(QString::number(c.y[i])));
        }
    }

    void alignedCsv()
    {
        const QByteArray csv = Compare::alignedCsv(
            "s", { "a, V", "b" }, { curve({ 0, 2 }, { 0, 2 }), curve({ 1, 3 }, { 10, 30 }) });
        QCOMPARE(csv, "s,\"a, V\",b\r\n0,0,\r\n1,1,10\r\n2,2,20\r\n3,,30\r\n");
    }

    // Saved, its folder moved with the runs beside it, one run elsewhere gone.
    void fileRoundTrip()
    {
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkpath("a") && QDir(tmp.path()).mkpath("far"));
        const QString beside = tmp.filePath("a/spring.mdb"), far = tmp.filePath("far/x.mdb");
        writeFile(beside, "");
        writeFile(far, "");
        const CompareFile::Comparison saved { { beside, far },
                                              Alignment::Capacity,
                                              1,
                                              { Bat_volt, C1 + 2 },
                                              CompareFile::View::Difference };
        // Not saved whole is not saved.
        QCOMPARE(diskFullAt(64,
                            [&] {
                                return CompareFile::write(tmp.filePath("a/c.chargemon-compare"),
                                                          saved);
                            }),
                 "File too large");
        QCOMPARE(QDir(tmp.filePath("a")).entryList(QDir::Files | QDir::Hidden),
                 QStringList("spring.mdb"));
        QCOMPARE(CompareFile::write(tmp.filePath("a/c.chargemon-compare"), saved), QString());
        QVERIFY(QDir(tmp.path()).rename("a", "b"));
        QVERIFY(QFile::remove(far));

        QString error = "old";
        const auto read = CompareFile::read(tmp.filePath("b/c.chargemon-compare"), error);
        QCOMPARE(error, QString());
        QCOMPARE(read.runs, QStringList({ tmp.filePath("b/spring.mdb"), far }));
        QVERIFY(read.alignment == saved.alignment && read.reference == saved.reference
                && read.quantities == saved.quantities && read.view == saved.view);
        QCOMPARE(CompareFile::unreadableRun(read.runs[0]), QString());
        QVERIFY(CompareFile::unreadableRun(far).contains("x.mdb is missing"));
    }

    void hostileFile_data()
    {
        QTest::addColumn<QByteArray>("content"); // "fifo", "folder" or "device" make one
        QTest::addColumn<QString>("why");
        const QByteArray tail
            = R"(], "alignment": "start", "reference": 0, "quantities": ["Bat_volt"]})";
        QByteArray many = R"({"runs": [)";
        for (int i = 0; i < 10000; ++i)
            many += R"("r.mdb",)";
        QTest::newRow("not json") << QByteArray("\x89PNG\r\n") << "illegal";
        QTest::newRow("10,000 runs") << many + R"("r.mdb")" + tail << "larger than";
        QTest::newRow("one run") << R"({"runs": ["a")" + tail << "names 1 runs";
        QTest::newRow("run not a name") << R"({"runs": [1, 2)" + tail << "not a file name";
        QTest::newRow("bad quantity")
            << QByteArray(R"({"runs": ["a", "b"], "alignment": "start", "reference": 0,)"
                          R"( "quantities": ["Time"]})")
            << "unknown quantity Time";
        QTest::newRow("bad reference") << QByteArray(R"({"runs": ["a", "b"], "alignment": "start",)"
                                                     R"( "reference": 2, "quantities": ["Cap"]})")
                                       << "reference";
        QTest::newRow("fifo") << QByteArray("fifo") << "not a regular file";
        QTest::newRow("folder") << QByteArray("folder") << "not a regular file";
        QTest::newRow("device") << QByteArray("device") << "not a regular file";
    }
    void hostileFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        QTemporaryDir tmp;
        QString path = tmp.filePath("c.chargemon-compare");
        if (content == "fifo")
            QCOMPARE(mkfifo(path.toLocal8Bit(), 0600), 0);
        else if (content == "folder")
            QVERIFY(QDir(tmp.path()).mkdir("c.chargemon-compare"));
        else if (content == "device")
            path = "/dev/zero";
        else
            writeFile(path, content);
        QString error;
        const auto c = CompareFile::read(path, error);
        QVERIFY2(error.contains(why), qPrintable(error));
        QVERIFY(c.runs.isEmpty());
        // A run named by a comparison may be any of these, too.
        if (content == "fifo" || content == "folder" || content == "device")
            QVERIFY(CompareFile::unreadableRun(path).contains("no run file"));
    }
};

QTEST_GUILESS_MAIN(TestCompare)
#include "test_compare.moc"
