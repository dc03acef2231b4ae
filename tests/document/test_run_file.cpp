#include "document/run_file.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

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

// Builds a file with raw SQL, for the damaged and foreign cases.
void makeDb(const QString &path, const QStringList &statements)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "fixture");
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &s : statements)
            QVERIFY2(q.exec(s), qPrintable(s));
        db.close();
    }
    QSqlDatabase::removeDatabase("fixture");
}

QString ones(int n)
{
    return QStringList(n, "1").join(',');
}

// Reads a whole file the way the open command does; "" when every step worked.
QString readAll(const QString &path, QString *title = nullptr,
                QList<ChannelReading> *rows = nullptr)
{
    RunFile::Reader reader;
    if (!reader.open(path))
        return reader.error();
    const auto t = reader.title();
    if (!t)
        return reader.error();
    if (title)
        *title = *t;
    ChannelReading row;
    while (reader.next(row))
        if (rows)
            rows->append(row);
    return reader.error();
}

} // namespace

class TestRunFile : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const char *name) const { return dir.filePath(QString::fromLatin1(name)); }

private slots:
    void roundTripKeepsEveryField()
    {
        QStringList idle = chargeRow;
        idle[Field::Time] = "10:59:59";
        idle[Field::Chg] = "";
        idle[Field::Current] = ""; // idle sample: no current at all
        idle[Field::Bat_volt] = "-0.01";
        const QString title = "LiIo/Po/Fe/+CHG+  S4  @CH1  2026-12-06  10:00:00\r\n";
        QCOMPARE(save(path("run.mdb"), title, { chargeRow, idle }), QString());

        QString readTitle;
        QList<ChannelReading> rows;
        QCOMPARE(readAll(path("run.mdb"), &readTitle, &rows), QString());
        QCOMPARE(readTitle, title);
        QCOMPARE(rows.size(), 2);
        QCOMPARE(rows[0][Field::Time].text(), "00:00:01");
        QCOMPARE(rows[0][Field::Ext_temp], Value(25));
        for (int f = Field::Type; f < FieldCount; ++f) {
            QCOMPARE(rows[0][f].text(), chargeRow[f]); // the same texts as the live table
        }
        QCOMPARE(rows[1][Field::Time].text(), "10:59:59");
        QVERIFY(rows[1][Field::Current].isEmpty());
        QVERIFY(rows[1][Field::Chg].isEmpty());
        QCOMPARE(rows[1][Field::Bat_volt].number()->raw(), -100);
    }

    void emptyRunAndOverwrite()
    {
        QCOMPARE(save(path("empty.mdb"), "", {}), QString());
        QString title = "x";
        QList<ChannelReading> rows;
        QCOMPARE(readAll(path("empty.mdb"), &title, &rows), QString());
        QCOMPARE(title, QString());
        QVERIFY(rows.isEmpty());

        QCOMPARE(save(path("empty.mdb"), "second", { chargeRow }), QString());
        QCOMPARE(readAll(path("empty.mdb"), &title, &rows), QString());
        QCOMPARE(title, "second");
        QCOMPARE(rows.size(), 1);
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
        QVERIFY(!save(path("missing/run.mdb"), "", { chargeRow }).isEmpty());
        QDir(dir.path()).mkdir("folder.mdb");
        QVERIFY(!save(path("folder.mdb"), "", { chargeRow }).isEmpty());
    }

    void damagedFilesGiveErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("not sqlite") << "garbage.mdb";
        QTest::newRow("truncated") << "truncated.mdb";
        QTest::newRow("no tables") << "notables.mdb";
        QTest::newRow("empty title") << "emptytitle.mdb";
        QTest::newRow("null title") << "nulltitle.mdb";
        QTest::newRow("text in number field") << "text.mdb";
        QTest::newRow("21 fields") << "narrow.mdb";
        QTest::newRow("missing file") << "nothere.mdb";
    }
    void damagedFilesGiveErrors()
    {
        QFETCH(QString, name);
        QVERIFY(!readAll(dir.filePath(name)).isEmpty());
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
        QCOMPARE(rows[1][Field::Time].text(), QStringLiteral("00:00:02"));
        QCOMPARE(rows[1][Field::Bat_volt].number()->format2(), QStringLiteral("11.53"));
        QCOMPARE(rows[1][Field::Cap].text(), QStringLiteral("1"));
        QCOMPARE(rows[2][Field::Current].isEmpty(), true);
        QCOMPARE(rows[2][Field::C1].text(), QStringLiteral("3.87"));
    }

    void widerTableOpens()
    {
        QList<ChannelReading> rows;
        QCOMPARE(readAll(path("wide.mdb"), nullptr, &rows), QString());
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows[0][Field::C12].number()->format2(), "3.00");
    }

    void initTestCase()
    {
        QVERIFY(dir.isValid());
        QFile g(path("garbage.mdb"));
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write(QByteArray(4096, '\x5a'));
        g.close();

        Rows many;
        for (int i = 0; i < 2000; ++i)
            many << chargeRow;
        QCOMPARE(save(path("truncated.mdb"), "t", many), QString());
        QFile t(path("truncated.mdb"));
        QVERIFY(t.resize(t.size() / 3));

        makeDb(path("notables.mdb"), { "CREATE TABLE other (a)" });
        const QString cols22 = "a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v";
        makeDb(path("emptytitle.mdb"),
               { "CREATE TABLE Title (Title)", "CREATE TABLE CHGLOG (" + cols22 + ")" });
        makeDb(path("nulltitle.mdb"),
               { "CREATE TABLE Title (Title)", "INSERT INTO Title VALUES (NULL)",
                 "CREATE TABLE CHGLOG (" + cols22 + ")" });
        makeDb(path("text.mdb"),
               { "CREATE TABLE Title (Title)", "INSERT INTO Title VALUES ('t')",
                 "CREATE TABLE CHGLOG (" + cols22 + ")",
                 "INSERT INTO CHGLOG VALUES (0,'a','b','hot',0," + ones(17) + ")" });
        makeDb(path("narrow.mdb"),
               { "CREATE TABLE Title (Title)", "INSERT INTO Title VALUES ('t')",
                 "CREATE TABLE CHGLOG (a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u)",
                 "INSERT INTO CHGLOG VALUES (0,'a','b',1,0," + ones(16) + ")" });
        makeDb(path("wide.mdb"),
               { "CREATE TABLE Title (Title)", "INSERT INTO Title VALUES ('t')",
                 "CREATE TABLE CHGLOG (" + cols22 + ",extra)",
                 "INSERT INTO CHGLOG VALUES (0.5,'a','b',1,0," + ones(16) + ",3,'x')" });
    }
};

QTEST_GUILESS_MAIN(TestRunFile)
#include "test_run_file.moc"
