#include "book/book_indexer.h"

#include "platform/core/background.h"
#include "platform/core/worker_link.h"

#include <QElapsedTimer>

namespace {
// The window's progress bar needs no more than this.
constexpr qint64 ProgressEveryMs = 100;
} // namespace

struct BookIndexer::Shared : WorkerLink<BookIndexer> {
    using WorkerLink::WorkerLink;
    std::atomic<bool> stop = false;
};

BookIndexer::BookIndexer(const QString &bookFile, Background &background, QObject *parent)
    : QObject(parent), file_(bookFile), background_(background)
{
}

BookIndexer::~BookIndexer()
{
    cancel();
    if (Shared *s = shared_.get())
        s->cut();
}

void BookIndexer::start(const QStringList &folders)
{
    if (running_) {
        next_ = folders;
        return;
    }
    running_ = true;
    shared_ = std::make_shared<Shared>(this);
    const auto work = [s = shared_, file = file_, folders] {
        Book book(file);
        QElapsedTimer shown;
        shown.start();
        Book::Progress last;
        const bool complete
            = book.error().isEmpty() && book.index(folders, s->stop, [&](const Book::Progress &p) {
                  last = p;
                  if (shown.elapsed() >= ProgressEveryMs) {
                      shown.restart();
                      s->post([p](BookIndexer &i) { emit i.progress(p); });
                  }
              });
        s->post([complete, last](BookIndexer &i) { i.ended(complete, last); });
    };
    background_.start(work, [s = shared_] { s->stop = true; });
}

void BookIndexer::cancel()
{
    next_.reset();
    if (shared_)
        shared_->stop = true;
}

void BookIndexer::ended(bool complete, const Book::Progress &p)
{
    running_ = false;
    shared_.reset();
    emit finished(complete, p);
    if (next_)
        start(*std::exchange(next_, std::nullopt));
}
