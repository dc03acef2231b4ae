// Importing a folder of another tool's CSV logs (1,000 files of 3,600 rows) against a bare
// parse of the same files (each line split at the commas, each field read as a number), in
// one run; the goal is an import within 3 times the bare parse.
// Run by hand: build/bench/bench_import [FILES]
#include "import/log_import.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <charconv>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int Rows = 3600;

QByteArray log(int file)
{
    QByteArray out("Logger 2.1, bench " + QByteArray::number(file)
                   + "\nTime (s),Voltage (V),Current (A),Capacity (mAh),"
                     "Temperature (C),Cell 1 (V),Cell 2 (V),Cell 3 (V)\n");
    for (int r = 0; r < Rows; ++r) {
        const double cell = 3.6 + 0.5 * r / Rows + 0.001 * (file % 7);
        char line[160];
        const int n
            = std::snprintf(line, sizeof line, "%d,%.3f,%.3f,%.1f,%d,%.3f,%.3f,%.3f\n", r, 3 * cell,
                            2.0, 2000.0 * r / 3600, 25 + r / 600, cell, cell + 0.002, cell - 0.001);
        out.append(line, n);
    }
    return out;
}

// What any importer does at least: every field of every line read as a number.
double bareParse(const QStringList &files)
{
    double sum = 0;
    for (const QString &path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            std::abort();
        const QByteArray bytes = f.readAll();
        const char *p = bytes.constData(), *end = p + bytes.size();
        while (p < end) {
            const char *eol = static_cast<const char *>(memchr(p, '\n', std::size_t(end - p)));
            if (!eol)
                eol = end;
            while (p < eol) {
                const char *comma = static_cast<const char *>(memchr(p, ',', std::size_t(eol - p)));
                if (!comma)
                    comma = eol;
                double v = 0;
                if (std::from_chars(p, comma, v).ec == std::errc())
                    sum += v;
                p = comma + 1;
            }
            p = eol + 1;
        }
    }
    return sum;
}

// The process's user and system seconds, and its page faults.
struct Usage {
    double user, system;
    long faults;
};
Usage usage()
{
    rusage u {};
    getrusage(RUSAGE_SELF, &u);
    const auto seconds = [](const timeval &t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return { seconds(u.ru_utime), seconds(u.ru_stime), u.ru_minflt + u.ru_majflt };
}

double loadAverage()
{
    QFile f("/proc/loadavg");
    return f.open(QIODevice::ReadOnly) ? f.readAll().split(' ').value(0).toDouble() : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000;
    QTemporaryDir dir;
    const QString logs = dir.filePath("logs"), runs = dir.filePath("runs");
    QDir().mkpath(logs);
    QDir().mkpath(runs);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << QDir(logs).filePath(QStringLiteral("log%1.csv").arg(i));
        QFile f(files.last());
        if (!f.open(QIODevice::WriteOnly) || f.write(log(i)) < 0)
            std::abort();
    }
    if (qEnvironmentVariableIsSet("KEEP"))
        dir.setAutoRemove(false), std::printf("%s\n", qPrintable(dir.path()));
    std::printf("%d files of %d rows; load before: %.2f\n", count, Rows, loadAverage());
    // Both start with the disk written back: neither shares the processors with the writing
    // back of the logs or of earlier files.
    ::sync();
    QElapsedTimer t;
    t.start();
    const double sum = bareParse(files);
    const double bare = double(t.nsecsElapsed()) / 1e9;
    t.restart();
    for (const QString &path : files) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)
            || readTextLog(f.readAll(), [](const LogColumns &c) { return c.guess(); })()
                    .samples.count()
                != Rows)
            std::abort();
    }
    const double read = double(t.nsecsElapsed()) / 1e9;
    ::sync();
    t.restart();
    const Usage before = usage(); // the writing threads too
    LogImport import(runs);
    qint64 taken = 0;
    const auto tally = [&taken](const QList<ImportOutcome> &outcomes) {
        for (const ImportOutcome &out : outcomes) {
            if (!out.error.isEmpty()) {
                std::fprintf(stderr, "%s\n", qPrintable(out.text()));
                std::exit(1);
            }
            taken += out.taken;
        }
    };
    for (const QString &f : files)
        tally(import.add(f, [](const LogColumns &c) { return c.guess(); }));
    tally(import.finish());
    const double imported = double(t.nsecsElapsed()) / 1e9;
    const Usage after = usage();
    // The machine's speed drifts over seconds: the bare parse is timed on both sides of the
    // import, the writing back of the runs done first.
    ::sync();
    t.restart();
    if (bareParse(files) != sum) // used, so that no compiler leaves it out
        std::abort();
    const double bareAfter = double(t.nsecsElapsed()) / 1e9;
    std::printf(
        "bare parse %.2f s before, %.2f s after (checksum %.0f), logs read %.2f s, import "
        "%.2f s (%lld samples; CPU %.2f s user, %.2f s system, %ld page faults): %.2f times the "
        "bare parse (%.2f and %.2f); load after: %.2f\n",
        bare, bareAfter, sum, read, imported, static_cast<long long>(taken),
        after.user - before.user, after.system - before.system, after.faults - before.faults,
        imported / ((bare + bareAfter) / 2), imported / bare, imported / bareAfter, loadAverage());
    return 0;
}
