// Runs survive the program: journals of live windows, recovery at start, and no idle sleep
// while recording. The kill test runs this executable as a recording child ("--record").

#include "document/run_journal.h"
#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/port_list.h"
#include "platform/qt_serial_port.h"
#include "platform/sample_table.h"
#include "platform/sleep_inhibitor.h"
#include "support/window_rig.h"

#include <QApplication>
#include <QProcess>
#include <QtTest>

#include <cstdio>

namespace {
struct RecordingSleepInhibitor final : SleepInhibitor {
    QStringList calls;
    bool refuse = false;
    void take() override
    {
        calls << QStringLiteral("take");
        if (refuse)
            emit refused(QStringLiteral("no service"));
    }
    void release() override { calls << QStringLiteral("release"); }
};

QStringList files(const QString &folder, const QString &pattern = QStringLiteral("*"))
{
    return QDir(folder).entryList({ pattern }, QDir::Files);
}

// The windows' rows as "CH1 Chart 1<TAB>22 cells", keyed by the caption's first three words
// so that a live window and its recovered copy match.
QStringList rowsOf(const tee &doc, qint64 from = 1)
{
    QStringList rows;
    for (qint64 r = from; r < doc.table().rows(); ++r) {
        QStringList cells { doc.caption().section(QLatin1Char(' '), 0, 2) };
        for (int f = 0; f < FieldCount; ++f)
            cells << doc.table().cell(r, f);
        rows << cells.join(QLatin1Char('\t'));
    }
    return rows;
}

// Keeps the journals in a folder of its own unless told another.
struct Parts {
    QTemporaryDir journals;
    RecordingSleepInhibitor inhibitor;
};
struct Rig : Parts, WindowRig {
    explicit Rig(const QString &folder = {})
        : WindowRig(InterfaceTextStore::builtInPath(), {}, &inhibitor,
                    folder.isEmpty() ? journals.path() : folder)
    {
    }
};

// The program as it records, on the real serial stack, printing each row as it appears.
int recordUntilKilled(int argc, char **argv)
{
    QApplication app(argc, argv);
    SystemClock clock;
    SystemPortList ports;
    QtSerialPort port(ports);
    ScriptedDialogs dialogs;
    QTemporaryDir programFolder;
    InterfaceTextStore store(InterfaceTextStore::builtInPath(), programFolder.path());
    Settings settings(programFolder.filePath(QStringLiteral("settings.ini")));
    MDIForm1 window(
        { clock, port, ports, dialogs, store, settings, nullptr, QString::fromLocal8Bit(argv[2]) });
    window.load();
    QHash<const tee *, qint64> printed;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QMdiSubWindow *w : window.mdiArea().subWindowList()) {
            const auto *doc = qobject_cast<tee *>(w);
            for (const QString &row : rowsOf(*doc, printed.value(doc, 1)))
                std::printf("%s\n", qPrintable(row));
            printed[doc] = doc->table().rows();
        }
        std::fflush(stdout);
    });
    poll.start(50);
    return QApplication::exec();
}
} // namespace

class TestRecovery : public QObject {
    Q_OBJECT

    // A journal as a crash leaves it: the files of one still being written, copied aside.
    static void leaveJournal(const QString &folder, const QString &caption, int rows)
    {
        QTemporaryDir live;
        QString error;
        auto journal = RunJournal::start(live.path(), caption, error);
        QVERIFY2(journal, qPrintable(error));
        for (int r = 0; r < rows; ++r) {
            ChannelReading cell = reading(r);
            cell[Time] = QStringLiteral("00:00:%1").arg(r + 10);
            QCOMPARE(journal->append([&](int f) { return cell[f].text(); }, "pack"), QString());
        }
        for (const QString &file : files(live.path()))
            QVERIFY(QFile::copy(QDir(live.path()).filePath(file),
                                QDir(folder).filePath(caption.left(3) + file)));
    }

private slots:
    void killedRecordingIsRecovered()
    {
        QProcess sim;
        sim.start(QCoreApplication::applicationDirPath() + "/../tools/charger-sim/charger-sim",
                  { "--kind", "112", "--speed", "4", "--count", "2000" });
        QVERIFY(sim.waitForReadyRead(10000));
        const QString line = QString::fromUtf8(sim.readLine()).trimmed();
        if (!line.startsWith(QLatin1String("/dev/")))
            QSKIP("no pseudo-terminals here");

        QTemporaryDir journals;
        QProcess child;
        qputenv("CHARGEMON_PORTS", line.toLocal8Bit()); // the child's only port
        child.start(QCoreApplication::applicationFilePath(), { "--record", journals.path() });
        QVERIFY(child.waitForStarted());
        QElapsedTimer clock;
        clock.start();
        QList<std::pair<qint64, QString>> printed; // arrival time, row
        while (printed.size() < 12 && clock.elapsed() < 60000) {
            child.waitForReadyRead(100);
            while (child.canReadLine())
                printed.append({ clock.elapsed(), QString::fromUtf8(child.readLine()).trimmed() });
        }
        QVERIFY(printed.size() >= 12);
        child.kill(); // SIGKILL: nothing of the program runs after this
        const qint64 killedAt = clock.elapsed();
        child.waitForFinished();
        sim.kill();
        sim.waitForFinished();

        Rig rig(journals.path());
        rig.dialogs.messageAnswers = { Dialogs::Answer::Yes };
        rig.window.recoverRuns();
        QStringList recovered;
        for (tee *doc : rig.documents()) {
            QVERIFY(doc->caption().endsWith(QLatin1String(" (recovered)")));
            recovered += rowsOf(*doc);
        }
        for (const auto &[at, row] : printed)
            if (at < killedAt - 1000)
                QVERIFY2(recovered.contains(row), qPrintable(row));
    }

    void recoveryAtStart_data()
    {
        QTest::addColumn<int>("journals");
        QTest::addColumn<QString>("other"); // "damaged" or "held" by a running program
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::addColumn<QString>("question");
        const QString two
            = "2 runs were still being recorded when chargemon last stopped. Open them?";
        QTest::newRow("yes opens") << 2 << "" << Dialogs::Answer::Yes << two;
        QTest::newRow("no deletes") << 2 << "" << Dialogs::Answer::No << two;
        QTest::newRow("unanswered keeps") << 2 << "" << Dialogs::Answer::Cancel << two;
        QTest::newRow("damaged skipped")
            << 1 << "damaged" << Dialogs::Answer::Yes
            << "1 run was still being recorded when chargemon last stopped. Open it?";
        QTest::newRow("held") << 0 << "held" << Dialogs::Answer::Yes << QString();
    }
    void recoveryAtStart()
    {
        QFETCH(int, journals);
        QFETCH(QString, other);
        QFETCH(Dialogs::Answer, answer);
        QFETCH(QString, question);
        Rig rig;
        const QString folder = rig.window.journalFolder();
        for (int j = 0; j < journals; ++j)
            leaveJournal(folder, QStringLiteral("CH%1 Chart %1").arg(j + 1), 3 + j);
        QFile junk(QDir(folder).filePath(QStringLiteral("junk.journal")));
        if (other == "damaged")
            QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write(QByteArray(3000, 'x'))
                    && junk.flush());
        QString error;
        const auto running
            = other == "held" ? RunJournal::start(folder, "CH1 Chart 9", error) : nullptr;
        QStringList keep = files(folder).filter(other == "held" ? "" : "junk");
        if (answer == Dialogs::Answer::Cancel) // the journals, not SQLite's side files
            keep = files(folder, QStringLiteral("*.journal"));

        rig.dialogs.messageAnswers = { answer };
        rig.window.recoverRuns();
        QCOMPARE(rig.dialogs.asked.value(0).text, question);
        QCOMPARE(rig.dialogs.asked.size(), question.isEmpty() ? 0 : 1);
        const QList<tee *> docs = rig.documents();
        QCOMPARE(docs.size(), answer == Dialogs::Answer::Yes ? journals : 0);
        for (tee *doc : docs) {
            const int n = doc->caption().mid(2, 1).toInt();
            QCOMPARE(doc->caption(), QStringLiteral("CH%1 Chart %1 (recovered)").arg(n));
            QCOMPARE(doc->documentTitle(), QStringLiteral("pack"));
            QCOMPARE(doc->RtnGridRows(), 3 + n);
        }
        QCOMPARE(rig.status().filter("Unreadable").size(), other == "damaged" ? 1 : 0);
        // A recovered journal goes with its window; what was not ours stays.
        rig.window.mdiArea().closeAllSubWindows();
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(files(folder), keep);
    }

    void journalLivesWithItsWindow_data()
    {
        QTest::addColumn<bool>("exit");
        QTest::newRow("window closed after the run") << false;
        QTest::newRow("program ends while recording") << true;
    }
    void journalLivesWithItsWindow()
    {
        QFETCH(bool, exit);
        auto rig = std::make_unique<Rig>();
        const QString folder = rig->window.journalFolder();
        for (int c = 1; c <= 3; ++c)
            rig->feed(1, c);
        QCOMPARE(files(folder, "*.journal").size(), 1);
        if (exit) {
            rig->window.close();
        } else {
            rig->window.live().EndLiveDoc(1);
            rig->documents().first()->close();
            // Closing was asked; the window goes, and its journal with it, a moment later.
            QCOMPARE(files(folder, "*.journal").size(), 1);
        }
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        rig.reset();
        QCOMPARE(files(folder), QStringList());
    }

    void journalThatCannotBeWritten()
    {
        Rig rig(QStringLiteral("/dev/null/journal")); // a folder that cannot be
        for (int c = 1; c <= 4; ++c)
            rig.feed(1, c);
        QCOMPARE(rig.documents().first()->RtnGridRows(), 4);
        QCOMPARE(rig.status().filter(QStringLiteral("cannot be kept safe")).size(), 1);
    }

    void noIdleSleepWhileLive_data()
    {
        QTest::addColumn<QString>("events"); // +n: channel n live, -n: it ends, x: exit, !: refused
        QTest::addColumn<QStringList>("calls");
        const QStringList once { "take", "release" };
        QTest::newRow("overlapping runs") << "+1 +2 -1 -2" << once;
        QTest::newRow("exit while live") << "+1 +2 x" << once;
        QTest::newRow("two runs") << "+1 -1 +2 -2" << (once + once);
        QTest::newRow("no service") << "! +1 -1 +1" << QStringList { "take", "release", "take" };
    }
    void noIdleSleepWhileLive()
    {
        QFETCH(QString, events);
        QFETCH(QStringList, calls);
        Rig rig;
        qint64 capacity = 0;
        for (const QString &e : events.split(' ')) {
            if (e == "!")
                rig.inhibitor.refuse = true;
            else if (e == "x")
                rig.window.close();
            else if (e.startsWith('+'))
                rig.feed(e.mid(1).toInt(), ++capacity);
            else
                rig.window.live().EndLiveDoc(e.mid(1).toInt());
        }
        QCOMPARE(rig.inhibitor.calls, calls);
        QCOMPARE(rig.status().filter("No power manager").size(), rig.inhibitor.refuse ? 1 : 0);
    }
};

int main(int argc, char **argv)
{
    if (argc == 3 && qstrcmp(argv[1], "--record") == 0)
        return recordUntilKilled(argc, argv);
    QApplication app(argc, argv);
    TestRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recovery.moc"
