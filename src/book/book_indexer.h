#pragma once

#include "book/book.h"

#include <QObject>
#include <QStringList>
#include <memory>

// Brings a book file up to its folders on a thread of its own, with a book connection of its
// own, so the window and a live run go on meanwhile. One pass at a time; a pass asked for while
// one runs follows it.
class BookIndexer final : public QObject {
    Q_OBJECT
public:
    explicit BookIndexer(const QString &bookFile, QObject *parent = nullptr);
    // Stops the pass without waiting for it.
    ~BookIndexer() override;

    void start(const QStringList &folders);
    void cancel();
    // Stops every pass still running and waits for their threads: the program's end.
    static void finishAll();
    struct Shared;
    bool running() const { return running_; }

signals:
    void progress(const Book::Progress &p);
    // The pass ended, complete or cancelled, with what it did.
    void finished(bool complete, const Book::Progress &p);

private:
    void ended(bool complete, const Book::Progress &p);

    QString file_;
    std::shared_ptr<Shared> shared_;
    bool running_ = false;
    std::optional<QStringList> next_;
};
