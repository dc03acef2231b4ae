#include "book/pack_warning_watch.h"

#include "book/book.h"
#include "book/book_indexer.h"
#include "platform/core/clock.h"

#include <QCoreApplication>

namespace {
// "Pack A: cell 3 weak", or for several packs "2 packs need care: Pack A: …; Pack B: …".
QString line(const QStringList &packs)
{
    return packs.size() == 1 ? packs[0]
                             : QCoreApplication::translate("Book", "%1 packs need care: %2")
                                   .arg(packs.size())
                                   .arg(packs.join(QStringLiteral("; ")));
}
} // namespace

PackWarningWatch::PackWarningWatch(const QString &bookFile, const QString &saveFolder,
                                   Background &background, const Clock &clock, QObject *parent)
    : QObject(parent), file_(bookFile), clock_(clock),
      indexer_(new BookIndexer(bookFile, background, this))
{
    Book(file_).addFolder(saveFolder);
    connect(indexer_, &BookIndexer::finished, this, [this](bool complete) {
        if (complete)
            tell();
        clock_.after(EveryMs, this, [this] { pass(); });
    });
    pass();
}

void PackWarningWatch::pass()
{
    indexer_->start(Book(file_).folders());
}

void PackWarningWatch::tell()
{
    // A book of its own each pass: the user's renames, merges and limits meanwhile count.
    Book book(file_);
    const auto runs = book.runs(book.folders());
    book.identify(runs); // a pack is remembered by its ID, whichever program met it first
    QStringList stand, news, names;
    bool storedFull = true;
    const auto named = [](const PackFigures &pack, const QString &warnings) {
        return QCoreApplication::translate("Book", "%1: %2").arg(pack.name, warnings);
    };
    for (const PackFigures &pack : book.packs(runs, clock_.now())) {
        if (pack.name.isEmpty())
            continue; // runs under no name are no pack
        if (!pack.warnings.empty())
            stand << named(pack, pack.warning());
        const auto fresh = book.claimWarnings(pack);
        if (fresh.empty())
            continue;
        names << pack.name;
        news << named(pack, PackFigures::joined(fresh));
        for (const PackFigures::Warning &w : fresh)
            storedFull = storedFull && w.kind == PackFigures::Warning::Kind::StoredFull;
    }
    if (const QString now = stand.isEmpty() ? QString() : line(stand); now != standing_) {
        standing_ = now;
        if (!now.isEmpty())
            emit standing(now);
    }
    if (!news.isEmpty())
        emit told(names, line(news), storedFull);
}
