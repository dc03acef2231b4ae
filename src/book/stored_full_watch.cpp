#include "book/stored_full_watch.h"

#include "book/book_indexer.h"
#include "book/book_table.h"
#include "platform/core/clock.h"

StoredFullWatch::StoredFullWatch(const QString &bookFile, const QString &saveFolder,
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

void StoredFullWatch::pass()
{
    indexer_->start(Book(file_).folders());
}

void StoredFullWatch::tell()
{
    // A book of its own each pass: the user's renames and merges meanwhile count.
    Book book(file_);
    const QDateTime now = clock_.now();
    const auto runs = book.runs(book.folders());
    book.identify(runs); // a pack is remembered by its ID, whichever program met it first
    QList<std::pair<QString, qint64>> told;
    for (const PackFigures &pack : book.packs(runs, now))
        if (pack.storedFull && book.claimStoredFull(pack))
            told.append({ pack.name.isEmpty() ? BookTable::unnamed() : pack.name,
                          pack.last.secsTo(now) / 86400 });
    if (!told.isEmpty())
        emit storedFull(told);
}
