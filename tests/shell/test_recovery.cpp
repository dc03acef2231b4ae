// Runs survive the program: journals of live windows, recovery at start, no idle sleep while
// recording, and the real program killed.

#include "platform/command_names.h"
#include "run/run.h"
#include "run/run_journal.h"
#include "support/files.h"
#include "support/sqlite_file.h"
#include "support/window_rig.h"

#include <QApplication>
#include <QtTest>

#include <list>
#include <sys/fsuid.h>
#include <unistd.h>

namespace {
QStringList files(const QString &folder, const QString &pattern = QStringLiteral("*"))
{
    return QDir(folder).entryList({ pattern }, QDir::Files);
}

// The journals in `from` as a crash or a power cut leaves them (their owner gone, so no locks;
// the file and its log), copied into `to` with `prefix` before their names.
void crashCopy(const QString &from, const QString &to, const QString &prefix = {})
{
    for (const QString &file : files(from, QStringLiteral("*.journal*")))
        if (file.endsWith(QLatin1String(".journal")) || file.endsWith(QLatin1String("-wal")))
            QVERIFY(QFile::copy(QDir(from).filePath(file), QDir(to).filePath(prefix + file)));
}

// A folder that this process cannot write while it lives, even as root (then files are
// reached as user nobody), and a folder `open` to anyone.
struct ReadOnly {
    QStringList folders;
    ReadOnly(const QString &folder, const QString &open) : folders { folder, open }
    {
        QFile::setPermissions(folder, QFileDevice::Permissions(0x5555));
        QFile::setPermissions(open, QFileDevice::Permissions(0x7777));
        if (geteuid() == 0)
            setfsuid(65534);
    }
    ~ReadOnly()
    {
        setfsuid(geteuid());
        for (const QString &f : folders)
            QFile::setPermissions(f, QFileDevice::Permissions(0x7700));
    }
};

// A window's rows, a line of texts each.
QStringList rowsOf(const tee &doc)
{
    QStringList rows;
    for (qint64 r = 0; r < doc.run().samples().count(); ++r)
        rows << texts(doc.run().samples().reading(r)).join(QLatin1Char(' '));
    return rows;
}

} // namespace

using Rig = WindowRig;

class TestRecovery : public QObject {
    Q_OBJECT

    // A journal as a crash leaves it, with `rows` samples and the title "pack".
    static void leaveJournal(const QString &folder, const QString &caption, int rows)
    {
        QTemporaryDir live;
        Background work;
        QString error;
        auto journal = RunJournal::start({ live.path(), &work }, caption, error);
        QVERIFY2(journal, qPrintable(error));
        QCOMPARE(journal->write("pack", 0, rows, rowText, 0), QString());
        crashCopy(live.path(), folder, caption.left(3));
    }

private slots:
    // Two journals left behind (CH1 with 3 samples, CH2 with 4) and `other` beside them:
    // "junk", "held" by a running program, "damaged" rows of CH1, a second program "asking"
    // at the same time, or a "read-only" folder. Then a second start asks again only if the
    // first question went unanswered.
    void recoveryAtStart_data()
    {
        QTest::addColumn<QString>("other");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QString>("said"); // on the status line, once for each journal it is about
        const auto yes = Dialogs::Answer::Yes, no = Dialogs::Answer::No;
        QTest::newRow("yes opens") << "" << yes << "";
        QTest::newRow("no deletes") << "" << no << "";
        QTest::newRow("unanswered keeps") << "" << Dialogs::Answer::Cancel << "";
        QTest::newRow("junk set aside") << "junk" << yes << "Unreadable";
        QTest::newRow("held") << "held" << yes << "";
        QTest::newRow("damaged rows")
            << "damaged" << yes << "samples recovered; the rest of its journal is damaged";
        QTest::newRow("another asking, yes") << "asking" << yes << "";
        QTest::newRow("another asking, no") << "asking" << no << "";
        const QString kept = "cannot be deleted and will not be offered again";
        QTest::newRow("read-only, yes") << "read-only" << yes << kept;
        QTest::newRow("read-only, no") << "read-only" << no << kept;
    }
    void recoveryAtStart()
    {
        QFETCH(QString, other);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QString, said);
        // the journals left behind stay when unanswered or undeletable
        const bool keep = answer == Dialogs::Answer::Cancel || other == "read-only";
        Rig rig;
        const QString folder = rig.journalFolder;
        const int rows1 = other == "damaged" ? 200 : 3;
        leaveJournal(folder, "CH1 Chart 1", rows1);
        leaveJournal(folder, "CH2 Chart 2", 4);
        if (other == "damaged") { // its last page, where the last rows are
            const QString path = QDir(folder).filePath(files(folder, "CH1*.journal").value(0));
            runSql(path, { "PRAGMA journal_mode = DELETE" });
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadWrite) && file.seek(file.size() - 4096)
                    && file.write(QByteArray(4096, '\xff')) == 4096);
        }
        if (other == "junk")
            writeFile(QDir(folder).filePath(QStringLiteral("junk.journal")), QByteArray(3000, 'x'));
        QString error;
        const auto running = other == "held"
            ? RunJournal::start({ folder, &rig.window.background() }, "CH1 Chart 9", error)
            : nullptr;
        const QStringList before = files(folder);
        const QStringList others = QStringList(before)
                                       .filter(QRegularExpression("^(?!CH)"))
                                       .replaceInStrings("junk.journal", "junk.journal.unreadable");
        std::optional<Rig> second; // another program started at the same time
        if (other == "asking") {
            second.emplace(folder);
            rig.dialogs.whileShown = [&] { second->window.recoverRuns(); };
        }
        std::optional<ReadOnly> readOnly;
        if (other == "read-only")
            readOnly.emplace(folder, rig.programFolder.path());

        rig.dialogs.messageAnswers = { answer };
        rig.window.recoverRuns();
        QCOMPARE(rig.dialogs.asked.value(0).text,
                 "2 runs were still being recorded when chargemon last stopped. Open them?");
        QCOMPARE(rig.dialogs.asked.size(), 1);
        if (second)
            QCOMPARE(second->dialogs.asked.size(), 0);
        const QList<tee *> docs = rig.documents();
        QCOMPARE(docs.size(), answer == Dialogs::Answer::Yes ? 2 : 0);
        for (tee *doc : docs) {
            const int n = doc->caption().mid(2, 1).toInt();
            const qint64 rows = doc->RtnGridRows() - 1, whole = n == 1 ? rows1 : 4;
            QCOMPARE(doc->caption(), QStringLiteral("CH%1 Chart %1 (recovered)").arg(n));
            QVERIFY2(rows == whole || (other == "damaged" && n == 1 && rows > 0 && rows < whole),
                     qPrintable(QString::number(rows)));
        }
        // Runs from a read-only folder get journals of their own once it can be written.
        if (other == "read-only") {
            readOnly.reset();
            rig.clock.advanceSeconds(10);
            for (tee *doc : docs)
                QVERIFY(doc->run().journal());
        }
        // A recovered journal goes with its window; what was not ours stays, said of once.
        rig.area().closeAllSubWindows();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rig.window.recoverRuns();
        QCOMPARE(rig.dialogs.asked.size(), answer == Dialogs::Answer::Cancel ? 2 : 1);
        if (!said.isEmpty())
            QCOMPARE(rig.status().filter(said).size(), other == "read-only" ? 2 : 1);
        readOnly.reset();
        QCOMPARE(files(folder), keep ? before : others);
    }

    // A folder that cannot be written for a while: said once, then caught up. A power cut
    // loses at most the last two seconds (a sync is done at least every two), and nothing once
    // the run has ended: its rows and a description typed after the end, and again in the
    // recovered window.
    void journalCatchesUp()
    {
        QTemporaryDir place;
        QFile blocker(place.filePath("blocked")); // a file where the folder goes
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        const QString folder = place.filePath("blocked/journal");
        std::list<Rig> rigs;
        Rig &live = rigs.emplace_back(folder);
        QList<int> syncs;
        for (int c = 1; c <= 15; ++c) {
            if (c == 4)
                QVERIFY(blocker.remove());
            live.feed(1, c);
            live.window.background().finish();
            const RunJournal *journal = live.window.liveRuns().run(1)->journal();
            syncs << (journal ? journal->syncs() : 0);
            if (c >= 12) // written again from the 12th, 10 s after it failed
                QVERIFY2(syncs[c - 1] > syncs[c - 3], qPrintable(QString::number(c)));
        }
        const QString failed = "CH1 cannot be kept safe against a crash: its recovery journal "
                               "cannot be written (cannot make the folder %1). Save it when it "
                               "ends.";
        QCOMPARE(live.status()
                     .filter("against a crash")
                     .replaceInStrings(QRegularExpression("^\\S+  "), ""),
                 QStringList({ failed.arg(folder), "CH1 is kept safe against a crash again." }));
        const RunJournal *journal = live.window.liveRuns().run(1)->journal();
        live.window.liveRuns().EndLiveDoc(1);
        QCOMPARE(journal->syncs(), syncs.last() + 1);
        for (const QString title : { "after the end", "once recovered" }) {
            Rig &rig = rigs.back();
            rig.dialogs.inputAnswers = { title };
            rig.documents().first()->CommandHandler(rig.tool(Band::Tools, ToolName::Title));
            Rig &next = rigs.emplace_back();
            crashCopy(rig.journalFolder, next.journalFolder);
            next.dialogs.messageAnswers = { Dialogs::Answer::Yes };
            next.window.recoverRuns();
            QCOMPARE(next.documents().value(0)->run().title(), title);
            QCOMPARE(rowsOf(*next.documents()[0]), rowsOf(*live.documents()[0]));
        }
    }

    void noIdleSleepWhileLive_data()
    {
        // +n: channel n live, -n: it ends, c: its window closed, x: exit, !: refused
        QTest::addColumn<QString>("events");
        QTest::addColumn<QStringList>("calls");
        const QStringList once { "take", "release" };
        QTest::newRow("overlapping runs") << "+1 +2 -1 -2" << once;
        QTest::newRow("exit while live") << "+1 +2 x" << once;
        QTest::newRow("two runs") << "+1 -1 c +2 -2" << (once + once);
        QTest::newRow("no service") << "! +1 -1 +1" << QStringList { "take", "release", "take" };
    }
    void noIdleSleepWhileLive()
    {
        QFETCH(QString, events);
        QFETCH(QStringList, calls);
        Rig rig;
        qint64 capacity = 0;
        for (const QString &e : events.split(' ')) {
            if (e == "!") {
                rig.inhibitor.refuse = true;
            } else if (e == "x") {
                rig.window.close();
            } else if (e == "c") { // the run's window, and its journal with it
                rig.documents().first()->close();
                QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                QCOMPARE(files(rig.journalFolder), QStringList());
            } else if (e.startsWith('+')) { // twice: the second reading starts the journal
                rig.feed(e.mid(1).toInt(), ++capacity);
                rig.feed(e.mid(1).toInt(), ++capacity);
            } else {
                rig.window.liveRuns().EndLiveDoc(e.mid(1).toInt());
            }
        }
        QCOMPARE(rig.inhibitor.calls, calls);
        QCOMPARE(rig.status().filter("No power manager").size(), rig.inhibitor.refuse ? 1 : 0);
        rig.window.close(); // the journals go with the program too, runs ended or not
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(files(rig.journalFolder), QStringList());
    }

    // The real program on a pseudo-terminal the simulator writes to: chargemon finds it through
    // CHARGEMON_PORTS and records runs; its status line, copied to standard error, tells what
    // it did. Killed, it leaves its runs to the next start, in journals whose locks died with it.
    void findsTheChargerAndRecordsRuns()
    {
        const QString build = QCoreApplication::applicationDirPath() + "/..";
        QProcess sim;
        // Two frames a second; at frame 12 both capacities start again from zero: new runs.
        sim.start(build + "/tools/charger-sim/charger-sim",
                  { "--kind", "112", "--speed", "2", "--reset-at", "12", "--count", "40" });
        QVERIFY(sim.waitForReadyRead(10000));
        const QString line = QString::fromUtf8(sim.readLine()).trimmed();
        if (!line.startsWith(QLatin1String("/dev/")))
            QSKIP("no pseudo-terminals here");

        QTemporaryDir home;
        QProcess monitor;
        qputenv("CHARGEMON_PORTS", line.toLocal8Bit());
        qputenv("CHARGEMON_STATUS_TO_STDERR", "1");
        qputenv("QT_QPA_PLATFORM", "offscreen");
        for (const char *folder : { "HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME" })
            qputenv(folder, home.path().toLocal8Bit());
        monitor.start(build + "/chargemon");
        QVERIFY(monitor.waitForStarted());

        QString status;
        QElapsedTimer waited;
        waited.start();
        for (const char *text :
             { "Serial port 1 was connected.",
               "Communication connected.Now receive data from charger.",
               "CH1 Completed. You can save it now.", "CH2 Completed. You can save it now." }) {
            while (!status.contains(QLatin1String(text)) && waited.elapsed() < 60000) {
                monitor.waitForReadyRead(200);
                status += QString::fromUtf8(monitor.readAllStandardError());
            }
            QVERIFY2(status.contains(QLatin1String(text)), qPrintable(status));
        }
        monitor.kill(); // SIGKILL: nothing of the program runs after this
        monitor.waitForFinished();
        WindowRig rig(home.filePath("chargemon/journal"));
        rig.dialogs.messageAnswers = { Dialogs::Answer::Yes };
        rig.window.recoverRuns();
        QStringList recovered; // the two ended runs at least, with their rows
        for (tee *doc : rig.documents())
            if (doc->RtnGridRows() > 1)
                recovered << doc->caption();
        QVERIFY2(recovered.contains("CH1 Chart 1 (recovered)")
                     && recovered.contains("CH2 Chart 2 (recovered)"),
                 qPrintable(recovered.join(", ")));
    } // the simulator's QProcess kills it as it goes
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
