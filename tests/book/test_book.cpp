#include "book/book.h"
#include "book/book_model.h"
#include "book/pack_warning_watch.h"
#include "platform/core/background.h"
#include "run/run_file.h"
#include "run/run_title.h"
#include "support/fake_clock.h"
#include "support/files.h"
#include "support/spans.h"
#include "support/sqlite_file.h"

#include <QtTest>
#include <sys/stat.h>

namespace {
const QDateTime Now(QDate(2026, 5, 2), QTime(0, 0));
const QString Cells = "4.00 4.00 4.00", NiMH = "NiMH";

// A run file dated `date` by its modification time.
void put(const QString &path, const QString &title, const QList<Span> &spans,
         const QDateTime &date = {})
{
    QCOMPARE(writeRun(path, title, spans), QString());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite)
            && f.setFileTime(date.isValid() ? date : Now, QFileDevice::FileModificationTime));
}

QDateTime day(int month, int d, int h = 10)
{
    return QDateTime(QDate(2026, month, d), QTime(h, 0));
}

// A 3S pack's cells at the end of each run: cell 3 (a tenth less capacity) ends each discharge
// lowest and is first out again after a balance charge.
const QStringList WeakEnds { "4.20 4.20 4.20", "3.40 3.40 3.20", "4.19 4.19 4.22", "3.40 3.40 3.20",
                             "4.20 4.20 4.20" };

// Runs of "Pack 3S", a day apart up to `last`: a charge where the cells at its change to constant
// voltage reach 4 V, else a discharge, ending at `ends`.
void put3S(const QString &folder, const QStringList &ends, const QDateTime &last)
{
    for (int i = 0; i < ends.size(); ++i) {
        const bool charge = ends[i].startsWith('4');
        put(folder + '/' + QString::number(i) + ".mdb", "Pack 3S",
            charge ? QList<Span> { { 0, 100, 12.3, 2, "4.10 4.10 4.10" },
                                   { 101, 200 + i, 12.6, 1, ends[i] } }
                   : QList<Span> { { 0, 3000, 11.4, -2, "3.80 3.80 3.80" },
                                   { 3001, 3300 + i, 10, -2, ends[i] } },
            last.addDays(i + 1 - ends.size()));
    }
}

QString counts(const Book::Progress &p)
{
    return QStringLiteral("%1 %2 %3").arg(p.read).arg(p.skipped).arg(p.removed);
}
} // namespace

class TestBook : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString runs() const { return dir.filePath("runs"); }
    QString file(const char *name) const { return dir.filePath("runs/") + name; }

    // Packs of the folder as CSV rows, without the header.
    static QStringList packRows(Book &book)
    {
        const auto found = book.runs();
        book.identify(found);
        const QString csv = BookTable::text(BookTable::packColumns(), book.packs(found, Now), true);
        return csv.split("\r\n", Qt::SkipEmptyParts).mid(1);
    }
    static Book::Progress index(Book &book, const QStringList &folders)
    {
        Book::Progress last;
        const std::atomic<bool> stop = false;
        book.index(folders, stop, [&](const Book::Progress &p) { last = p; });
        return last;
    }

private slots:
    // Pack A (2200 mAh, from its description): a charge from rest, four discharges to 3.3 V a cell,
    // the first and the last after 10 s at 0.2 C, then one to storage; two charges to 4.22 V a
    // cell, the first's cells further apart, the last from rest and left a month. Pack B: NiMH, two
    // discharges, linked and copied. A 10S pack stored at 3.85 V a cell. One run still under the
    // program's own description. Three files no run files: one of them a run with a sample no
    // chart could draw. Files are dated by their last write, as a run's end.
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(runs() + "/2026"));
        const auto iec = [](double u1, double u2, int to) {
            return QList<Span> { { 0, 10, u1, -0.44, Cells }, { 11, to, u2, -2.2, Cells } };
        };
        put(file("c0.mdb"), "Pack A 2200mAh",
            { { 0, 10, 11, 0, Cells }, { 11, 20, 11.2, 2.2, Cells } },
            QDateTime(QDate(2025, 12, 1), QTime(10, 0)));
        put(file("d1.mdb"), "Pack A 2200mAh", iec(9.98, 9.90, 3600), day(1, 1));
        put(file("d2.mdb"), " pack  a 2200mAh", { { 0, 3240, 9.9, -2, Cells } }, day(2, 1));
        put(file("2026/d3.mdb"), "PACK A 2200mAh", { { 0, 3960, 9.9, -2, Cells } }, day(3, 1));
        put(file("2026/d4.mdb"), "Pack A 2200mAh", iec(9.90, 9.80, 2890), day(4, 1));
        put(file("d5.mdb"), "Pack A 2200mAh", { { 0, 1800, 11.5, -2, Cells } }, day(4, 1, 11));
        put(file("c4.mdb"), "Pack A 2200mAh", { { 0, 100, 12.66, 2.2, "4.20 4.29 4.21" } },
            day(4, 1, 12));
        put(file("c5.mdb"), "Pack A 2200mAh",
            { { 0, 10, 12.5, 0, Cells }, { 11, 100, 12.66, 2.2, "4.20 4.25 4.21" } }, day(4, 2, 8));
        put(file("b1.mdb"), "Pack \"B\", spare", { { 0, 3600, 6, -1, "0", NiMH } }, day(1, 5));
        put(file("b2.mdb"), "pack \"b\", spare", { { 0, 1800, 6, -1, "0", NiMH } }, day(2, 5));
        QVERIFY(QFile::link(file("b2.mdb"), file("2026/b2 link.mdb")));
        QVERIFY(QFile::copy(file("b2.mdb"), file("b2 copy.mdb")));
        put(file("ten.mdb"), "Ten 10S",
            { { 0, 100, 38.6, 1, "3.85 3.85 3.85 3.85 3.85 3.85 3.85 3.85 3.85 3.885" } },
            day(3, 1));
        put(file("u.mdb"), "LiIo/Po/Fe/+CHG+  S2  @CH1  2026-05-01  10:00:01\r\n",
            { { 0, 10, 8.4, 2 } });
        writeFile(file("junk.mdb"), "not a run");
        QCOMPARE(mkfifo(qPrintable(file("fifo.mdb")), 0600), 0);
        put(file("hole.mdb"), "Pack A 2200mAh", { { 0, 1600, 12, -2, Cells } });
        runSql(file("hole.mdb"), { "update CHGLOG set Ext_temp = NULL where rowid = 1500" });
    }

    // Worked out by hand: d1 2194.87 mAh, d2 1800, d3 2200, d4 1760.98 (80.0 % of d3), d5 to
    // storage no capacity; cycles 8955.85 / 2200; DCIR 100 mV / 1.76 A = 57 ± 6 mΩ, 11 up on
    // d1's 80 mV / 1.76 A, the charges' steps from rest no match; the plan from c5's 73 mΩ:
    // 0.44 A + (0.01 V + 0.073 Ω × 0.01 A) / (10 % of 0.073 Ω). B's end needs its cells; 1,000 -
    // 0,000 (one run however found); the ten cells 0.035 apart, 3.86 V each. By the limits of 90 %,
    // 50 mΩ and 0.05 V, Pack A, left full a month, wants care four ways.
    void packFigures()
    {
        Book book(":memory:");
        book.setLimits({ 0.9, 50.0, 0.05 });
        QCOMPARE(counts(index(book, { runs() })), "14 3 0");
        const auto few = [](int n, int resistances = 0) {
            return QString("no forecast: %1 of the 5 full discharges needed,,,,,no forecast: %2 "
                           "of the 5 resistances needed")
                .arg(n)
                .arg(resistances);
        };
        QCOMPARE(
            packRows(book),
            QStringList(
                { ",Unnamed runs,1,,2026-05-01T10:00:01,2026-05-01T10:00:11,,,,,,,,,,,,,,,,,,,,",
                  "P0002,\"Pack \"\"B\"\", spare\",2,1.50,2026-01-05T09:00:00,"
                  "2026-02-05T10:00:00,,,,,,,,,,,,,,"
                      + few(0) + ",",
                  "P0001,Pack A 2200mAh,8,4.07,2025-12-01T09:59:40,2026-04-02T08:00:00,1761,"
                  "20.0,80.0,57,iec61960,\"hold 0.44 A for 10 s, then at least 2.0 A\",0.090,,"
                  "\"stored full for 29 days, capacity down to 80 % "
                  "(limit 90 %), "
                  "resistance 57 mΩ (limit 50 mΩ), cells 0.090 V apart (limit 0.050 V)\",,,,,"
                      + few(4, 2) + ",",
                  "P0003,Ten 10S,1,0.00,2026-03-01T09:58:20,2026-03-01T10:00:00,,,,,,,0.035,,,,,,,"
                      + few(0) + "," }));
        const auto found = book.runs();
        const auto packs = book.packs(found, Now);
        QCOMPARE(*packs[2].dcirTrend, 0.1 / 1.76 * 1000 - 0.08 / 1.76 * 1000);
        const auto rows = BookTable::text(BookTable::runColumns(), BookTable::runRows(packs), true)
                              .split("\r\n");
        QCOMPARE(rows[8],
                 "P0001,Pack A 2200mAh," + file("2026/d4.mdb")
                     + ",2026-04-01T09:11:50,discharge,LiIo/Po/Fe,"
                       "3,2890,0,1761,0.00,17.26,2.20,25.0,,9.90,9.80,,57,6,iec61960,,,,");
        QStringList skipped;
        for (const RunFigures &f : found)
            if (!f.skipped.isEmpty())
                skipped << QFileInfo(f.path).fileName() + ": " + f.skipped;
        QCOMPARE(skipped,
                 QStringList({ "fifo.mdb: It is not a regular file.",
                               "hole.mdb: Sample 1500 has no value in Ext_temp.",
                               "junk.mdb: file is not a database" }));
    }

    // The window's tables: numbers sort as numbers (500 before 1761), unknown ones last either
    // way; the runs show the window's texts under its captions. B's six cells end at 6 V.
    void windowTables()
    {
        Book book(":memory:");
        index(book, { runs() });
        book.setPackSpec("Pack \"B\", spare", std::nullopt, 6);
        const auto found = book.runs();
        const auto all = book.packs(found, Now);
        BookModel<PackFigures> packs(BookTable::packColumns());
        packs.setRows(all);
        const auto column = [](const QAbstractItemModel &m, int c) {
            QStringList texts;
            for (int r = 0; r < m.rowCount(); ++r)
                texts << m.index(r, c).data().toString();
            return texts.join('|');
        };
        packs.sort(6);
        QCOMPARE(column(packs, 1), "Pack \"B\", spare|Pack A 2200mAh|Unnamed runs|Ten 10S");
        packs.sort(6, Qt::DescendingOrder);
        QCOMPARE(column(packs, 1), "Pack A 2200mAh|Pack \"B\", spare|Unnamed runs|Ten 10S");
        QCOMPARE(packs.index(0, 13).data(),
                 "11 since 2026-01-01 09:00 by DCIR at 0.2C → 1C over 10 s");
        // Copied for a spreadsheet: a cell per field, quotes and commas as they are.
        const QStringList copied = BookTable::tabbed(BookTable::packColumns(), all).split('\n');
        QCOMPARE(copied[0].section('\t', 0, 2), "pack_id\tpack\truns");
        QCOMPARE(copied[2].section('\t', 0, 2), "P0001\tPack \"B\", spare\t2");
        BookModel<BookTable::RunRow> runs(BookTable::runColumns());
        runs.setRows(BookTable::runRows(all));
        QStringList shown;
        for (int c = 0; c < runs.columnCount(); ++c)
            shown << runs.headerData(c, Qt::Horizontal).toString() + ": "
                    + runs.index(7, c).data().toString();
        QCOMPARE(
            shown.join(", "),
            "Date: 2026-04-01 09:11 (file time), Kind: discharge, Chemistry: LiIo/Po/Fe, "
            "Cells: 3, Duration (s): 2890, Charged (mAh): 0, Discharged (mAh): 1761, "
            "Charged (Wh): 0.00, Discharged (Wh): 17.26, Peak (A): 2.20, Ext max (℃): 25.0, "
            "Int max (℃): , V start: 9.90, V end: 9.80, End-of-charge spread (V): , "
            "Resistance: DCIR 57 ± 6 mΩ at 0.2C → 1C over 10 s; cells –/–/– mΩ, CV share (%): , "
            "Taper (s): , dQ/dV peak (V): , dQ/dV peak (mAh/V): , File: d4.mdb");
    }

    // A pack wearing as it is used, its resistance rising: both forecast at the user's limits
    // (twice the first resistance by default), both refused with four runs.
    void wearForecasts()
    {
        QTemporaryDir folder;
        for (int i = 0; i < 5; ++i)
            put(folder.filePath(QString("w%1.mdb").arg(i)), "Wear 2200mAh",
                { { 0, 10, 10 + 0.02 * i, -0.44, Cells },
                  { 11, 3600 - 200 * i, 9.9, -2.2, Cells } },
                day(1, 1 + 7 * i));
        Book book(":memory:");
        index(book, { folder.path() });
        const auto forecasts = [&book] {
            const auto found = book.runs();
            const PackFigures p = book.packs(found, Now)[0];
            return p.eol.text() + " | " + p.dcirEol.text();
        };
        QCOMPARE(forecasts(),
                 "80 % at about 4 cycles (4–4), around January 2026 | 112 mΩ at about 5 "
                 "cycles (5–5), around February 2026");
        book.setLimits({ 0.7, 150.0, {} });
        QCOMPARE(forecasts(),
                 "70 % at about 6 cycles (6–6), around February 2026 | 150 mΩ at about 8 "
                 "cycles (8–8), around February 2026");
        book.excludeRun(folder.filePath("w4.mdb"), true);
        QCOMPARE(forecasts(),
                 "no forecast: 4 of the 5 full discharges needed | no forecast: 4 of "
                 "the 5 resistances needed");
    }

    // Only new and changed files are read again; removed ones drop out.
    void incremental()
    {
        QTemporaryDir folder;
        const QString a = folder.filePath("a.mdb"), b = folder.filePath("b.mdb");
        put(a, "A", { { 0, 10, 12, 1 } }, day(1, 1));
        put(b, "B", { { 0, 10, 12, 1 } }, day(1, 1));
        Book book(dir.filePath("incremental.db"));
        QCOMPARE(book.error(), QString());
        const auto indexed = [&] { return counts(index(book, { folder.path() })); };
        QCOMPARE(indexed(), "2 0 0");
        QCOMPARE(indexed(), "0 0 0");
        put(b, "B", { { 0, 20, 12, 1 } }, day(1, 2));
        QCOMPARE(indexed(), "1 0 0");
        QFile::remove(a);
        QCOMPARE(indexed(), "0 0 1");
        put(a, "A", { { 0, 10, 12, 1 } }, day(1, 1));
        QCOMPARE(indexed(), "1 0 0");
        QCOMPARE(book.runs().size(), 2u);
    }

    // Renames, merges, moves, rated capacities and limits live in the book, through a rebuild and
    // from a book of version 1 or 2 on, whose index is read again.
    void choicesSurviveRebuild()
    {
        const QString path = dir.filePath("choices.db");
        {
            Book book(path);
            index(book, { runs() });
            book.renamePack("PACK \"B\", SPARE", "Spare");
            book.moveRun(file("u.mdb"), "spare");
            book.setLimits({ 0.7, 50.0, std::nullopt });
            book.clear();
            QCOMPARE(book.runs().size(), 0u);
        }
        runSql(path,
               { "drop table runs", "create table runs (path text primary key, title)",
                 "create table pack_specs (pack_key text primary key, rated_mah real, "
                 "cells integer)",
                 "insert into pack_specs values ('spare', 2000, 6)", "pragma user_version = 1" });
        Book book(path);
        index(book, { runs() });
        const QStringList rows = packRows(book);
        QCOMPARE(rows.size(), 3);
        QVERIFY2(rows[1].startsWith("P0001,Spare,3,0.75,"), qPrintable(rows[1]));
        // What a comparison aligns by: the user's capacity, else the one a name gives.
        QCOMPARE(book.ratedMahOf("pack  \"b\", spare"), 2000.0);
        QCOMPARE(book.ratedMahOf("Other 1300mAh"), 1300.0);
        book.renamePack("spare", "pack a 2200mAh");
        QCOMPARE(packRows(book).size(), 2);
        QVERIFY(packRows(book)[0].startsWith("P0002,Pack A 2200mAh,11,"));
        // Versions 2 and 3 kept fewer figures of a run: their index too is read again.
        for (const auto &[column, version] : { std::pair("r_seconds", 2), { "cv_share", 3 } }) {
            runSql(path,
                   { QString("alter table runs drop column ") + column,
                     QString("pragma user_version = %1").arg(version) });
            Book again(path);
            index(again, { runs() });
            QCOMPARE(packRows(again).size(), 2);
            QCOMPARE(again.limits().capacityShare, 0.7);
            QCOMPARE(again.limits().resistanceMohm, 50.0);
            QVERIFY(!again.limits().spreadVolts);
        }
        // A pack told stored full before other warnings were told is not told so again, until
        // it went and came back.
        runSql(path,
               { "create table told (pack_key text primary key, run_end integer)",
                 "insert into told values ('P0002', 1)" });
        Book again(path);
        PackFigures full;
        full.id = "P0002";
        full.warnings = { { PackFigures::Warning::Kind::StoredFull, "", "1" } };
        QVERIFY(again.claimWarnings(full).empty());
        // A warning gone is told again when it comes back.
        PackFigures gone = full;
        gone.warnings.clear();
        again.claimWarnings(gone);
        QCOMPARE(again.claimWarnings(full).size(), 1u);
    }

    // Charges of 3 cells at 2 A, 3.60 to 4.20 V a cell 0.01 V each 10 s, held 300 s at 3.80 V,
    // then `cv` seconds at 1 A: the first (1000 s) spends 999 A·s of 2 × 900 + 1.5 + 999 at
    // constant voltage; its dQ/dV peaks in the bin of 3.80 V, 165 samples of 2/3.6 mAh smoothed
    // (20 + 2 × 310 + 20) / 4, per 0.02 V. The pack's share rises when the last three charges are
    // all above the first three, by 5 points on average.
    void chargeCurve_data()
    {
        QTest::addColumn<QList<int>>("cv");
        QTest::addColumn<QString>("rise");
        QTest::newRow("rising") << QList<int> { 1000, 1000, 1000, 2000, 2000, 2000 }
                                << "constant-voltage share up from 35 % to 52 %";
        QTest::newRow("mixed") << QList<int> { 1000, 2000, 1000, 2000, 1000, 2000 } << "";
        QTest::newRow("a little") << QList<int> { 1000, 1000, 1000, 1100, 1100, 1100 } << "";
    }
    void chargeCurve()
    {
        QFETCH(QList<int>, cv);
        QTemporaryDir folder;
        for (int i = 0; i < cv.size(); ++i) {
            QList<Span> spans;
            int t = i; // alike charges are runs of their own
            for (int step = 0; step <= 60; ++step, t += 10) {
                spans.append({ t, t + 9, (360 + step) * 0.03, 2, Cells });
                if (step == 20) {
                    spans.append({ t + 10, t + 309, 11.4, 2, Cells });
                    t += 300;
                }
            }
            spans.append({ t, t + cv[i] - 1, 12.6, 1, Cells });
            put(folder.filePath(QString("c%1.mdb").arg(i)), "Pack C", spans, day(1, i + 1));
        }
        Book book(":memory:");
        index(book, { folder.path() });
        const auto found = book.runs();
        const auto packs = book.packs(found, Now);
        const QStringList rows
            = BookTable::text(BookTable::runColumns(), BookTable::runRows(packs), true)
                  .split("\r\n");
        QCOMPARE(rows[1].section(',', -4),
                 QString::number(999 / 2818.5 * 100, 'f', 1) + ",999,3.810,"
                     + QString::number(170 * 2 / 3.6 / 0.02, 'f', 0));
        QTEST(packs[0].cvShare.note(), "rise");
    }

    // Two programs on one book tell of packs that need care once, all of a pass in one notice
    // and one status line, every hour's pass notwithstanding, until a new run of a pack left
    // full starts another episode. Pack 3S, fresh from a charge, has a weak cell and its cells
    // further apart than the user's limit.
    void warningsToldOnce()
    {
        QTemporaryDir folder;
        const QList<Span> full { { 0, 100, 12.66, 2.2, "4.22 4.22 4.22" } };
        put(folder.filePath("c1.mdb"), "Pack S", full, Now.addDays(-10));
        put(folder.filePath("t1.mdb"), "Pack T", full, Now.addDays(-10));
        put3S(folder.path(), WeakEnds, Now);
        Book(dir.filePath("told.db")).setLimits({ 0.8, std::nullopt, 0.02 });
        FakeClock clock(Now.addSecs(3600)); // whether a run ends at its file time or after
        Background background;
        PackWarningWatch one(dir.filePath("told.db"), folder.path(), background, clock),
            other(dir.filePath("told.db"), folder.path(), background, clock);
        QStringList told;
        int standing = 0;
        for (PackWarningWatch *w : { &one, &other })
            connect(w, &PackWarningWatch::told, this,
                    [&](const QStringList &packs, const QString &line, bool storedFull) {
                        told << packs.join(", ") + (storedFull ? " full: " : ": ") + line;
                    });
        connect(&one, &PackWarningWatch::standing, this, [&] { ++standing; });
        QTRY_COMPARE(clock.waiting(), 2u); // both passes done
        clock.advanceMs(PackWarningWatch::EveryMs);
        QTRY_COMPARE(clock.waiting(), 2u);
        // Another charge, not a copy of the first.
        put(folder.filePath("c2.mdb"), "Pack S", { { 0, 90, 12.66, 2.2, "4.22 4.22 4.22" } },
            Now.addDays(-4));
        clock.advanceMs(PackWarningWatch::EveryMs);
        QTRY_COMPARE(clock.waiting(), 2u);
        const QString stored = "stored full for %1 days";
        QCOMPARE(told,
                 QStringList({ "Pack 3S, Pack S, Pack T: 3 packs need care: Pack 3S: cell 3 weak, "
                               "cells 0.030 V apart (limit 0.020 V); Pack S: "
                                   + stored.arg(10) + "; Pack T: " + stored.arg(10),
                               "Pack S full: Pack S: " + stored.arg(4) }));
        QCOMPARE(standing, 2);
    }

    // A tagged run is its pack's however the rest is typed; the book writes the tag into the
    // untagged runs' files, leaving their time; merging IDs joins their runs; runs left out
    // and dates corrected are the book's.
    void packIdentity()
    {
        QTemporaryDir folder;
        const auto at = [&](const char *name) { return folder.filePath(name); };
        put(at("a1.mdb"), "Pack A", { { 0, 10, 12, -1 } }, day(1, 1));
        put(at("a2.mdb"), " pack  a", { { 0, 10, 12, -1 } }, day(1, 2));
        put(at("c.mdb"), "Pack C", { { 0, 10, 12, -1 } }, day(1, 3));
        Book book(":memory:");
        index(book, { folder.path() });
        const auto packs = [&] {
            QStringList out;
            for (const auto &row : packRows(book))
                out << row.section(',', 0, 2);
            return out.join('|');
        };
        QCOMPARE(packs(), "P0001,Pack A,2|P0002,Pack C,1");
        put(at("a3.mdb"), "PAKC A storage #p0001", { { 0, 10, 12, -1 } }, day(1, 4));
        index(book, { folder.path() });
        auto found = book.runs();
        QCOMPARE(book.tagRuns(book.packs(found, Now)[0]), QStringList());
        QCOMPARE(counts(index(book, { folder.path() })), "0 0 0");
        RunFile::Reader reader;
        QVERIFY(reader.open(at("a2.mdb")));
        QCOMPARE(*reader.title(), "pack  a #P0001");
        QCOMPARE(QFileInfo(at("a2.mdb")).lastModified(), day(1, 2));
        book.renamePack("pack c", "PACK A");
        book.excludeRun(at("a3.mdb"), true);
        book.correctDate(at("c.mdb"), day(6, 1));
        QCOMPARE(packs(), "P0001,Pack A,3");
        const auto run = [&](const char *name) {
            found = book.runs();
            return *std::find_if(found.begin(), found.end(),
                                 [&](const RunFigures &f) { return f.path == at(name); });
        };
        QCOMPARE(run("a2.mdb").title, "pack  a #P0001");
        QCOMPARE(run("a3.mdb").skipped, "You left it out of its pack's figures.");
        QCOMPARE(run("c.mdb").date, day(6, 1));
        QCOMPARE(book.packDetails().size(), 1u);
    }

    // Two programs on one book, the window and the logger, never hand out the same ID.
    void idsAcrossPrograms()
    {
        Book one(dir.filePath("ids.db")), other(dir.filePath("ids.db"));
        PackDetails a, b;
        a.name = "A";
        b.name = "B";
        QCOMPARE(one.setDetails(a), "P0001");
        QCOMPARE(other.setDetails(b), "P0002");
    }

    // The weak cell 3, and a drifting cell 2 that comes back in line after a balance charge.
    void weakCell_data()
    {
        QTest::addColumn<QStringList>("ends");
        QTest::addColumn<QString>("named");
        QTest::newRow("weak") << WeakEnds
                              << "cell 3 weak: lowest at the end of discharge in 1 of 3 runs, "
                                 "highest at the change to constant voltage in 1 of 3 runs, "
                                 "drifted out again one cycle after balancing";
        QTest::newRow("drift") << QStringList {
            "3.40 3.30 3.40", "4.20 4.20 4.20", "3.40 3.40 3.40", "3.40 3.37 3.40", "3.40 3.36 3.40"
        } << "";
    }
    void weakCell()
    {
        QFETCH(QStringList, ends);
        QTemporaryDir folder;
        put3S(folder.path(), ends, day(1, int(ends.size())));
        Book book(":memory:");
        index(book, { folder.path() });
        const auto found = book.runs();
        QTEST(book.packs(found, Now)[0].weakCell, "named");
    }

    // A file another program is writing keeps its description, and says why.
    void retitleBusy()
    {
        const QString path = dir.filePath("busy.mdb");
        put(path, "Pack", { { 0, 10, 12, 1 } });
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "writer");
        db.setDatabaseName(path);
        QVERIFY(db.open() && QSqlQuery(db).exec("begin exclusive"));
        QCOMPARE(RunFile::retitle(path, "Pack #P0001"), "Another program is writing the file.");
        db.close();
        db = {};
        QSqlDatabase::removeDatabase("writer");
        RunFile::Reader reader;
        QVERIFY(reader.open(path));
        QCOMPARE(*reader.title(), "Pack");
    }

    void defaultDate_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("date");
        const char *const rows[][3] = {
            { "ISO", "NiMH/-DCHG-  S3  @CH2  2026-05-01  10:00:01\r\n", "2026-05-01T10:00:01" },
            { "two digits", "NiMH/-DCHG-  S3  @CH2  5/1/26  23:59:59\r\n", "2026-05-01T23:59:59" },
            { "no cells", "NiMH/-DCHG-    @CH2  2026-05-01  10:00:01", "2026-05-01T10:00:01" },
            { "user's", "Pack 2026-05-01  10:00:01", "" },
        };
        for (const auto &[tag, title, date] : rows)
            QTest::newRow(tag) << QString(title) << QString(date);
    }
    void defaultDate()
    {
        QFETCH(QString, title);
        QTEST(defaultTitleDate(title).toString(Qt::ISODate), "date");
    }

    // A scanned tag replaces the one a description has, or goes where it keeps the date readable.
    void packTag_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("tagged");
        QTest::newRow("added") << " Pack A "
                               << "Pack A #P0007";
        QTest::newRow("replaced") << "#p0001x #p0001 Pack"
                                  << "#p0001x #P0007 Pack";
        QTest::newRow("program's") << "NiMH/-DCHG-  S3  @CH2  2026-05-01  10:00:01\r\n"
                                   << "#P0007 NiMH/-DCHG-  S3  @CH2  2026-05-01  10:00:01\r\n";
    }
    void packTag()
    {
        QFETCH(QString, title);
        QFETCH(QString, tagged);
        QCOMPARE(withPackTag(title, "P0007"), tagged);
        QCOMPARE(packTagIn(tagged), "P0007");
        QCOMPARE(defaultTitleDate(tagged), defaultTitleDate(title));
    }

    // The tool prints what the book holds; a folder it cannot read or an unknown option fails in
    // one line that names the tool.
    void tool()
    {
        QProcess p;
        p.start(BOOK_TOOL, { "--csv", "--no-cache", runs() });
        QVERIFY(p.waitForFinished());
        QCOMPARE(p.exitCode(), 0);
        const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split("\r\n");
        QCOMPARE(lines[0],
                 "pack_id,pack,runs,cycles,first,last,capacity_mah,fade_pct,capacity_pct,"
                 "dcir_mohm,dcir_method,dcir_plan,spread_v,weak_cell,warning,eol_cycles,eol_low,"
                 "eol_high,eol_date,eol_note,r_eol_cycles,r_eol_low,r_eol_high,r_eol_date,"
                 "r_eol_note,cv_share_trend_pct");
        QCOMPARE(lines.size(), 6); // the header, four packs, the end of the last line
        QVERIFY(lines[3].startsWith(",Pack A 2200mAh,8,4.07,"));
        for (const QStringList &wrong :
             { QStringList { "--runs", dir.filePath("none") }, QStringList { "--rows" } }) {
            p.start(BOOK_TOOL, wrong);
            QVERIFY(p.waitForFinished() && p.exitCode() == 1);
            const QByteArray error = p.readAllStandardError();
            QVERIFY2(error.startsWith("chargemon-book: ") && error.count('\n') == 1, error);
        }
    }
};

QTEST_GUILESS_MAIN(TestBook)
#include "test_book.moc"
