#pragma once

#include "book/book.h"

#include <QObject>
#include <QStringList>
#include <memory>

class Background;

// Brings a book file up to its folders in the background, with a book connection of its own,
// so the window and a live run go on meanwhile. One pass at a time; a pass asked for while one
// runs follows it; the program's end stops a pass.
class BookIndexer final : public QObject {
    Q_OBJECT
public:
    BookIndexer(const QString &bookFile, Background &background, QObject *parent = nullptr);
    // Stops the pass without waiting for it.
    ~BookIndexer() override;

    void start(const QStringList &folders);
    void cancel();
    bool running() const { return running_; }

signals:
    void progress(const Book::Progress &p);
    // The pass ended, complete or cancelled, with what it did.
    void finished(bool complete, const Book::Progress &p);

private:
    void ended(bool complete, const Book::Progress &p);

    struct Shared;
    QString file_;
    Background &background_;
    std::shared_ptr<Shared> shared_;
    bool running_ = false;
    std::optional<QStringList> next_;
};
