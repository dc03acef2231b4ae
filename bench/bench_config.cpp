// Cost of creating a Config from the store carried in the program: the first one of a run
// (copies the store out and writes the pages and pictures) and the ones after it. The SQLite
// driver's one-time load is timed apart, as any first database use of a run pays it.

#include "setup/config.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    InterfaceTextStore store(InterfaceTextStore::builtInPath(), folder.path());

    QElapsedTimer timer;
    timer.start();
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("driver-load"));
    QSqlDatabase::removeDatabase(QStringLiteral("driver-load"));
    const double driverMs = timer.nsecsElapsed() / 1e6;

    timer.restart();
    const Config first(store);
    const double firstMs = timer.nsecsElapsed() / 1e6;
    if (first.Splash().isEmpty()) {
        std::fprintf(stderr, "the store was not read: %s\n", qPrintable(store.takeProblem()));
        return 1;
    }

    constexpr int rounds = 500;
    timer.restart();
    for (int i = 0; i < rounds; ++i)
        Config config(store);
    const double laterMs = timer.nsecsElapsed() / 1e6 / rounds;
    std::printf("SQLite driver load: %.2f ms\nfirst Config of a run: %.2f ms\n"
                "later Config (mean of %d): %.3f ms\n",
                driverMs, firstMs, rounds, laterMs);
    return 0;
}
