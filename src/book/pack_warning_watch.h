#pragma once

#include <QObject>
#include <QStringList>

class Background;
class BookIndexer;
class Clock;

// Finds the battery book's packs that need care, whether its window is open or not: the book is
// brought up to its folders at the start and every hour, and each pack's warnings are told once
// while they stand, across restarts and among every program on the book.
class PackWarningWatch final : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 EveryMs = 3600 * 1000;

    // `saveFolder` joins the book's folders.
    PackWarningWatch(const QString &bookFile, const QString &saveFolder, Background &background,
                     const Clock &clock, QObject *parent = nullptr);

signals:
    // Every pack's warnings in one line, "2 packs need care: Pack A: cell 3 weak; …", after the
    // first pass and whenever they change; not while none stand.
    void standing(const QString &line);
    // The warnings nobody told yet, of all the packs a pass found at once, in one line as
    // `standing`; `storedFull` when each is of a pack left full.
    void told(const QStringList &packs, const QString &line, bool storedFull);

private:
    void pass();
    void tell();

    QString file_;
    const Clock &clock_;
    BookIndexer *indexer_;
    QString standing_;
};
