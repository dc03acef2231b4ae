#include "run/file_run.h"
#include "run/run_file.h"
#include "run/run_loader.h"
#include "run/samples.h"
#include "support/fake_clock.h"
#include "support/files.h"
#include "support/hub_follower.h"
#include "support/readings.h"
#include "support/sqlite_file.h"

#include <QtTest>
#include <sqlite3.h>

namespace {

using Rows = QList<QStringList>;

// A sample row as the live table holds it, from its fields apart by a space.
QStringList row(const char *fields)
{
    return QString::fromLatin1(fields).split(' ') + QStringList(8, "0.00");
}
const QStringList chargeRow = row("00:00:01 LiIo/Po/Fe +CHG+ 25 0 12.00 16.40 2.00 125 32.80 4.10 "
                                  "4.11 4.09 4.10");

QString save(const QString &path, const QString &title, const Rows &rows)
{
    return RunFile::write(path, title, rows.size(),
                          [&](qint64 r, int f) { return rows.at(int(r)).at(f); });
}

// A whole file read as the program reads it; `error` is "" when every step worked.
struct Read {
    QString error, title;
    QList<ChannelReading> rows;
    QStringList texts; // every row's fields, one after the other
};
Read readAll(const QString &path)
{
    Read read;
    read.error = RunFile::read(
        path,
        { [&](const QString &title, qint64) { read.title = title; },
          [&](ChannelReading &row) { read.texts << texts(read.rows.emplace_back(row)); } },
        false);
    return read;
}

} // namespace

class TestRunFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    // An empty run, its tables as every other program that reads these files knows them; then a
    // full one over it, past midnight.
    void roundTripKeepsEveryField()
    {
        const QString longest(100, 'x'); // the longest description a run file takes
        QCOMPARE(save(path("run.mdb"), longest, {}), QString());
        const Read empty = readAll(path("run.mdb"));
        QCOMPARE(empty.error + empty.title + empty.texts.join(' '), longest);
        QStringList got;
        runSql(path("run.mdb"),
               { "pragma user_version",
                 "select m.name || '.' || p.name || ' ' || p.type from sqlite_master m, "
                 "pragma_table_info(m.name) p order by m.rowid, p.cid" },
               &got);
        QCOMPARE(got.join(' ').replace(" CURRENCY CHGLOG.", " "), // user_version first
                 "1 CHGLOG.Time DATETIME CHGLOG.type TEXT(10) CHGLOG.Chg TEXT(10) CHGLOG.Ext_temp "
                 "SMALLINT CHGLOG.In_temp SMALLINT CHGLOG.In_Volt Bat_volt Current Cap Power C1 "
                 "C2 C3 C4 C5 C6 C7 C8 C9 C10 C11 C12 CURRENCY Title.Title TEXT(100)");

        // idle: no charge state, no current at all
        const QStringList idle = row("10:59:59 LiIo/Po/Fe  25 0 12.00 -0.01  125 32.80 4.10 4.11 "
                                     "4.09 4.10");
        const QString written = "LiIo/Po/Fe/+CHG+  S4  @CH1  2026-12-06  10:00:00\r\n";
        QCOMPARE(save(path("run.mdb"), written, { chargeRow, idle, chargeRow }), QString());
        const Read full = readAll(path("run.mdb"));
        QCOMPARE(full.error + full.title, written);
        QCOMPARE(full.texts, chargeRow + idle + chargeRow); // as the live table has them
        QCOMPARE(full.rows[2][Field::Time], Value(DayTime { 1 + 1 / 86400.0 }));
        QCOMPARE(full.rows[0][Field::Ext_temp], Value(25));
        QVERIFY(full.rows[1][Field::Current].isEmpty() && full.rows[1][Field::Chg].isEmpty());
        // The desktop's file type tells a run file by this text in its first page.
        QFile file(path("run.mdb"));
        QVERIFY(file.open(QIODevice::ReadOnly)
                && file.read(4096).indexOf("CREATE TABLE CHGLOG (") > 100);
    }

    // A failed save leaves the old file as it was, and nothing beside it.
    void failedSaves()
    {
        const QString p = path("keep.mdb");
        QCOMPARE(save(p, "old", { chargeRow }), QString());
        const QList<std::pair<int, QString>> faults = {
            { -1, QString(101, 'x') }, // a title over 100
            { Field::Type, "LiIo/Po/Fe+" }, // over 10
            { Field::Ext_temp, "40000" }, // beyond 16 bits
            { Field::Ext_temp, "25.5" },
            { Field::C1, "abc" },
            { Field::Time, "25:00:99" },
            { Field::Cap, "922337203685477.58" }, // more than a file is read back with
        };
        for (const auto &[field, text] : faults) {
            Rows rows(40, chargeRow); // the bad row among others written with it
            if (field >= 0)
                rows[19][field] = text;
            const QString why = save(p, field < 0 ? text : "", rows);
            QVERIFY2(why.startsWith(field < 0 ? "The description" : "Sample 20: "),
                     qPrintable(why));
            QCOMPARE(readAll(p).title, "old");
        }
        { // written in full, never committed
            Samples samples;
            samples.append(readAll(p).rows.value(0));
            QVERIFY(RunFile::writeUncommitted(p, "new", samples).commit);
        }
        QCOMPARE(readAll(p).title, "old");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("keep").size(), 1);
        QDir(dir.path()).mkdir("folder.mdb"); // nor can a save go where no file can be
        for (const char *place : { "missing/run.mdb", "folder.mdb" })
            QVERIFY(!save(path(place), "", { chargeRow }).isEmpty());

        // A disk that refuses the file is named in the user's words, with the system's reason.
        QCOMPARE(
            diskFullAt(16'384, [&] { return save(path("full.mdb"), "", Rows(2000, chargeRow)); }),
            "The disk failed to store the file (File too large).");
    }

    // Values are stored as their texts would be, and refused where their texts would be.
    void valuesWrittenAsTheirTexts()
    {
        QStringList columns;
        for (const char *name : FieldNames)
            columns << QStringLiteral("quote(\"%1\")").arg(name);
        const QString dump = "select " + columns.join("||','||") + " from chglog";
        const QList<Value> values = { Value(),
                                      Value(""),
                                      Value(25),
                                      Value(40000),
                                      Value(qint64(1) << 60),
                                      Value(Fixed::fromRaw(-38125)),
                                      Value(Fixed::fromWhole(-3)),
                                      Value(DayTime { 1 + 3661.4 / 86400 }),
                                      Value("12.5") };
        for (const int field : { Time, Type, Ext_temp, Current })
            for (const Value &v : values) {
                QStringList shown = chargeRow, stored[2];
                shown[field] = v.text();
                const QString asText = save(path("text.mdb"), "", { shown });
                QCOMPARE(RunFile::writeValues(
                             path("value.mdb"), "", 1,
                             [&](qint64, int f) { return f == field ? v : Value(chargeRow[f]); }),
                         asText);
                runSql(path("text.mdb"), { dump }, &stored[0]);
                runSql(path("value.mdb"), { dump }, &stored[1]);
                QCOMPARE(stored[1], stored[0]);
            }
    }

    // A run file is written page by page: SQLite finds in it what its own inserts of the same
    // rows keep, value by value and type by type, and its integrity check passes, for a table
    // of one page, of two levels and of three. Written from the samples read back, as a run
    // keeps them, it holds the same again.
    void filesAsSqliteWritesThem_data()
    {
        QTest::addColumn<int>("rows");
        QTest::newRow("none") << 0;
        QTest::newRow("a page") << 20;
        QTest::newRow("three levels") << 30'000;
    }
    void filesAsSqliteWritesThem()
    {
        QFETCH(int, rows);
        const QList<QStringList> pools = {
            { "LiIo/Po/Fe", "+CHG+", "", "鋰電池放電", "NiMH" },
            { "25", "-40", "0", "1", "32767", "-32768", "" },
            { "0.00", "1", "-1", "16.40", "127", "128", "-129", "32768", "8388608", "2147483648",
              "140737488355328", "922337203685477", "-922337203685477", "0.01", "3.612", "-2.345",
              "-0.0001", "" },
        };
        const auto text = [&](qint64 r, int f) {
            if (f == Time)
                return QTime(0, 0).addSecs(int(r * 7 % 86400)).toString("hh:mm:ss");
            const QStringList &pool = pools[f <= Chg ? 0 : f <= In_temp ? 1 : 2];
            const QString &t = pool[(r * 7 + f) % pool.size()];
            // A run's samples are read back only with these three.
            return t.isEmpty() && (f == Bat_volt || f == Cap || f == Ext_temp) ? "7" : t;
        };
        const QString title = "鋰 " + QString(60, 'x');
        QCOMPARE(RunFile::write(path("pages.mdb"), title, rows, text), QString());
        {
            sqlite3 *db = nullptr;
            QFile::remove(path("sqlite.mdb"));
            QCOMPARE(sqlite3_open(qPrintable(path("sqlite.mdb")), &db), SQLITE_OK);
            QCOMPARE(RunFile::createTables(db), SQLITE_OK);
            const RunFile::Statement insert = RunFile::prepareRowInsert(db);
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
            for (qint64 r = 0; r < rows; ++r)
                QCOMPARE(RunFile::insertRow(insert.get(), [&](int f) { return text(r, f); }),
                         QString());
            const QByteArray titled = "INSERT INTO Title VALUES ('" + title.toUtf8() + "'); COMMIT";
            QCOMPARE(sqlite3_exec(db, titled, nullptr, nullptr, nullptr), SQLITE_OK);
            sqlite3_close(db);
        }
        QStringList columns;
        for (const char *name : FieldNames)
            columns << QStringLiteral("typeof(\"%1\")||quote(\"%1\")").arg(name);
        const QStringList dump = { "pragma user_version", "select sql from sqlite_master",
                                   "select quote(Title) from Title",
                                   "select " + columns.join("||','||") + " from chglog" };
        Samples samples;
        const Read read = readAll(path("pages.mdb"));
        QCOMPARE(read.error, QString());
        for (const ChannelReading &reading : read.rows)
            samples.append(reading);
        QCOMPARE(RunFile::write(path("samples.mdb"), title, samples), QString());
        QStringList written, sqlite, kept, check;
        runSql(path("pages.mdb"), dump, &written);
        runSql(path("sqlite.mdb"), dump, &sqlite);
        runSql(path("samples.mdb"), dump, &kept);
        QCOMPARE(written.size(), rows + 4);
        QCOMPARE(written, sqlite);
        QCOMPARE(kept, sqlite);
        runSql(path("pages.mdb"), { "pragma integrity_check" }, &check);
        QCOMPARE(check, QStringList("ok"));
    }

    // A killed save's files go at the next save into their folder, once a minute old, whatever
    // the run file's name.
    void killedSaveLeftoversGo()
    {
        QDir folder(dir.filePath("killed"));
        QVERIFY(folder.mkpath("."));
        const QStringList old
            = { ".a.mdb.Ab12Cd", ".notes.txt.Ab12Cd", ".a.mdb.Ab12Cd1", "a.mdb.Ab12Cd" };
        for (const QString &name : old + QStringList(".b.mdb.Xy34Zw")) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (old.contains(name))
                QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-70),
                                         QFileDevice::FileModificationTime));
        }
        QStringList saving; // the files of a save of "c.sqlite", as a kill leaves them
        QCOMPARE(RunFile::write(folder.filePath("c.sqlite"), "", 1,
                                [&](qint64, int) {
                                    saving
                                        = folder.entryList({ ".c*" }, QDir::Files | QDir::Hidden);
                                    return QString();
                                }),
                 QString());
        for (const QString &name : saving) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly)
                    && file.setFileTime(QDateTime::currentDateTime().addSecs(-70),
                                        QFileDevice::FileModificationTime));
        }
        QCOMPARE(save(folder.filePath("a.mdb"), "", {}), QString());
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden),
                 QStringList({ ".a.mdb.Ab12Cd1", ".b.mdb.Xy34Zw", ".notes.txt.Ab12Cd", "a.mdb",
                               "a.mdb.Ab12Cd", "c.sqlite" }));
    }

    // What users already have on disk keeps opening as it did, and what others write opens.
    void otherFilesOpen()
    {
        const Read old = readAll(QFINDTESTDATA("fixtures/run_format1.mdb"));
        QCOMPARE(old.error + old.title,
                 QStringLiteral("LiIo/Po/Fe/+CHG+  S3  @CH1  2026-12-07  10:00:01\r\n"));
        QCOMPARE(old.texts.mid(FieldCount, 9).join(' '),
                 "00:00:02 LiIo/Po/Fe +CHG+ 24 0 12.10 11.53 2.00 1");
        QVERIFY(old.rows.size() == 3 && old.rows[2][Field::Current].isEmpty());
        QCOMPARE(old.rows[2][Field::C1].text(), QStringLiteral("3.87"));

        // A table with more fields than ours
        runSql(path("wide.mdb"),
               { "CREATE TABLE Title (Title)", "INSERT INTO Title VALUES ('t')",
                 "CREATE TABLE CHGLOG (a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,extra)",
                 "INSERT INTO CHGLOG VALUES (0.5,'a','b',1,0," + QStringList(16, "1").join(',')
                     + ",3,'x')" });
        const Read wide = readAll(path("wide.mdb"));
        QCOMPARE(wide.error + wide.texts.join(' '),
                 "12:00:00 a b 1 0 1.00 1.00 1.00 1 1.00 1.00 1.00 1.00 "
                 "1.00 1.00 1.00 1.00 1.00 1.00 1.00 1.00 3.00");
    }

    // The export writes every value as the table shows it, also past the small numbers it looks
    // up and the sizes it keeps in a row; so do rows taken in one piece, as a file's are, whose
    // texts and large values the samples before know in another order or not at all.
    void exportWritesValuesAsShown()
    {
        Samples samples, more;
        QStringList want;
        for (const qint64 raw :
             { 0LL, 120LL, 9'999LL, 10'000LL, 999'900LL, 1'000'000LL, 99'990'000LL, 100'000'000LL,
               -100LL, 38'125LL, -36'120LL, 10'000'000'000'000LL }) {
            ChannelReading r = reading(raw / 100);
            r[Time] = DayTime { raw / 1e4 / 86400 };
            r[Cap] = raw; // a whole
            r[Current] = Fixed::fromRaw(raw);
            r[Type] = want.size() > 5 && want.size() % 2 == 0 ? "B a type longer than most" : "A";
            (want.size() > 5 ? more : samples).append(r);
            want << texts(r).join(',');
        }
        samples.append(more);
        for (qint64 i = 0; i < samples.count(); ++i) // as a run's summary reads them
            QCOMPARE(samples.number(i, Current), samples.value(i, Current).number());
        // Enough of them for the file to be made in blocks by two threads taking turns, and
        // written in their order.
        const Samples once = samples;
        for (const QStringList one = want; want.size() < 40'000; want += one)
            samples.append(once);
        QCOMPARE(samples.writeCsv(path("all.csv"), QStringList(FieldCount, "c")), QString());
        QFile csv(path("all.csv"));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromLatin1(csv.readAll()).split("\r\n").mid(1), want << QString());
        // A disk that fills during the export: both threads stop, the cut-off file is removed.
        QCOMPARE(diskFullAt(2'000'000,
                            [&] {
                                return samples.writeCsv(path("cut.csv"),
                                                        QStringList(FieldCount, "c"));
                            }),
                 "File too large");
        QVERIFY(!QFile::exists(path("cut.csv")));
    }

    // A file's run is announced and followed as the charger's are; a refused file's ends where
    // it stopped.
    void fileRunFollowed()
    {
        QStringList next = chargeRow;
        next[Field::Time] = "00:00:02", next[Field::Cap] = "126";
        QCOMPARE(save(path("run.mdb"), "t", { chargeRow, next, QStringList(FieldCount) }),
                 QString());
        RunHub hub;
        HubFollower follower(hub);
        FakeClock clock;
        QVERIFY(!FileRun(hub, path("run.mdb"), clock).readNow().isEmpty());
        const QString run = path("run.mdb");
        QCOMPARE(follower.events,
                 QStringList({ "started " + run, run + ": 00:00:01 125", run + ": 00:00:02 126",
                               "ended " + run + " 2 interrupted" }));
        QVERIFY(hub.runs().isEmpty());
    }

    // Damaged and hostile files are refused with a reason, and soon.
    void damagedFiles()
    {
        // "truncate": a third of a database, or SQL that damages one. A file that is no database
        // at all and an endless view of rows are the main window's to refuse.
        const char *damages[] = {
            "truncate",
            "drop table Title",
            "delete from Title",
            "update Title set Title = NULL",
            "update Title set Title = zeroblob(30000000)",
            "drop table Title; create table Title (Title as (printf('%.*c',300000000,'x')), x); "
            "insert into Title (x) values (1)",
            "alter table CHGLOG add column note as (printf('%.*c',300000000,'x'))",
            "drop table Title; create view Title as select 'pack'",
            "drop table CHGLOG",
            "create table t as select Time,type,Chg,Ext_temp,In_temp,In_Volt,Bat_volt,Current,"
            "Cap,Power,C1,C2,C3,C4,C5,C6,C7,C8,C9,C10,C11 from CHGLOG; drop table CHGLOG; "
            "alter table t rename to CHGLOG",
            "update CHGLOG set Bat_volt = 'x' where Cap = 1",
            "update CHGLOG set Current = 9e999 where Cap = 2",
            "update CHGLOG set In_Volt = 1e300 where Cap = 1",
            "update CHGLOG set Ext_temp = 40000 where Cap = 3",
            "update CHGLOG set type = 'NiMH NiMH NiMH' where Cap = 3",
            "update CHGLOG set Bat_volt = NULL where Cap = 2", // a sample no chart can draw
        };
        const QString p = path("damaged.mdb");
        for (const char *sql : damages) {
            QCOMPARE(RunFile::write(p, "pack A", 4, rowText), QString());
            if (sql != QLatin1String("truncate"))
                runSql(p, QString::fromLatin1(sql).split("; "));
            else
                QVERIFY(QFile::resize(p, QFileInfo(p).size() / 3));
            QElapsedTimer took;
            took.start();
            rusage usage {};
            getrusage(RUSAGE_SELF, &usage);
            const long peakKb = usage.ru_maxrss;
            QVERIFY2(!readAll(p).error.isEmpty(), sql);
            getrusage(RUSAGE_SELF, &usage);
            QVERIFY2(usage.ru_maxrss - peakKb < 50'000 && took.elapsed() < 1000, sql);
        }
    }
};

QTEST_GUILESS_MAIN(TestRunFile)
#include "test_run_file.moc"
