#pragma once

#include <QObject>

class Background;
class BookIndexer;
class Clock;

// Finds the packs left charged full in the battery book, whether its window is open or not:
// the book is brought up to its folders at the start and every hour, and each pack stored
// full is told once per storage episode, across restarts and among every program on the book.
class StoredFullWatch final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 EveryMs = 3600 * 1000;

    // `saveFolder` joins the book's folders.
    StoredFullWatch(const QString &bookFile, const QString &saveFolder, Background &background,
                    const Clock &clock, QObject *parent = nullptr);

signals:
    // These packs have been left full for so many days, and nobody told them yet: all the
    // pass found, at once.
    void storedFull(const QList<std::pair<QString, qint64>> &packs);

private:
    void pass();
    void tell();

    QString file_;
    const Clock &clock_;
    BookIndexer *indexer_;
};
