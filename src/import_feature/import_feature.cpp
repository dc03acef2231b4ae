#include "import_feature/import_feature.h"

#include "import/log_import.h"
#include "platform/command_names.h"
#include "platform/core/folders.h"
#include "platform/dialogs.h"
#include "platform/progress.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace {

constexpr int ListedOutcomes = 20; // the rest are counted
constexpr int WaitMs = 5; // for a run being made

// One import of several files, a file per turn of the event loop.
struct Batch {
    explicit Batch(FeatureHost &host, const QStringList &files)
        : host(host), files(files), logs(saveFolder()),
          progress(std::make_unique<Progress>(
              host.mainWindow(), QCoreApplication::translate("LogImport", "Importing logs…"), true))
    {
        progress->setTotal(files.size());
    }

    FeatureHost &host;
    QStringList files;
    qsizetype next = 0;
    LogImport logs;
    std::unique_ptr<Progress> progress;
    bool cancelled = false;
    QHash<QStringList, ColumnMap> chosen; // a header is asked for once a batch
    QStringList lines;
    int imported = 0, before = 0, failed = 0;

    void count(const QList<ImportOutcome> &outcomes)
    {
        for (const ImportOutcome &out : outcomes) {
            (out.already ? before : out.error.isEmpty() ? imported : failed) += 1;
            if (lines.size() < ListedOutcomes)
                lines << out.text();
        }
    }

    // The columns as the user maps them, from the kept or guessed map.
    std::optional<ColumnMap> ask(const LogColumns &columns)
    {
        if (const auto at = chosen.constFind(columns.names); at != chosen.cend())
            return *at;
        QStringList labels, options;
        for (qsizetype c = 0; c < columns.names.size(); ++c)
            labels << QCoreApplication::translate("LogImport", "%1: %2")
                          .arg(columns.names[c], columns.example.value(c));
        for (const Quantity &q : quantities())
            options << QCoreApplication::translate("LogImport", q.caption);
        const auto map = host.dialogs().picks(
            QCoreApplication::translate("LogImport", "Import"),
            QCoreApplication::translate("LogImport",
                                        "What each column of %1 holds, after its first value:")
                .arg(QFileInfo(files[next]).fileName()),
            labels, options, columns.offered(host.settings()));
        if (!map) {
            cancelled = true;
            return map;
        }
        columns.remember(host.settings(), *map);
        return chosen[columns.names] = *map;
    }
};

void step(const std::shared_ptr<Batch> &b)
{
    // The runs are made meanwhile: the event loop looks in again rather than wait for them.
    const auto again
        = [&b](int ms) { QTimer::singleShot(ms, &b->host.mainWindow(), [b] { step(b); }); };
    b->count(b->logs.ended());
    if (!b->cancelled && b->next < b->files.size()) {
        if (b->logs.full())
            return again(WaitMs);
        b->count(b->logs.add(b->files[b->next], [&b](const LogColumns &c) { return b->ask(c); }));
        b->progress->setDone(++b->next);
        return again(0);
    }
    if (!b->logs.idle())
        return again(WaitMs);
    b->progress.reset();
    QString text = QCoreApplication::translate("LogImport",
                                               "%1 imported, %2 imported before, %3 not imported.")
                       .arg(b->imported)
                       .arg(b->before)
                       .arg(b->failed)
        + QStringLiteral("\n\n") + b->lines.join(u'\n');
    if (const qsizetype more = b->imported + b->before + b->failed - b->lines.size(); more > 0)
        text += u'\n'
            + QCoreApplication::translate("LogImport", "… and %n more.", nullptr, int(more));
    b->host.dialogs().message(text, QCoreApplication::translate("LogImport", "Import"),
                              b->failed > 0 ? Dialogs::Icon::Critical : Dialogs::Icon::Information);
}

void importLogs(FeatureHost &host)
{
    const QStringList files = host.dialogs().openFiles(
        saveFolder(),
        QCoreApplication::translate(
            "LogImport", "Logs(*.csv *.txt *.log *.gz)|*.csv *.txt *.log *.gz|All files(*.*)|*.*"));
    if (files.isEmpty())
        return;
    auto batch = std::make_shared<Batch>(host, files);
    QObject::connect(batch->progress.get(), &Progress::canceled, batch->progress.get(),
                     [b = batch.get()] { b->cancelled = true; });
    step(batch);
}

} // namespace

Feature importFeature()
{
    const QString name = QStringLiteral("Import");
    return { { { name,
                 { { Band::MainFile, 11, QT_TRANSLATE_NOOP("Captions", "&Import…") },
                   { Band::File, 11, QT_TRANSLATE_NOOP("Captions", "&Import…") } },
                 QStringLiteral("Other tools' logs (CSV, serial-logger lines) as runs of the "
                                "book.") } },
             {},
             {},
             [name](FeatureHost &host) {
                 return FeatureHandlers { { { name, [&host] { importLogs(host); } } } };
             } };
}
