// chargemon-book: the battery book as a table for scripts and labs, from the same book as the
// program's window, and reports of its packs and runs.
#include "book/book.h"
#include "book/book_table.h"
#include "document/run_chart.h"
#include "i18n/languages.h"
#include "import/log_import.h"
#include "platform/core/clock.h"
#include "platform/core/folders.h"
#include "platform/core/settings.h"
#include "report/report.h"
#include "run/file_run.h"
#include "run/run.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {
// The report of each of `names`, a run file or a pack of `packs` (its name or ID), written to
// `path` in the interface language: the exit status.
int report(const QStringList &names, const std::vector<PackFigures> &packs, const QString &path)
{
    const Settings settings;
    QTranslator translation;
    if (loadTranslation(translation, languageNamed(storedLanguage(settings))))
        QCoreApplication::installTranslator(&translation);
    const SystemClock clock;
    RunHub hub;
    QStringList sections;
    for (const QString &name : names) {
        const auto pack = std::find_if(packs.begin(), packs.end(), [&name](const PackFigures &p) {
            const QString id = name.startsWith(u'#') ? name.mid(1) : name;
            return (!p.id.isEmpty() && p.id.compare(id, Qt::CaseInsensitive) == 0)
                || (!p.name.isEmpty() && packKey(p.name) == packKey(packNameOf(name)));
        });
        if (pack != packs.end()) {
            sections << Report::packSection(*pack);
            continue;
        }
        if (!QFileInfo(name).isFile()) {
            std::fprintf(stderr, "chargemon-book: %s is no run file nor pack of the book.\n",
                         qPrintable(name));
            return 1;
        }
        FileRun file(hub, name, clock);
        if (const QString why = file.readNow(); !why.isEmpty()) {
            std::fprintf(stderr, "chargemon-book: %s\n", qPrintable(why));
            return 1;
        }
        sections << Report::runSection(*file.run(), runChartSvg(*file.run()));
    }
    if (const QString why = Report::write(path, Report::page(sections)); !why.isEmpty()) {
        std::fprintf(stderr, "chargemon-book: the report was not written to %s: %s\n",
                     qPrintable(path), qPrintable(why));
        return 1;
    }
    return 0;
}
} // namespace

namespace {

// Imports each log, telling what it took and skipped: 0 when every one is in the folder.
int importLogs(const QStringList &files, const QString &folder, const QString &keys)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir() || files.isEmpty()) {
        std::fprintf(stderr, "chargemon-book: --import needs FILE... and --into FOLDER.\n");
        return 2;
    }
    const std::optional<ColumnMap> given = parseColumnMap(keys);
    if (!keys.isEmpty() && !given) {
        std::fprintf(stderr, "chargemon-book: --map %s names an unknown quantity.\n",
                     qPrintable(keys));
        return 2;
    }
    Settings settings;
    LogImport logs(folder);
    int status = 0;
    const auto print = [&status](const QList<ImportOutcome> &outcomes) {
        for (const ImportOutcome &out : outcomes) {
            std::fprintf(out.error.isEmpty() ? stdout : stderr, "%s\n", qPrintable(out.text()));
            if (!out.error.isEmpty())
                status = 1;
        }
    };
    for (const QString &file : files)
        print(logs.add(file, [&](const LogColumns &columns) {
            if (!given)
                return columns.offered(settings);
            columns.remember(settings, *given);
            return *given;
        }));
    print(logs.finish());
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    // A report draws its charts, with the widgets the program draws them with, off any screen:
    // it needs no display. A table loads no graphics at all.
    const bool drawing = std::any_of(argv + 1, argv + argc,
                                     [](const char *a) { return !std::strncmp(a, "--report", 8); });
    if (drawing)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app = drawing
        ? std::make_unique<QApplication>(argc, argv)
        : std::make_unique<QCoreApplication>(argc, argv);
    // The program's name: the same per-user data folder, so the same book.
    QCoreApplication::setApplicationName(QStringLiteral("chargemon"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Prints the packs of the battery book, or its runs, from the run files in FOLDERs "
        "(default: the book's folders)."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("One row per run."));
    const QCommandLineOption csv(QStringLiteral("csv"), QStringLiteral("RFC 4180 CSV."));
    const QCommandLineOption noCache(QStringLiteral("no-cache"),
                                     QStringLiteral("Read the files alone, not the book."));
    const QCommandLineOption import(QStringLiteral("import"),
                                    QStringLiteral("Import the logs FILE... into FOLDER as runs."));
    const QCommandLineOption into(QStringLiteral("into"),
                                  QStringLiteral("The folder --import writes the runs into."),
                                  QStringLiteral("FOLDER"));
    const QCommandLineOption map(
        QStringLiteral("map"),
        QStringLiteral("What each column of the logs is, by position (\"s,V,A,,cell,cell\"); "
                       "kept for their header. Default: the kept or guessed one."),
        QStringLiteral("KEYS"));
    const QCommandLineOption reportOf(
        QStringLiteral("report"),
        QStringLiteral("A report of the run file or the pack (name or ID) in one web page; "
                       "repeatable."),
        QStringLiteral("PACK_OR_RUN"));
    const QCommandLineOption output({ QStringLiteral("o"), QStringLiteral("output") },
                                    QStringLiteral("The report's file."),
                                    QStringLiteral("FILE.html"));
    parser.addOptions({ runs, csv, noCache, import, into, map, reportOf, output });
    parser.addPositionalArgument(QStringLiteral("FOLDER"), QStringLiteral("Folders of run files."),
                                 QStringLiteral("[FOLDER...]"));
    // Parsed here rather than by process(), whose errors would carry the program's name.
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "chargemon-book: %s\n", qPrintable(parser.errorText()));
        return 1;
    }
    if (parser.isSet(help))
        parser.showHelp();
    if (parser.isSet(import))
        return importLogs(parser.positionalArguments(), parser.value(into), parser.value(map));
    if (parser.isSet(reportOf) != parser.isSet(output)) {
        std::fputs("chargemon-book: --report and -o go together.\n", stderr);
        return 1;
    }

    QStringList folders = parser.positionalArguments();
    for (const QString &folder : folders)
        if (!QFileInfo(folder).isDir() || !QDir(folder).isReadable()) {
            std::fprintf(stderr, "chargemon-book: the folder %s cannot be read.\n",
                         qPrintable(folder));
            return 1;
        }
    Book book(parser.isSet(noCache) ? QStringLiteral(":memory:") : bookFile());
    if (!book.error().isEmpty()) {
        std::fprintf(stderr, "chargemon-book: the book cannot be opened: %s\n",
                     qPrintable(book.error()));
        return 1;
    }
    if (folders.isEmpty()) // the book's folders, which its window keeps
        folders = Book(bookFile()).folders();
    if (folders.isEmpty())
        folders = { saveFolder() };
    const std::atomic<bool> stop = false;
    book.index(folders, stop);
    const std::vector<RunFigures> found = book.runs(folders);
    for (const RunFigures &f : found)
        if (!f.skipped.isEmpty())
            std::fprintf(stderr, "skipped %s: %s\n", qPrintable(f.path), qPrintable(f.skipped));
    if (!parser.isSet(noCache)) // the IDs the window gives, so both show the same
        book.identify(found);
    const std::vector<PackFigures> packs = book.packs(found, QDateTime::currentDateTime());
    if (parser.isSet(reportOf))
        return report(parser.values(reportOf), packs, parser.value(output));
    const QString table = parser.isSet(runs)
        ? BookTable::text(BookTable::runColumns(), BookTable::runRows(packs), parser.isSet(csv))
        : BookTable::text(BookTable::packColumns(), packs, parser.isSet(csv));
    std::fputs(table.toUtf8().constData(), stdout);
    return 0;
}
