// Saving and opening a day-long run (86,400 rows) against bare SQLite work on the same rows,
// how long a save keeps the GUI thread from its events, and the time and memory of opening a
// run of a million rows.
// Run by hand: build/bench/bench_run_file
#include "document/run_saver.h"
#include "document/tee.h"
#include "platform/command_bar.h"
#include "platform/core/settings.h"
#include "platform/scripted/scripted_serial_port.h"
#include "run/run.h"
#include "run/run_file.h"
#include "setup/config.h"
#include "shell/mdi_form.h"
#include "support/fake_clock.h"
#include "support/fake_document_host.h"
#include "support/scripted_dialogs.h"
#include "support/scripted_port_list.h"
#include "thread_cpu.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QProgressDialog>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace {

constexpr int Rows = 86'400;

QString cellText(qint64 r, int f)
{
    switch (f) {
    case Field::Time:
        return QStringLiteral("%1:%2:%3")
            .arg(r / 3600 % 24, 2, 10, QLatin1Char('0'))
            .arg(r / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(r % 60, 2, 10, QLatin1Char('0'));
    case Field::Type:
        return QStringLiteral("LiIo/Po/Fe");
    case Field::Chg:
        return QStringLiteral("+CHG+");
    case Field::Ext_temp:
    case Field::In_temp:
        return QString::number(25 + r % 10);
    case Field::Cap:
        return QString::number(r / 2);
    default:
        return QStringLiteral("%1.%2").arg(3 + r % 2).arg(r % 100, 2, 10, QLatin1Char('0'));
    }
}

double bareInsert(const QString &path)
{
    QElapsedTimer t;
    t.start();
    {
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bare"));
        db.setDatabaseName(path);
        db.open();
        QSqlQuery q(db);
        QStringList cols, marks;
        for (int f = 0; f < FieldCount; ++f) {
            cols << QString::fromLatin1(FieldNames[f]);
            marks << QStringLiteral("?");
        }
        q.exec(QStringLiteral("CREATE TABLE CHGLOG (%1)").arg(cols.join(u',')));
        db.transaction();
        q.prepare(QStringLiteral("INSERT INTO CHGLOG VALUES (%1)").arg(marks.join(u',')));
        for (qint64 r = 0; r < Rows; ++r) {
            for (int f = 0; f < FieldCount; ++f)
                q.bindValue(f, cellText(r, f));
            q.exec();
        }
        db.commit();
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("bare"));
    return t.nsecsElapsed() / 1e6;
}

// The fastest honest reading of the same rows: SQLite's own loop over the same query, every
// column of every row read as SQLite holds it. Thread CPU time in ms.
double bareRead(const QString &path)
{
    const qint64 start = threadCpuNs();
    sqlite3 *db = nullptr;
    sqlite3_stmt *q = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                    SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_prepare_v2(db, " select * from chglog", -1, &q, nullptr);
    double sum = 0;
    while (sqlite3_step(q) == SQLITE_ROW)
        for (int f = 0; f < FieldCount; ++f)
            sum += sqlite3_column_type(q, f) == SQLITE_TEXT
                ? double(sqlite3_column_bytes(q, f) + *sqlite3_column_text(q, f))
                : sqlite3_column_double(q, f);
    sqlite3_finalize(q);
    sqlite3_close(db);
    std::printf("(sum %.0f) ", sum);
    return (threadCpuNs() - start) / 1e6;
}

// The same rows through the run-file reader, as an open reads them. Thread CPU time in ms.
double readerRead(const QString &path)
{
    const qint64 start = threadCpuNs();
    RunFile::Reader reader;
    qint64 rows = 0;
    if (reader.open(path) && reader.title())
        for (ChannelReading row; reader.next(row);)
            ++rows;
    if (!reader.error().isEmpty() || rows != Rows) {
        std::fprintf(stderr, "read failed: %s\n", qPrintable(reader.error()));
        std::exit(1);
    }
    return (threadCpuNs() - start) / 1e6;
}

// Opens `path` through the Open command and runs the event loop until the chart is drawn.
// Returns the milliseconds taken; with `sawProgress`, whether the progress dialog showed.
double openAndWait(MDIForm1 &window, ScriptedDialogs &dialogs, const QString &path,
                   bool *sawProgress = nullptr)
{
    QEventLoop loop;
    const auto done
        = QObject::connect(&window, &MDIForm1::statusAdded, &loop, [&](const QString &line) {
              if (line.endsWith(QStringLiteral(" was open in chart .")))
                  loop.quit();
          });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &loop, [&] {
        if (sawProgress) {
            const auto *progress = window.findChild<QProgressDialog *>();
            *sawProgress = *sawProgress || (progress && progress->isVisible());
        }
        if (!dialogs.asked.isEmpty() && dialogs.asked.last().kind == QLatin1String("message")) {
            std::fprintf(stderr, "open failed: %s\n", qPrintable(dialogs.asked.last().text));
            std::exit(1);
        }
    });
    watch.start(20);
    dialogs.fileAnswers << path;
    QElapsedTimer t;
    t.start();
    emit window.Menu().toolClicked(
        window.Menu().tool(QStringLiteral("Tools"), QStringLiteral("Open")));
    loop.exec();
    QObject::disconnect(done);
    return t.nsecsElapsed() / 1e6;
}

// Resident and peak resident memory of this process in bytes.
std::pair<qint64, qint64> memory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    qint64 rss = 0, peak = 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() >= 2 && parts[0] == "VmRSS:")
            rss = parts[1].toLongLong() * 1024;
        if (parts.size() >= 2 && parts[0] == "VmHWM:")
            peak = parts[1].toLongLong() * 1024;
    }
    return { rss, peak };
}

void resetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

// Opens a run of a million rows, made at `large` unless it is there, and says how long it took
// until drawn and how much memory it keeps.
void openLarge(MDIForm1 &window, ScriptedDialogs &dialogs, const QString &large)
{
    constexpr qint64 Large = 1'000'000;
    if (!QFile::exists(large)) {
        if (!RunFile::write(large, QStringLiteral("large"), Large, cellText).isEmpty())
            std::exit(1);
        // Elapsed time beyond a day, so the chart appends every point: the times of day that
        // a longer run keeps wrap at midnight, and the chart inserts such points one by one.
        QSqlDatabase db
            = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("large"));
        db.setDatabaseName(large);
        db.open();
        QSqlQuery(db).exec(QStringLiteral("update CHGLOG set Time = rowid / 86400.0"));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("large"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // The main window drawn, as the user has it before opening: its buffers are none of the run's.
    QCoreApplication::processEvents();
    std::printf("bare sqlite3 loop over %lld rows: %.0f ms\n", static_cast<long long>(Large),
                bareRead(large));
    const auto [before, beforePeak] = memory();
    resetPeak();
    bool sawProgress = false;
    const double largeMs = openAndWait(window, dialogs, large, &sawProgress);
    const auto [after, peak] = memory();
    std::printf("open %lld rows: %.0f ms, progress shown: %s, memory per sample %.0f B "
                "(peak %.0f B)\n",
                static_cast<long long>(Large), largeMs, sawProgress ? "yes" : "no",
                double(after - before) / Large, double(peak - before) / Large);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString bare = dir.filePath(QStringLiteral("bare.mdb"));
    const QString ours = dir.filePath(QStringLiteral("ours.mdb"));
    FakeClock clock;
    ScriptedSerialPort port;
    ScriptedPortList ports;
    ScriptedDialogs dialogs;
    InterfaceTextStore store;
    Settings settings(dir.filePath(QStringLiteral("settings.ini")));
    MDIForm1 window({ clock, port, ports, dialogs, store, settings });
    window.resize(1600, 900);
    window.show();
    // With a path, only the million rows, kept there from one run of the bench to the next.
    if (argc > 1) {
        openLarge(window, dialogs, QString::fromLocal8Bit(argv[1]));
        return 0;
    }

    // A chart window holding the run, as the user saves it.
    FakeDocumentHost host;
    auto *doc = new tee(host);
    doc->RePaint(true);
    for (qint64 r = 0; r < Rows; ++r) {
        ChannelReading row;
        row[Field::Time] = DayTime { double(r + 1) / 86400 };
        for (int f = 1; f < FieldCount; ++f) {
            const QString text = cellText(r, f);
            row[f] = f <= Field::Chg ? Value(text) : Value(*Fixed::parse(text));
        }
        doc->Proc(row, true);
    }

    const double bareMs = bareInsert(bare);
    // The writing as a save did it on the GUI thread, which it held all the while.
    QElapsedTimer t;
    t.start();
    RunFile::write(dir.filePath(QStringLiteral("held.mdb")), QStringLiteral("held"), Rows,
                   [doc](qint64 row, int field) { return doc->run().samples().text(row, field); });
    const double heldMs = t.nsecsElapsed() / 1e6;
    // The save now, with a timer that notes the longest wait of the GUI thread's events.
    QEventLoop loop;
    QTimer tick;
    QElapsedTimer sinceTick;
    qint64 longestWaitNs = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestWaitNs = std::max(longestWaitNs, sinceTick.nsecsElapsed());
        sinceTick.start();
        if (!doc->findChild<RunFile::Saver *>())
            loop.quit();
    });
    host.scripted.fileAnswers << ours;
    t.start();
    sinceTick.start();
    doc->DBSave();
    tick.start(1);
    loop.exec();
    tick.stop();
    const double saveMs = t.nsecsElapsed() / 1e6;
    if (!host.messages.last().startsWith(QStringLiteral("Chart was save at"))) {
        std::fprintf(stderr, "save failed: %s\n", qPrintable(host.scripted.asked.last().text));
        return 1;
    }
    std::printf("save %d rows: %.0f ms, bare prepared insert %.0f ms, ratio %.2f\n", Rows, saveMs,
                bareMs, saveMs / bareMs);
    std::printf("GUI thread held during a save: at most %.1f ms (written on it: %.0f ms)\n",
                longestWaitNs / 1e6, heldMs);
    delete doc;

    // Alternated, so all see the same load of the machine; the best of five of each.
    double bareReadMs = 1e9, readerMs = 1e9, openMs = 1e9;
    for (int i = 0; i < 5; ++i) {
        bareReadMs = std::min(bareReadMs, bareRead(ours));
        readerMs = std::min(readerMs, readerRead(ours));
        openMs = std::min(openMs, openAndWait(window, dialogs, ours));
    }
    auto *opened = dynamic_cast<tee *>(window.findChild<QMdiArea *>()->activeSubWindow());
    std::printf("\nread %d rows: %.0f ms, bare sqlite3 loop %.0f ms, ratio %.2f\n", Rows, readerMs,
                bareReadMs, readerMs / bareReadMs);
    std::printf("open %lld rows until drawn: %.0f ms (wall clock), ratio to the bare loop %.2f\n",
                opened ? static_cast<long long>(opened->RtnGridRows() - 1) : -1LL, openMs,
                openMs / bareReadMs);
    qDeleteAll(window.findChild<QMdiArea *>()->subWindowList());

    openLarge(window, dialogs, dir.filePath(QStringLiteral("large.mdb")));
    return 0;
}
