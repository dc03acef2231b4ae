#pragma once

#include "book/run_figures.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

struct sqlite3;

// A pack's figures over its runs, as the book's table shows them.
struct PackFigures {
    QString name; // "" for the unnamed runs
    std::vector<const RunFigures *> runs; // by date
    std::optional<double> ratedMah; // the user's, else the description's
    int cells = 0; // the user's, else the runs'
    std::optional<double> cycles; // equivalent full cycles
    QDateTime first, last;
    // Of the discharges that reached the end: the latest, and the share of the best of the
    // first three it keeps and the share it lost, in %.
    std::optional<double> capacityMah, capacityPct, fadePct;
    // The latest run with a resistance by the two-level method, else with any.
    const RunFigures *dcir = nullptr;
    // The first run measured as `dcir` was (method, direction, currents), and mΩ since.
    const RunFigures *dcirFrom = nullptr;
    std::optional<double> dcirTrend;
    std::optional<double> spread; // worst end-of-charge spread of the last three charges
    bool storedFull = false;
    QString dcirMethod() const; // "iec61960", "estimate" or ""
    QString warning() const; // "" or what to do
};

// The battery book: every run file of the save folder and the user's other folders, indexed in
// a per-user SQLite database with the user's own choices (pack names, merges, moves, rated
// capacities). The index can always be rebuilt from the files; the choices are kept. One
// connection per thread: the indexing thread opens a book of its own on the same file.
class Book {
public:
    static constexpr int SchemaVersion = 2;

    // ":memory:" keeps the book for this process alone.
    explicit Book(const QString &file);
    ~Book();
    Book(const Book &) = delete;
    Book &operator=(const Book &) = delete;
    // "" when the book is open, otherwise why not.
    const QString &error() const { return error_; }

    QStringList folders() const; // the user's, beside the save folder
    void addFolder(const QString &folder);
    void removeFolder(const QString &folder);

    struct Progress {
        qint64 done = 0, total = 0; // files
        int read = 0, skipped = 0, removed = 0;
    };
    // Brings the index up to the run files (*.mdb) in `folders` and their subfolders: new and
    // changed files are read, removed ones drop out. `stop` ends it early, keeping what was
    // read. `progress` is told after each file. False when stopped.
    bool index(const QStringList &folders, const std::atomic<bool> &stop,
               const std::function<void(const Progress &)> &progress = {});
    // Forgets every file's figures, keeping the user's choices.
    void clear();

    // Every run and skipped file under `folders` (all when empty), by date.
    std::vector<RunFigures> runs(const QStringList &folders = {}) const;
    // The packs of `runs` as they stand at `now`, by name.
    std::vector<PackFigures> packs(const std::vector<RunFigures> &runs, const QDateTime &now) const;
    // The pack a run belongs to.
    QString packOf(const RunFigures &run) const;
    // The rated capacity of the pack a run so described belongs to: the user's, else one its
    // name gives.
    std::optional<double> ratedMahOf(const QString &description) const;

    // Renaming a pack to another's name merges the two.
    void renamePack(const QString &name, const QString &to);
    void moveRun(const QString &path, const QString &pack);
    void setPackSpec(const QString &pack, std::optional<double> ratedMah, int cells);

    // True once per storage episode of a pack stored full (its last run's end), for every
    // program on this book together: the one that gets true tells the user.
    bool claimStoredFull(const PackFigures &pack);

private:
    bool exec(const char *sql) const;
    void load();
    QString nameFor(const QString &titleKey, const QString &path, const QString &title) const;

    sqlite3 *db_ = nullptr;
    QString error_;
    // The choices, read once and kept up to date.
    QHash<QString, QString> names_; // title key: pack name
    QHash<QString, QString> moves_; // path: pack name
    struct Spec {
        std::optional<double> ratedMah;
        int cells = 0;
    };
    QHash<QString, Spec> specs_; // pack key
};
