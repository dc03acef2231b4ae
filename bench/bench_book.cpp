// The battery book over 1,000 run files of 3,600 rows (an hour each, half of them discharges, half
// charges at constant current then constant voltage): a cold index against a bare
// SQLite read of the same rows, a warm start with nothing changed, the book's memory, and how
// late the GUI thread's timers run while the index runs on its own thread.
// Run by hand: build/bench/bench_book [files]
#include "book/book.h"
#include "book/book_indexer.h"
#include "platform/core/background.h"
#include "run/run_file.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cmath>
#include <cstdio>
#include <sqlite3.h>

namespace {
constexpr int Rows = 3600;
constexpr int Packs = 10;

// An hour's discharge at 2 A with a step from 0.4 A after 10 s, as a charger records it; or a
// charge at 2 A up to 12.6 V, then tapering at that voltage.
constexpr int CvFrom = 2400;
QString cellText(qint64 r, int f, bool charge)
{
    const double amps = charge ? (r < CvFrom ? 2.0 : 2.0 * std::exp(-(r - CvFrom) / 600.0))
        : r <= 10              ? -0.4
                               : -2.0;
    const double volts
        = charge ? std::min(12.6, 11.4 + r * 0.0005) : 12.4 - r * 0.0005 + amps * 0.03;
    switch (f) {
    case Field::Time:
        return QStringLiteral("%1:%2:%3")
            .arg(10 + r / 3600, 2, 10, QLatin1Char('0'))
            .arg(r / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(r % 60, 2, 10, QLatin1Char('0'));
    case Field::Type:
        return QStringLiteral("LiIo/Po/Fe");
    case Field::Chg:
        return charge ? QStringLiteral("-CHG-") : QStringLiteral("-DCHG-");
    case Field::Ext_temp:
    case Field::In_temp:
        return QString::number(25 + r % 10);
    case Field::Current:
        return QString::number(amps, 'f', 2);
    case Field::Bat_volt:
        return QString::number(volts, 'f', 2);
    case Field::Cap:
        return QString::number(r * 2000 / 3600);
    case Field::C1:
    case Field::C1 + 1:
    case Field::C1 + 2:
        return QString::number(volts / 3, 'f', 2);
    default:
        return f > Field::C1 + 2 ? QStringLiteral("0.00") : QStringLiteral("12.00");
    }
}

// Every row's every field, as bare SQLite reads them. Wall clock, ms.
double bareRead(const QStringList &files)
{
    QElapsedTimer t;
    t.start();
    double sum = 0;
    for (const QString &path : files) {
        sqlite3 *db = nullptr;
        sqlite3_stmt *q = nullptr;
        sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                        SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
        sqlite3_prepare_v2(db, " select * from chglog", -1, &q, nullptr);
        while (sqlite3_step(q) == SQLITE_ROW)
            for (int f = 0; f < FieldCount; ++f)
                sum += sqlite3_column_type(q, f) == SQLITE_TEXT ? double(sqlite3_column_bytes(q, f))
                                                                : sqlite3_column_double(q, f);
        sqlite3_finalize(q);
        sqlite3_close(db);
    }
    std::printf("(sum %.0f) ", sum);
    return t.nsecsElapsed() / 1e6;
}

// Resident and peak resident memory of this process, bytes; the peak starts again.
std::pair<qint64, qint64> memory(bool resetPeak = false)
{
    QFile status(QStringLiteral("/proc/self/status"));
    qint64 rss = 0, peak = 0;
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n')) {
            const QList<QByteArray> parts = line.simplified().split(' ');
            if (parts.size() > 1 && parts[0] == "VmRSS:")
                rss = parts[1].toLongLong() * 1024;
            else if (parts.size() > 1 && parts[0] == "VmHWM:")
                peak = parts[1].toLongLong() * 1024;
        }
    if (resetPeak) {
        QFile clear(QStringLiteral("/proc/self/clear_refs"));
        if (clear.open(QIODevice::WriteOnly))
            clear.write("5");
    }
    return { rss, peak };
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int files = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir dir;
    const QString runs = dir.filePath(QStringLiteral("runs"));
    QDir().mkpath(runs);
    QStringList paths;
    for (int p = 0; p < Packs; ++p) {
        const QString first = QStringLiteral("%1/pack%2-0.mdb").arg(runs).arg(p);
        const auto cell = [charge = p % 2 == 1](qint64 r, int f) { return cellText(r, f, charge); };
        if (!RunFile::write(first, QStringLiteral("Pack %1 2200mAh").arg(p), Rows, cell).isEmpty())
            return 1;
        for (int i = 0; i < files / Packs; ++i) {
            const QString path = QStringLiteral("%1/pack%2-%3.mdb").arg(runs).arg(p).arg(i);
            if (i > 0)
                QFile::copy(first, path);
            paths << path;
        }
    }
    std::printf("%lld files of %d rows\n", static_cast<long long>(paths.size()), Rows);
    bareRead(paths); // the files in the page cache, as after any earlier use
    const double bareMs = bareRead(paths);
    std::printf("bare sqlite3 read: %.0f ms\n", bareMs);

    const QString bookFile = dir.filePath(QStringLiteral("book.db"));
    const auto [before, beforePeak] = memory(true);
    {
        // On the indexing thread, as the window runs it; the GUI thread's timer meanwhile.
        Background work;
        BookIndexer indexer(bookFile, work);
        QEventLoop loop;
        int progressed = 0;
        QObject::connect(&indexer, &BookIndexer::progress, [&] { ++progressed; });
        QObject::connect(&indexer, &BookIndexer::finished, &loop, &QEventLoop::quit);
        QTimer tick;
        tick.setInterval(20);
        QElapsedTimer since;
        qint64 lateMs = 0;
        QObject::connect(&tick, &QTimer::timeout,
                         [&] { lateMs = std::max(lateMs, since.restart() - 20); });
        QElapsedTimer t;
        t.start();
        since.start();
        tick.start();
        indexer.start({ runs });
        loop.exec();
        const double coldMs = t.nsecsElapsed() / 1e6;
        std::printf("cold index: %.0f ms, ratio to the bare read %.2f; progress shown %d times; "
                    "GUI timer at most %lld ms late\n",
                    coldMs, coldMs / bareMs, progressed, static_cast<long long>(lateMs));
    }
    const auto [after, peak] = memory();
    std::printf("memory: %.1f MB more resident after, peak %.1f MB over the start\n",
                double(after - before) / 1e6, double(peak - before) / 1e6);

    QElapsedTimer t;
    t.start();
    Book book(bookFile);
    const std::atomic<bool> stop = false;
    Book::Progress p;
    book.index({ runs }, stop, [&](const Book::Progress &now) { p = now; });
    const auto found = book.runs();
    const auto packs = book.packs(found, QDateTime::currentDateTime());
    std::printf("warm start (open, index with nothing changed, packs): %.0f ms, %d read, %zu "
                "runs, %zu packs\n",
                t.nsecsElapsed() / 1e6, p.read, found.size(), packs.size());
    return 0;
}
