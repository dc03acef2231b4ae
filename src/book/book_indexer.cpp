#include "book/book_indexer.h"

#include "platform/core/worker_link.h"

#include <QElapsedTimer>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

namespace {
// The window's progress bar needs no more than this.
constexpr qint64 ProgressEveryMs = 100;
} // namespace

struct BookIndexer::Shared : WorkerLink<BookIndexer> {
    using WorkerLink::WorkerLink;
    std::atomic<bool> stop = false;
};

namespace {
// The passes whose threads still run, so that the program's end can stop them and wait.
struct Passes {
    std::mutex mutex;
    std::condition_variable ended;
    std::set<std::shared_ptr<BookIndexer::Shared>> running;
};
Passes &passes()
{
    static Passes p;
    return p;
}
} // namespace

void BookIndexer::finishAll()
{
    Passes &p = passes();
    std::unique_lock lock(p.mutex);
    for (const auto &s : p.running)
        s->stop = true;
    p.ended.wait(lock, [&p] { return p.running.empty(); });
}

BookIndexer::BookIndexer(const QString &bookFile, QObject *parent)
    : QObject(parent), file_(bookFile)
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
    {
        const std::lock_guard lock(passes().mutex);
        passes().running.insert(shared_);
    }
    std::thread([s = shared_, file = file_, folders] {
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
        Passes &p = passes();
        const std::lock_guard lock(p.mutex);
        p.running.erase(s);
        p.ended.notify_all();
    }).detach();
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
