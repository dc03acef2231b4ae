#include "document/run_file.h"
#include "support/readings.h"
#include "support/sqlite_file.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

namespace {

using Rows = QList<QStringList>;

const QStringList chargeRow
    = { "00:00:01", "LiIo/Po/Fe", "+CHG+", "25",   "0",    "12.00", "16.40", "2.00",
        "125",      "32.80",      "4.10",  "4.11", "4.09", "4.10",  "0.00",  "0.00",
        "0.00",     "0.00",       "0.00",  "0.00", "0.00", "0.00" };

QString save(const QString &path, const QString &title, const Rows &rows)
{
    return RunFile::write(path, title, rows.size(),
                          [&](qint64 r, int f) { return rows.at(int(r)).at(f); });
}

// Reads a whole file the way the open command does; "" when every step worked.
QString readAll(const QString &path, QString *title = nullptr,
                QList<ChannelReading> *rows = nullptr)
{
    RunFile::Reader reader;
    const std::optional<QString> t = reader.open(path) ? reader.title() : std::nullopt;
    if (!t)
        return reader.error();
    if (title)
        *title = *t;
    for (ChannelReading row; reader.next(row);)
        if (rows)
            rows->append(row);
    return reader.error();
}

long peakMemoryKb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class TestRunFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    // An empty run, then a full one over it.
    void roundTripKeepsEveryField()
    {
        QString readTitle = "x";
        QList<ChannelReading> rows;
        QCOMPARE(save(path("run.mdb"), "", {}), QString());
        QCOMPARE(readAll(path("run.mdb"), &readTitle, &rows), QString());
        QVERIFY(readTitle.isEmpty() && rows.isEmpty());

        QStringList idle = chargeRow;
        idle[Field::Time] = "10:59:59";
        idle[Field::Chg] = "";
        idle[Field::Current] = ""; // idle sample: no current at all
        idle[Field::Bat_volt] = "-0.01";
        const QString title = "LiIo/Po/Fe/+CHG+  S4  @CH1  2026-12-06  10:00:00\r\n";
        QCOMPARE(save(path("run.mdb"), title, { chargeRow, idle }), QString());
        QCOMPARE(readAll(path("run.mdb"), &readTitle, &rows), QString());
        QCOMPARE(readTitle, title);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(texts(rows[0]), chargeRow); // the same texts as the live table
        QCOMPARE(texts(rows[1]), idle);
        QCOMPARE(rows[0][Field::Ext_temp], Value(25));
        QVERIFY(rows[1][Field::Current].isEmpty() && rows[1][Field::Chg].isEmpty());
    }

    void failedSaveLeavesOldFile_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("title over 100") << QString(101, 'x') << -1 << QString();
        QTest::newRow("type over 10") << "" << int(Field::Type) << "LiIo/Po/Fe+";
        QTest::newRow("temperature beyond 16 bits") << "" << int(Field::Ext_temp) << "40000";
        QTest::newRow("temperature with decimals") << "" << int(Field::Ext_temp) << "25.5";
        QTest::newRow("text in a currency") << "" << int(Field::C1) << "abc";
        QTest::newRow("bad time") << "" << int(Field::Time) << "25:00:99";
    }
    void failedSaveLeavesOldFile()
    {
        QFETCH(QString, title);
        QFETCH(int, field);
        QFETCH(QString, text);
        const QString p = path("keep.mdb");
        QCOMPARE(save(p, "old", { chargeRow }), QString());
        QStringList bad = chargeRow;
        if (field >= 0)
            bad[field] = text;
        QVERIFY(!save(p, title, { chargeRow, bad }).isEmpty());
        QString readTitle;
        QCOMPARE(readAll(p, &readTitle), QString());
        QCOMPARE(readTitle, "old");
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter("keep").size(), 1);
    }

    void unwritablePlaces()
    {
        QDir(dir.path()).mkdir("folder.mdb");
        for (const char *place : { "missing/run.mdb", "folder.mdb" })
            QVERIFY(!save(path(place), "", { chargeRow }).isEmpty());
    }

    // A disk that refuses the file is named in the user's words, with the system's reason.
    void diskFailureIsSaid()
    {
        rlimit limit {};
        getrlimit(RLIMIT_FSIZE, &limit);
        const rlimit before = limit;
        limit.rlim_cur = 16'384; // a file grows past this with an error, not a signal
        std::signal(SIGXFSZ, SIG_IGN);
        setrlimit(RLIMIT_FSIZE, &limit);
        const QString reason = save(path("full.mdb"), "", Rows(2000, chargeRow));
        setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(reason, "The disk failed to store the file (disk I/O error).");
    }

    // A killed save's files go at the next save into their folder, once a minute old.
    void killedSaveLeftoversGo()
    {
        QDir folder(dir.filePath("killed"));
        QVERIFY(folder.mkpath("."));
        const QStringList old = { ".a.mdb.Ab12Cd", ".a.mdb.Ab12Cd-journal", ".notes.txt.Ab12Cd",
                                  ".a.mdb.Ab12Cd1", "a.mdb.Ab12Cd" };
        for (const QString &name : old + QStringList(".b.mdb.Xy34Zw")) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (old.contains(name))
                QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-70),
                                         QFileDevice::FileModificationTime));
        }
        QCOMPARE(save(folder.filePath("a.mdb"), "", {}), QString());
        QCOMPARE(folder.entryList(QDir::Files | QDir::Hidden),
                 QStringList({ ".a.mdb.Ab12Cd1", ".b.mdb.Xy34Zw", ".notes.txt.Ab12Cd", "a.mdb",
                               "a.mdb.Ab12Cd" }));
    }

    // The contract with every other program that reads these files.
    void schemaOnDisk()
    {
        QCOMPARE(save(path("schema.mdb"), "t", {}), QString());
        QStringList got;
        runSql(path("schema.mdb"),
               { "pragma user_version",
                 "select m.name || '.' || p.name || ' ' || p.type from sqlite_master m, "
                 "pragma_table_info(m.name) p order by m.rowid, p.cid" },
               &got);
        QStringList expected
            = { "CHGLOG.Time DATETIME",     "CHGLOG.type TEXT(10)",    "CHGLOG.Chg TEXT(10)",
                "CHGLOG.Ext_temp SMALLINT", "CHGLOG.In_temp SMALLINT", "CHGLOG.In_Volt CURRENCY",
                "CHGLOG.Bat_volt CURRENCY", "CHGLOG.Current CURRENCY", "CHGLOG.Cap CURRENCY",
                "CHGLOG.Power CURRENCY" };
        for (int c = 1; c <= 12; ++c)
            expected << QStringLiteral("CHGLOG.C%1 CURRENCY").arg(c);
        QCOMPARE(got, QStringList("1") + expected << "Title.Title TEXT(100)"); // user_version first
    }

    // What users already have on disk keeps opening as it did.
    void frozenFormat1FileReads()
    {
        const QString fixture = QFINDTESTDATA("fixtures/run_format1.mdb");
        QVERIFY(!fixture.isEmpty());
        QString title;
        QList<ChannelReading> rows;
        QCOMPARE(readAll(fixture, &title, &rows), QString());
        QCOMPARE(title, QStringLiteral("LiIo/Po/Fe/+CHG+  S3  @CH1  2026-12-07  10:00:01\r\n"));
        QCOMPARE(rows.size(), 3);
        QCOMPARE(texts(rows[1]).mid(0, 9).join(' '),
                 "00:00:02 LiIo/Po/Fe +CHG+ 24 0 12.10 11.53 2.00 1");
        QVERIFY(rows[2][Field::Current].isEmpty());
        QCOMPARE(rows[2][Field::C1].text(), QStringLiteral("3.87"));
    }

    void widerTableOpens()
    {
        runSql(path("wide.mdb"),
               { "CREATE TABLE Title (Title)", "INSERT INTO Title VALUES ('t')",
                 "CREATE TABLE CHGLOG (a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,extra)",
                 "INSERT INTO CHGLOG VALUES (0.5,'a','b',1,0," + QStringList(16, "1").join(',')
                     + ",3,'x')" });
        QList<ChannelReading> rows;
        QCOMPARE(readAll(path("wide.mdb"), nullptr, &rows), QString());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][Field::C12].number()->format2(), "3.00");
    }

    // Damaged and hostile files are refused with a reason, and soon.
    void damagedFiles_data()
    {
        QTest::addColumn<QString>("sql");
        const char *rows[][2] = {
            { "not a database", "text" },
            { "truncated", "truncate" },
            { "no Title table", "drop table Title" },
            { "empty Title", "delete from Title" },
            { "Null title", "update Title set Title = NULL" },
            { "huge title", "update Title set Title = zeroblob(30000000)" },
            { "Title computed huge",
              "drop table Title; create table Title (Title as (printf('%.*c',300000000,'x')), x); "
              "insert into Title (x) values (1)" },
            { "sample computed huge",
              "alter table CHGLOG add column note as (printf('%.*c',300000000,'x'))" },
            { "Title a view", "drop table Title; create view Title as select 'pack'" },
            { "no CHGLOG table", "drop table CHGLOG" },
            { "endless view",
              "drop table CHGLOG; create view CHGLOG as with recursive r(n) as (select 1 union "
              "all select n + 1 from r) select n / 86400.0, 'NiMH', '+CHG+', 25, 0, 12, 7.2, 1, "
              "n, 7.2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1 from r" },
            { "21 fields",
              "create table t as select Time,type,Chg,Ext_temp,In_temp,In_Volt,Bat_volt,Current,"
              "Cap,Power,C1,C2,C3,C4,C5,C6,C7,C8,C9,C10,C11 from CHGLOG; drop table CHGLOG; "
              "alter table t rename to CHGLOG" },
            { "text in a number field", "update CHGLOG set Bat_volt = 'x' where Cap = 1" },
            { "infinity", "update CHGLOG set Current = 9e999 where Cap = 2" },
            { "1e300", "update CHGLOG set In_Volt = 1e300 where Cap = 1" },
            { "temperature beyond 16 bits", "update CHGLOG set Ext_temp = 40000 where Cap = 3" },
            { "type over 10", "update CHGLOG set type = 'NiMH NiMH NiMH' where Cap = 3" },
        };
        for (const auto &[tag, sql] : rows)
            QTest::newRow(tag) << QString::fromLatin1(sql);
    }
    void damagedFiles()
    {
        QFETCH(QString, sql);
        const QString p = path("damaged.mdb");
        Rows rows(4, chargeRow);
        for (int r = 0; r < 4; ++r)
            rows[r][Field::Cap] = QString::number(r + 1);
        QCOMPARE(save(p, "pack A", rows), QString());
        QFile file(p);
        if (sql == "text")
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write("Battery log\n") && file.flush());
        else if (sql == "truncate")
            QVERIFY(file.resize(file.size() / 3));
        else
            runSql(p, sql.split("; "));
        QElapsedTimer took;
        took.start();
        const long peakKb = peakMemoryKb();
        QVERIFY(!readAll(p).isEmpty());
        QCOMPARE_LT(peakMemoryKb() - peakKb, 50'000);
        QVERIFY2(took.elapsed() < 1000, qPrintable(QString::number(took.elapsed())));
    }

    void initTestCase() { QVERIFY(dir.isValid()); }
};

QTEST_GUILESS_MAIN(TestRunFile)
#include "test_run_file.moc"
