#pragma once

#include "book/cv_share.h"
#include "book/health_limits.h"
#include "book/pack_forecast.h"
#include "book/run_figures.h"

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>
#include <optional>
#include <vector>

struct sqlite3;

// A pack as the user keeps it, under the short ID ("P0007") its runs are tagged with.
struct PackDetails {
    QString id, name, chemistry, maker, notes;
    int cells = 0; // 0: not known
    std::optional<double> ratedMah;
    QDate bought;
    bool retired = false;
};

// A pack's figures over its runs, as the book's table shows them.
struct PackFigures {
    QString id; // "" for a pack the book has no details of
    QString name; // "" for the unnamed runs
    std::vector<const RunFigures *> runs; // by date
    std::vector<double> cyclesAt; // equivalent full cycles by the end of each of `runs`
    std::optional<double> ratedMah; // the user's, else the description's
    int cells = 0; // the user's, else the runs'
    std::optional<double> cycles; // equivalent full cycles
    QDateTime first, last;
    // Of the discharges that reached the end: the latest, and the share of the best of the
    // first three it keeps and the share it lost, in %.
    std::optional<double> capacityMah, capacityPct, fadePct;
    // Those discharges' capacities against the cycles so far, fitted and carried forward.
    PackForecast eol;
    // The latest run with a resistance shown by the two-level method, else with any shown.
    const RunFigures *dcir = nullptr;
    // The latest run with a resistance, shown or not: what the plan goes by.
    const RunFigures *dcirLatest = nullptr;
    // The first run measured as `dcir` was (method, direction, currents), and mΩ since.
    const RunFigures *dcirFrom = nullptr;
    std::optional<double> dcirTrend;
    // The figures measured as `dcir` was, fitted against the cycles and carried forward to the
    // user's limit, else to twice the first.
    PackForecast dcirEol;
    std::optional<double> spread; // worst end-of-charge spread of the last three charges
    bool storedFull = false;
    // "cell 3 weak: …", or "" when no cell stands out in most of the last runs or one that did
    // came back in line after balancing.
    QString weakCell;
    // Its charges' constant-voltage share, first against last.
    CvShareTrend cvShare;
    // What wants the user's care, short, in the user's language: left full, a weak cell, worn
    // past the user's limits, a resistance risen by half, cells apart past the user's limit.
    struct Warning {
        enum class Kind { StoredFull, WeakCell, Capacity, Resistance, ResistanceRisen, Spread };
        Kind kind;
        QString text; // "cell 3 weak"
        // What raised it, the same in every language: a new cause is told anew.
        QString cause;
    };
    std::vector<Warning> warnings;
    QString dcirMethod() const; // "iec61960", "estimate" or ""
    // The texts of `warnings`, ", " between them.
    static QString joined(const std::vector<Warning> &warnings);
    QString warning() const { return joined(warnings); }
    bool untagged() const; // some run's description lacks the pack's tag
    // The step that would measure this pack's resistance to ± 10 %: "hold 0.44 A for 10 s, then
    // at least 4.1 A", I1 0.2 C where the rated capacity is known, else the latest step's.
    QString dcirPlan() const;
};

// The battery book: every run file of the save folder and the user's other folders, indexed in
// a per-user SQLite database with the user's own choices (pack names, merges, moves, the packs'
// details, runs left out and dates corrected). A run belongs to the pack whose tag its
// description carries; a run without one, to the pack its description names. The index can always
// be rebuilt from the files; the choices are kept. One connection per thread: the indexing thread
// opens a book of its own on the same file.
class Book {
public:
    static constexpr int SchemaVersion = 4;

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

    // Every run and skipped file under `folders` (all when empty), by date; a run the user left
    // out of its pack's figures is skipped, one whose date the user corrected has that date.
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

    // The user's limits; stored at once.
    const HealthLimits &limits() const { return limits_; }
    void setLimits(const HealthLimits &limits);

    // The warnings of `pack` not told yet, for every program on this book together: the one
    // that gets them tells the user. A warning is told once while it stands and again once it
    // went and came back or its cause changed (a pack stored full: once per its last run's end).
    std::vector<PackFigures::Warning> claimWarnings(const PackFigures &pack);
    // Every pack's details, by ID.
    std::vector<PackDetails> packDetails() const;
    // Gives an ID to each pack of `runs` that has none.
    void identify(const std::vector<RunFigures> &runs);
    // Keeps `details`, under the next free ID when its ID is "": the ID. A name another pack
    // has is refused with "".
    QString setDetails(PackDetails details);
    // Writes the tag of `pack` into the description of each of its runs that lacks it: what
    // could not be written, a line per file.
    QStringList tagRuns(const PackFigures &pack);
    void excludeRun(const QString &path, bool excluded);
    // An invalid `date` gives the run its own again.
    void correctDate(const QString &path, const QDateTime &date);

private:
    struct Identity {
        QString id, name;
    };
    bool exec(const char *sql) const;
    void load();
    void migrate();
    Identity identityOf(const RunFigures &run) const;
    Identity identityOfId(const QString &id, const QString &title) const;
    // Into the book, and into what is read of it.
    void store(const PackDetails &details, const QString &mergedInto = {});
    void keep(const PackDetails &details, const QString &mergedInto = {});

    sqlite3 *db_ = nullptr;
    QString error_;
    // The choices, read once and kept up to date.
    QHash<QString, QString> names_; // title key: pack name
    QHash<QString, QString> moves_; // path: pack name
    QHash<QString, PackDetails> details_; // ID
    QHash<QString, QString> mergedInto_; // ID: the ID its runs went to
    QHash<QString, QString> ids_; // pack key of a name: ID
    QSet<QString> excluded_; // paths
    QHash<QString, QDateTime> dates_; // path: corrected date
    HealthLimits limits_;
};
