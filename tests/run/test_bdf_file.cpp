#include "link/frame_decoders.h"
#include "run/bdf_file.h"
#include "support/files.h"
#include "support/readings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>
#include <cmath>
#include <sys/stat.h>

namespace {

struct Step {
    const char *chg;
    double amps; // none for NaN
    int samples;
};

// A run a second a sample from 23:59:58, past midnight: voltage, temperature and cells moving.
Samples run(const QList<Step> &steps, int cells, int inTemp)
{
    Samples s;
    int n = 0;
    for (const Step &step : steps)
        for (int i = 0; i < step.samples; ++i, ++n) {
            const Fixed amps = Fixed::fromDouble(std::isnan(step.amps) ? 0 : step.amps);
            ChannelReading r
                = reading(100 + n, cells, std::isnan(step.amps) ? Value() : Value(amps));
            r[Time] = DayTime { (86398 + n) / 86400.0 };
            r[Chg] = QString::fromLatin1(step.chg);
            r[Bat_volt] = Fixed::fromHundredths(1650 + n);
            r[Ext_temp] = 25 + n % 3;
            r[In_temp] = inTemp;
            r[Power] = power(amps, Fixed::fromHundredths(1650 + n));
            for (int c = 0; c < cells; ++c)
                r[C1 + c] = Fixed::fromHundredths(410 + n + c);
            s.append(r);
        }
    return s;
}

} // namespace

class TestBdfFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

private slots:
    // Written and read back, a run keeps every value the format carries (its type it does not);
    // the columns that are no terms of the format are declared beside it.
    void roundTrip_data()
    {
        QTest::addColumn<QList<Step>>("steps");
        QTest::addColumn<int>("cells");
        QTest::addColumn<int>("inTemp");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("columns"); // past Current / A, when the table is plain
        QTest::addColumn<QString>("phases"); // cycle/step of each sample, where written
        const QString terms = "Test Time / s,Unix Time / s,%1Voltage / V,Current / A,Charging "
                              "Capacity / Ah,Discharging Capacity / Ah,Surface Temperature T1 / "
                              "degC,%2Input Voltage / V,Charger Capacity / mAh%3";
        const QList<Step> cycle = { { "+CHG+", 0, 1 },    { "+CHG+", 2, 2 },   { "Idle", 0, 2 },
                                    { "-DSC-", -1.5, 3 }, { "+CHG+", 2.5, 2 }, { "", NAN, 1 } };
        QTest::newRow("charge") << QList<Step> { { "+CHG+", 0, 2 }, { "+CHG+", 2, 3 } } << 4 << 0
                                << "charge.bdf.csv"
                                << terms.arg("", "",
                                             ",Cell Voltage 1 / V,Cell Voltage 2 / V,Cell "
                                             "Voltage 3 / V,Cell Voltage 4 / V")
                                << "";
        QTest::newRow("discharge") << QList<Step> { { "-DSC-", -3, 4 } } << 0 << 0
                                   << "discharge.bdf.csv" << terms.arg("", "", "") << "";
        QTest::newRow("cycle") << cycle << 2 << 31 << "cycle.bdf.csv"
                               << terms.arg("Cycle Count / 1,Step Count / 1,",
                                            "Internal Temperature / degC,",
                                            ",Cell Voltage 1 / V,Cell Voltage 2 / V")
                               << "1/1 1/1 1/1 1/2 1/2 1/3 1/3 1/3 2/4 2/4 2/5";
        QTest::newRow("cycle, compressed") << cycle << 2 << 31 << "cycle.bdf.gz"
                                           << ""
                                           << "";
    }
    void roundTrip()
    {
        QFETCH(QList<Step>, steps);
        QFETCH(int, cells);
        QFETCH(int, inTemp);
        QFETCH(QString, name);
        QFETCH(QString, columns);
        QFETCH(QString, phases);
        const Samples samples = run(steps, cells, inTemp);
        const QDateTime start(QDate(2026, 3, 1), QTime(23, 59, 58));
        const QString path = dir.filePath(name);
        QCOMPARE(writeBdf(path, samples, start), QString());

        const BdfRead read = readBdf(path);
        QCOMPARE(read.error, QString());
        QCOMPARE(read.skipped, QStringList());
        QCOMPARE(read.start, start);
        QCOMPARE(read.samples.count(), samples.count());
        for (qint64 r = 0; r < samples.count(); ++r) {
            ChannelReading original = samples.reading(r);
            original[Type] = Value();
            QCOMPARE(texts(read.samples.reading(r)), texts(original));
        }

        const QJsonObject dataset = QJsonDocument::fromJson(readFile(bdfMetadataPath(path)))
                                        .object()
                                        .value("battinfo_dataset")
                                        .toObject()
                                        .value("dataset")
                                        .toObject();
        QVERIFY(dataset["description"].toString().contains("positive = charge"));
        if (columns.isEmpty()) {
            QVERIFY(readFile(path).startsWith("\x1f\x8b"));
            return;
        }
        const QStringList lines = QString::fromUtf8(readFile(path)).split("\r\n");
        QCOMPARE(lines[0], columns);
        QStringList declared, written;
        for (const QJsonValue &v : dataset["variable_measured"].toArray())
            declared << v["name"].toString() + " / " + v["unit_text"].toString();
        QCOMPARE(declared, lines[0].section("degC,", 1).split(','));
        for (const QString &line : lines.mid(1, samples.count()))
            written << line.section(',', 2, 3).replace(',', '/');
        if (!phases.isEmpty())
            QCOMPARE(written.join(' '), phases);
    }

    // Another program's table: the format's alternative labels, quoted, in any case, the probe
    // on the pack preferred to the room's, a declared cell read and anything else left out.
    void readsAlternativeLabels()
    {
        const QString path = dir.filePath("other.bdf.csv");
        writeFile(path,
                  "\xEF\xBB\xBF"
                  "ambient_temperature_celsius,TEST_TIME_MS,\"voltage_v\",current_a,"
                  "temperature_t1_degc,cycle_count,Cell Voltage 1 / V,Cell Voltage 2 / V,"
                  "Pressure / bar\r\n"
                  "21,500,3.7,-1.8e0,30,0,3.70,3.60,1\r\n"
                  "21,1500,3.65,0.0,30.5,0,3.65,3.50,1\r\n"
                  "\r\n"
                  "21,3500,3.64,,31\r\n"
                  "21,3500,3.63,-1.8,31,0,3.63,3.40,1");
        writeFile(bdfMetadataPath(path),
                  R"({"battinfo_dataset":{"dataset":{"variable_measured":[)"
                  R"({"name":"Cell Voltage 1","unit_text":"V"}]}}})");
        const BdfRead read = readBdf(path);
        QCOMPARE(read.error, QString());
        QVERIFY(!read.start.isValid());
        QCOMPARE(read.skipped,
                 QStringList({ "\"ambient_temperature_celsius\" is not read: "
                               "\"temperature_t1_degc\" holds the same.",
                               "\"Cell Voltage 2 / V\" is not read: other.bdf.metadata.json does "
                               "not declare it.",
                               "Column \"Pressure / bar\" is not read.",
                               "Line 5 is not read: it has 5 fields, the header 9." }));
        QStringList rows;
        for (qint64 r = 0; r < read.samples.count(); ++r)
            rows << texts(read.samples.reading(r)).mid(0, C1 + 2).join(' ');
        QCOMPARE(rows,
                 QStringList({ "00:00:00  -DSC- 30 0  3.70 -1.80 0 6.66 3.70 0.00",
                               "00:00:01  -DSC- 30.50 0  3.65 0.00 0 0.00 3.65 0.00",
                               "00:00:03  -DSC- 31 0  3.63 -1.80 1 6.53 3.63 0.00" }));
    }

    // Hostile or damaged input is refused with a reason, never read in part.
    void refusesHostileInput_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QByteArray header = "Test Time / s,Voltage / V,Current / A\n";
        QByteArray gz;
        const QString packed = dir.filePath("packed.bdf.gz");
        writeBdf(packed, run({ { "+CHG+", 2, 400 } }, 4, 0), {});
        gz = readFile(packed);
        QTest::newRow("huge line")
            << header + QByteArray(70'000, '1') << "Line 2 is longer than 65536 bytes.";
        QTest::newRow("binary") << QByteArray("\x7f"
                                              "ELF\x02\x01\x01\0\0\0\n",
                                              11)
                                << "The file is not text.";
        QTest::newRow("NaN") << header + "0,nan,1\n"
                             << "Line 2: \"nan\" in Voltage / V is not a number.";
        QTest::newRow("infinite") << header + "0,4.2,-inf\n"
                                  << "Line 2: \"-inf\" in Current / A is not a number.";
        QTest::newRow("no voltage") << header + "0,,1\n"
                                    << "Line 2 has no value in Voltage / V.";
        QTest::newRow("no current column") << QByteArray("Test Time / s,Voltage / V\n0,4\n")
                                           << "The file has no Current / A column.";
        QTest::newRow("empty") << QByteArray() << "The file is empty.";
        QTest::newRow("header only") << header << "The file holds no samples.";
        QTest::newRow("cut short") << gz.left(gz.size() / 2) << "The compressed file is cut short.";
        QTest::newRow("damaged") << gz.left(20) + QByteArray(200, 'x')
                                 << "The compressed data is damaged.";
        QTest::newRow("FIFO") << QByteArray() << "It is not a regular file.";
    }
    void refusesHostileInput()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const QString path = dir.filePath("hostile.bdf.csv");
        QFile::remove(path);
        if (QString(QTest::currentDataTag()) == "FIFO")
            QCOMPARE(::mkfifo(QFile::encodeName(path), 0600), 0);
        else
            writeFile(path, bytes);
        const BdfRead read = readBdf(path);
        QCOMPARE(read.error, error);
        QCOMPARE(read.samples.count(), 0);
    }

    // A table or metadata file that cannot be written says why and leaves neither behind.
    void failedWriteLeavesNothing()
    {
        QTemporaryDir here;
        QVERIFY(QDir(here.path()).mkdir("blocked.bdf.metadata.json"));
        QVERIFY(!writeBdf(here.filePath("blocked.bdf.csv"), run({ { "+CHG+", 2, 3 } }, 0, 0), {})
                     .isEmpty());
        QVERIFY(!writeBdf(here.filePath("missing/run.bdf.csv"), Samples(), {}).isEmpty());
        // A disk that fills as the table is written: the system's reason.
        QCOMPARE(diskFullAt(4096,
                            [&] {
                                return writeBdf(here.filePath("full.bdf.csv"),
                                                run({ { "+CHG+", 2, 400 } }, 4, 0), {});
                            }),
                 "File too large");
        QCOMPARE(QDir(here.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBdfFile)
#include "test_bdf_file.moc"
