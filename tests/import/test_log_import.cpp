#include "import/log_import.h"
#include "run/run_loader.h"
#include "support/files.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// The columns as the header tells them.
std::optional<ColumnMap> guessed(const LogColumns &columns)
{
    return columns.guess();
}

// A run file's rows, as the program reads them.
QList<ChannelReading> rowsOf(const QString &path)
{
    QList<ChannelReading> rows;
    const std::atomic<bool> stop = false;
    const QString error = RunFile::read(
        path, { [](const QString &, qint64) {}, [&rows](ChannelReading &r) { rows << r; } }, stop);
    return error.isEmpty() ? rows : QList<ChannelReading>();
}

// A log imported by an import of its own.
ImportOutcome importOne(const QString &folder, const QString &path, const ColumnMapper &mapper)
{
    LogImport import(folder);
    QList<ImportOutcome> outcomes = import.add(path, mapper);
    outcomes += import.finish();
    return outcomes.value(0);
}

} // namespace

class TestLogImport : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QString logs() const { return dir_.filePath(QStringLiteral("logs")); }
    QString runs() const { return dir_.filePath(QStringLiteral("runs")); }
    QString log(const QString &name, const QByteArray &bytes) const
    {
        writeFile(QDir(logs()).filePath(name), bytes);
        return QDir(logs()).filePath(name);
    }

private slots:
    void init()
    {
        QDir(logs()).removeRecursively();
        QDir(runs()).removeRecursively();
        QDir().mkpath(logs());
        QDir().mkpath(runs());
    }

    // Each dialect holds the same charge: 7.40 V to 7.50 V at 1.5 A over 2 s.
    void dialects_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("comma") << QByteArray("Time (s),Voltage (V),\"Current (A)\"\n"
                                             "0,7.40,1.50\n1,7.45,1.50\n2,7.50,1.50\n");
        QTest::newRow("semicolon, decimal comma")
            << QByteArray("time;voltage [V];current [A]\n0;7,40;1,50\n1;7,45;1,50\n2;7,5;1,5\n");
        QTest::newRow("tab") << QByteArray("t\tU\tI\n0\t7.40\t1.5\n1\t7.45\t1.5\n2\t7.50\t1.5\n");
        QTest::newRow("preamble") << QByteArray("Device: X1\nSerial, 42\n\nTime,Volts,Amps\n"
                                                "0,7.40,1.5\n1,7.45,1.5\n2,7.50,1.5\n");
        QTest::newRow("trailing commas")
            << QByteArray("Time,V,A\n0,7.40,1.5,\n1,7.45,1.5,,\n2,7.50,1.5,\n");
        QTest::newRow("quoted text") << QByteArray("Time,Note,Tag,V,A\n0,a,3,7.40,1.5\n"
                                                   "1,\"\",3,7.45,1.5\n2,\"1,2\",3,7.50,1.5\n");
        QTest::newRow("CR LF") << QByteArray(
            "Time,V,A\r\n0,7.40,1.5\r\n1,7.45,1.5\r\n2,7.5,1.5\r\n");
        QTest::newRow("ms") << QByteArray("Time [ms],V,mA\n0,7.40,1500\n1000,7.45,1500\n"
                                          "1500,7.47,1500\n2000,7.50,1500\n");
        QTest::newRow("Battery Data Format")
            << QByteArray("Test Time / s,Voltage / V,Current / A\n0,7.40,1.5\n1,7.45,1.5\n"
                          "2,7.50,1.5\n");
        QTest::newRow("hh:mm:ss.mmm past midnight")
            << QByteArray("Time,V,A\n23:59:59.000,7.40,1.5\n00:00:00.000,7.45,1.5\n"
                          "00:00:01.000,7.50,1.5\n");
    }
    void dialects()
    {
        QFETCH(QByteArray, text);
        const QString name = text.startsWith("Test Time") ? "a.bdf.csv" : "a.csv";
        // A log that tells no date: its run ends when the log was last written.
        const QDateTime written(QDate(2020, 5, 6), QTime(7, 8, 9));
        QFile logged(log(name, text));
        QVERIFY(logged.open(QIODevice::ReadWrite)
                && logged.setFileTime(written, QFileDevice::FileModificationTime));
        logged.close();
        const ImportOutcome out = importOne(runs(), logged.fileName(), guessed);
        QVERIFY2(out.error.isEmpty(), qPrintable(out.error));
        QCOMPARE(out.taken, 3);
        QVERIFY(out.warning.isEmpty());
        QCOMPARE(QFileInfo(out.run).lastModified(), written);
        const QList<ChannelReading> rows = rowsOf(out.run);
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[2][Bat_volt].text(), "7.50");
        QCOMPARE(rows[2][Current].text(), "1.50");
        // Made up: 1.5 A for 2 s, in whole mAh as a charger counts them from a BDF file.
        QCOMPARE(rows[2][Cap].text(), name == "a.csv" ? "0.83" : "1");
        QCOMPARE(
            (rows[2][Time].time()->secondsOfDay() - rows[0][Time].time()->secondsOfDay() + 86400)
                % 86400,
            2);
    }

    // Every number as its double would make it, however it is read: plain decimals at each
    // scale and sign, and what only a double reads (exponents, more decimals than are kept,
    // halves to round, a product past 2 to the 48th).
    void numbers_data()
    {
        QTest::addColumn<QString>("map");
        QTest::newRow("units") << "s,V,A,mAh,degC,cell,cell";
        QTest::newRow("thousandths, thousands") << "ms,mV,mA,Ah,degC,cell_mV,cell_mV";
        QTest::newRow("charge negative") << "s,V,-A,Ah,degC,cell,cell";
    }
    void numbers()
    {
        QFETCH(QString, map);
        const ColumnMap columns = *parseColumnMap(map);
        const QList<QByteArray> odd { "1e2",      "-0", "+2.5", "0.00005",    "-1.00015",
                                      "00012.50", "5.", ".5",   "1.23456789", "30000000.5" };
        QRandomGenerator random(7);
        QByteArray text("a,b,c,d,e,f,g\n");
        std::vector<std::vector<QByteArray>> lines;
        for (int r = 0; r < 3000; ++r) {
            std::vector<QByteArray> &fields = lines.emplace_back();
            fields.push_back(QByteArray::number(r * 1000 + random.bounded(1000)));
            for (int c = 1; c < 7; ++c) {
                QByteArray f = random.bounded(2) ? QByteArray() : QByteArray("-");
                f += QByteArray::number(random.bounded(1 << (random.bounded(5) * 5)));
                if (const int decimals = random.bounded(7))
                    f += '.'
                        + QByteArray::number(random.bounded(1'000'000) + 1'000'000).right(decimals);
                fields.push_back(random.bounded(20) ? f : odd[random.bounded(odd.size())]);
            }
            text += QByteArrayList(fields.begin(), fields.end()).join(',') + '\n';
        }
        const ImportedLog log = readTextLog(text, [&](const LogColumns &) { return columns; })();
        QVERIFY2(log.error.isEmpty(), qPrintable(log.error));
        QCOMPARE(log.samples.count(), qint64(lines.size()));
        for (qint64 r = 0; r < log.samples.count(); ++r)
            for (int c = 0, cell = 0; c < 7; ++c) {
                const Quantity &q = quantities()[columns[c]];
                const QByteArray f = lines[std::size_t(r)][std::size_t(c)];
                const double v = QByteArray(f.startsWith('+') ? f.mid(1) : f).toDouble() * q.scale;
                const int field = q.field == C1 ? C1 + cell++ : q.field;
                const Value expected = field == Time
                    ? Value(DayTime { (v - lines[0][0].toDouble() * q.scale) / 86400 })
                    : field == Ext_temp ? Value(qint64(std::lround(v)))
                                        : Value(Fixed::fromDouble(v));
                QVERIFY2(
                    log.samples.value(r, field) == expected,
                    qPrintable(QStringLiteral("%1 as %2: %3, not %4")
                                   .arg(f, q.key, log.samples.text(r, field), expected.text())));
            }
    }

    // Serial-logger lines, mapped by position; what is no such line is told, not taken.
    void loggerLines()
    {
        const ImportOutcome out = importOne(
            runs(), log("b.log", "$1;7,40;-1,5;21\n$2;7,38;-1,5;21\nOK\n$3;7,35;-1,5;22\n"),
            [](const LogColumns &columns) {
                return columns.names.size() == 4 ? parseColumnMap(QStringLiteral("s,V,A,degC"))
                                                 : std::nullopt;
            });
        QCOMPARE(out.taken, 3);
        QCOMPARE(out.skipped,
                 QStringList { "1 line(s) without \"$\" at the start (the first: line 3)" });
        QCOMPARE(rowsOf(out.run)[2][Ext_temp].text(), "22");
    }

    void flippedCurrent()
    {
        const ImportOutcome out = importOne(
            runs(), log("c.csv", "Time,V,A\n0,7.40,-1.5\n1,7.45,-1.5\n2,7.50,-1.5\n"), guessed);
        QVERIFY(out.error.isEmpty());
        QVERIFY(out.warning.contains("flipped"));
    }

    // A log is imported once, whatever its name, by the same import while its run is written,
    // and by a later import; the outcomes come in the order of the files.
    void once()
    {
        const QByteArray text("Time,V,A\n0,7.40,1.5\n1,7.45,1.5\n");
        LogImport import(runs());
        QList<ImportOutcome> outcomes = import.add(log("d.csv", text), guessed);
        outcomes += import.add(log("bad.csv", "Time,V\n0,nan\n"), guessed);
        outcomes += import.add(log("copy.csv", text), guessed);
        outcomes += import.finish();
        QCOMPARE(outcomes.size(), 3);
        QVERIFY(!outcomes[0].already && outcomes[0].error.isEmpty());
        QVERIFY(!outcomes[1].error.isEmpty());
        QVERIFY(outcomes[2].already);
        QCOMPARE(outcomes[2].run, outcomes[0].run);
        const ImportOutcome later = importOne(runs(), log("d.csv", text), guessed);
        QVERIFY(later.already);
        QCOMPARE(later.run, outcomes[0].run);
        QCOMPARE(QDir(runs()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    // Refused with a reason, and no run file or part of one left.
    void hostile_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        QTest::newRow("huge line") << QByteArray("Time,V\n0," + QByteArray(70000, '7') + "\n")
                                   << "Line 2 is longer than 65536 characters.";
        QTest::newRow("binary") << QByteArray("SQLite format 3\0\x01\x02", 18)
                                << "It is no text: it holds binary data.";
        QTest::newRow("fifo") << QByteArray() << "It is not a regular file.";
        QTest::newRow("nan") << QByteArray("Time,V\n0,7.4\n1,nan\n")
                             << "Line 3: \"nan\" is no finite number.";
        QTest::newRow("infinite") << QByteArray("Time,V\n0,7.4\n1,1e999\n")
                                  << "Line 3: \"1e999\" is no finite number.";
        QTest::newRow("no header") << QByteArray("hello\nworld\n")
                                   << "No header line with columns of numbers below it was found.";
    }
    void hostile()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        QString path = QDir(logs()).filePath("e.csv");
        if (text.isEmpty())
            QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else
            path = log("e.csv", text);
        QCOMPARE(importOne(runs(), path, guessed).error, reason);
        QVERIFY(QDir(runs()).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    }

    // The command: a map given is kept for the header, a failure is a non-zero status.
    void command()
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
        p.setProcessEnvironment(env);
        const auto run = [&p](const QStringList &args) {
            p.start(BOOK_TOOL, args);
            return p.waitForFinished(30000) ? p.exitCode() : -1;
        };
        const QString into = runs();
        QCOMPARE(run({ "--import", log("f.log", "$1;7.4;1\n$2;7.5;1\n"), "--into", into, "--map",
                       "s,V,A" }),
                 0);
        QCOMPARE(run({ "--import", log("g.log", "$1;7.4;1\n$2;7.6;1\n"), "--into", into }), 0);
        QVERIFY(p.readAllStandardOutput().startsWith("g.log: 2 sample(s) taken into"));
        QCOMPARE(run({ "--import", log("h.csv", "no log"), "--into", into }), 1);
        QVERIFY(p.readAllStandardError().contains("h.csv: not imported: No header line"));
    }
};

QTEST_GUILESS_MAIN(TestLogImport)
#include "test_log_import.moc"
