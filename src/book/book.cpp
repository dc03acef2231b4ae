#include "book/book.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <sqlite3.h>

#include <algorithm>

namespace {
// Run files a run of the book may hold, and how long one transaction of the index may grow.
constexpr int CommitEveryMs = 250;
const QString Lithium = QStringLiteral("LiIo/Po/Fe");
// A lithium pack left above this per cell for StoredDays wants to go to storage voltage.
constexpr double FullCellVolts = 4.0;
constexpr qint64 StoredDays = 3;

class Statement {
public:
    Statement(sqlite3 *db, const char *sql) { sqlite3_prepare_v2(db, sql, -1, &q_, nullptr); }
    ~Statement() { sqlite3_finalize(q_); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    Statement &bind(int i, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(q_, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bind(int i, qint64 v)
    {
        sqlite3_bind_int64(q_, i, v);
        return *this;
    }
    Statement &bind(int i, double v)
    {
        sqlite3_bind_double(q_, i, v);
        return *this;
    }
    Statement &bind(int i, std::optional<double> v)
    {
        if (v)
            return bind(i, *v);
        sqlite3_bind_null(q_, i);
        return *this;
    }
    bool row() { return q_ && sqlite3_step(q_) == SQLITE_ROW; }
    void run()
    {
        if (q_) {
            sqlite3_step(q_);
            sqlite3_reset(q_);
        }
    }
    QString text(int c) const
    {
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(q_, c)),
                                 sqlite3_column_bytes(q_, c));
    }
    qint64 whole(int c) const { return sqlite3_column_int64(q_, c); }
    double real(int c) const { return sqlite3_column_double(q_, c); }
    std::optional<double> maybe(int c) const
    {
        return sqlite3_column_type(q_, c) == SQLITE_NULL ? std::nullopt : std::optional(real(c));
    }

private:
    sqlite3_stmt *q_ = nullptr;
};

QString folderOf(const QString &folder)
{
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

bool under(const QString &path, const QStringList &folders)
{
    return folders.isEmpty() || std::any_of(folders.begin(), folders.end(), [&](const QString &f) {
               return path.startsWith(folderOf(f) + u'/');
           });
}

constexpr const char *RunColumns
    = "path, size, modified, skipped, title, date, date_from_file, kind, chemistry, cells, "
      "seconds, charged_mah, discharged_mah, charged_wh, discharged_wh, peak_a, v_start, v_end, "
      "ext_max, int_max, spread, ends_charging, r_mohm, r_pm, r_from, r_to, r_cells, run_key, "
      "loaded_v";

QString cellsText(const std::vector<std::optional<double>> &cells)
{
    QStringList out;
    for (const auto &c : cells)
        out << (c ? QString::number(*c, 'g', 10) : QStringLiteral("-"));
    return out.join(u' ');
}

std::vector<std::optional<double>> cellsOf(const QString &text)
{
    std::vector<std::optional<double>> cells;
    for (const QString &c : text.split(u' ', Qt::SkipEmptyParts))
        cells.push_back(c == u"-" ? std::nullopt : std::optional(c.toDouble()));
    return cells;
}
} // namespace

QString PackFigures::dcirMethod() const
{
    if (!dcir)
        return {};
    return dcir->resistance->iec61960(ratedMah) ? QStringLiteral("iec61960")
                                                : QStringLiteral("estimate");
}

QString PackFigures::warning() const
{
    return storedFull
        ? QCoreApplication::translate("Book", "stored full: discharge to storage voltage")
        : QString();
}

Book::Book(const QString &file)
{
    if (sqlite3_open_v2(QFile::encodeName(file).constData(), &db_,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr)
        != SQLITE_OK) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        return;
    }
    // The indexing thread writes while the window reads.
    sqlite3_busy_timeout(db_, 10000);
    Statement version(db_, "pragma user_version");
    const qint64 was = version.row() ? version.whole(0) : 0;
    if (was > SchemaVersion) {
        error_ = QStringLiteral("The book was made by a later chargemon.");
        return;
    }
    version.run(); // ends its read, or the journal mode cannot change
    // The runs are an index of the files: one of an older book is read again in full.
    if (was < SchemaVersion && !exec("drop table if exists runs")) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        return;
    }
    const QByteArray schema = "pragma journal_mode = wal; pragma synchronous = normal;"
                              "create table if not exists folders (path text primary key);"
                              "create table if not exists runs ("
        + QByteArray(RunColumns).replace("path,", "path text primary key,")
        + ");"
          "create table if not exists pack_names (title_key text primary key, pack text);"
          "create table if not exists run_packs (path text primary key, pack text);"
          "create table if not exists pack_specs (pack_key text primary key, rated_mah real, "
          "cells integer);"
          // The packs told of being stored full, and the end of the run they were left after.
          "create table if not exists told (pack_key text primary key, run_end integer);"
          "pragma user_version = "
        + QByteArray::number(SchemaVersion);
    if (!exec(schema.constData()))
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
    load();
}

Book::~Book()
{
    sqlite3_close(db_);
}

bool Book::exec(const char *sql) const
{
    return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

void Book::load()
{
    for (Statement q(db_, "select title_key, pack from pack_names"); q.row();)
        names_[q.text(0)] = q.text(1);
    for (Statement q(db_, "select path, pack from run_packs"); q.row();)
        moves_[q.text(0)] = q.text(1);
    for (Statement q(db_, "select pack_key, rated_mah, cells from pack_specs"); q.row();)
        specs_[q.text(0)] = { q.maybe(1), int(q.whole(2)) };
}

QStringList Book::folders() const
{
    QStringList out;
    for (Statement q(db_, "select path from folders order by path"); q.row();)
        out << q.text(0);
    return out;
}

void Book::addFolder(const QString &folder)
{
    Statement(db_, "insert or ignore into folders values (?)").bind(1, folderOf(folder)).run();
}

void Book::removeFolder(const QString &folder)
{
    Statement(db_, "delete from folders where path = ?").bind(1, folderOf(folder)).run();
}

void Book::clear()
{
    exec("delete from runs");
}

bool Book::index(const QStringList &folders, const std::atomic<bool> &stop,
                 const std::function<void(const Progress &)> &progress)
{
    QStringList files;
    for (const QString &folder : folders) {
        QDirIterator it(folderOf(folder), { QStringLiteral("*.mdb") }, QDir::Files | QDir::System,
                        QDirIterator::Subdirectories);
        while (it.hasNext() && !stop)
            files << QDir::cleanPath(it.next());
    }
    files.removeDuplicates();
    struct Known {
        qint64 size = -1, modified = 0; // a new file is no known one
    };
    QHash<QString, Known> known;
    for (Statement q(db_, "select path, size, modified from runs"); q.row();)
        if (under(q.text(0), folders))
            known[q.text(0)] = { q.whole(1), q.whole(2) };

    Progress p;
    p.total = files.size();
    Statement put(db_,
                  "insert or replace into runs values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
                  "?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    QElapsedTimer sinceCommit;
    sinceCommit.start();
    exec("begin");
    for (const QString &file : files) {
        if (stop)
            break;
        const QFileInfo info(file);
        const auto was = known.take(file);
        if (was.size != info.size() || was.modified != info.lastModified().toMSecsSinceEpoch()) {
            const RunFigures f = RunFigures::read(file, stop);
            if (stop) // a run cut short is no run
                break;
            ++(f.skipped.isEmpty() ? p.read : p.skipped);
            const auto &r = f.resistance;
            put.bind(1, f.path).bind(2, f.size).bind(3, f.modifiedMs).bind(4, f.skipped);
            put.bind(5, f.title)
                .bind(6, f.date.toString(Qt::ISODate))
                .bind(7, qint64(f.dateFromFile));
            put.bind(8, qint64(f.kind)).bind(9, f.chemistry).bind(10, qint64(f.cells));
            put.bind(11, f.seconds).bind(12, f.chargedMah).bind(13, f.dischargedMah);
            put.bind(14, f.chargedWh).bind(15, f.dischargedWh).bind(16, f.peakAmps);
            put.bind(17, f.startVolts).bind(18, f.endVolts).bind(19, f.extMax).bind(20, f.intMax);
            put.bind(21, f.spread).bind(22, qint64(f.endsCharging));
            put.bind(23, r ? std::optional(r->milliohm) : std::nullopt);
            put.bind(24, r ? std::optional(r->plusMinus) : std::nullopt);
            put.bind(25, r ? std::optional(r->fromAmps) : std::nullopt);
            put.bind(26, r ? std::optional(r->toAmps) : std::nullopt);
            put.bind(27, r ? cellsText(r->cells) : QString());
            put.bind(28, f.runKey).bind(29, f.loadedVolts);
            put.run();
        }
        ++p.done;
        if (sinceCommit.elapsed() >= CommitEveryMs) {
            exec("commit; begin");
            sinceCommit.restart();
        }
        if (progress)
            progress(p);
    }
    if (!stop) {
        Statement drop(db_, "delete from runs where path = ?");
        for (auto it = known.begin(); it != known.end(); ++it, ++p.removed)
            drop.bind(1, it.key()).run();
    }
    exec("commit");
    if (progress)
        progress(p);
    return !stop;
}

std::vector<RunFigures> Book::runs(const QStringList &folders) const
{
    std::vector<RunFigures> out;
    const QByteArray sql = "select " + QByteArray(RunColumns) + " from runs order by date, path";
    for (Statement q(db_, sql.constData()); q.row();) {
        RunFigures f;
        f.path = q.text(0);
        if (!under(f.path, folders))
            continue;
        f.size = q.whole(1);
        f.modifiedMs = q.whole(2);
        f.skipped = q.text(3);
        f.title = q.text(4);
        f.date = QDateTime::fromString(q.text(5), Qt::ISODate);
        f.dateFromFile = q.whole(6);
        f.kind = RunSummary::Kind(q.whole(7));
        f.chemistry = q.text(8);
        f.cells = int(q.whole(9));
        f.seconds = q.real(10);
        f.chargedMah = q.real(11);
        f.dischargedMah = q.real(12);
        f.chargedWh = q.real(13);
        f.dischargedWh = q.real(14);
        f.peakAmps = q.real(15);
        f.startVolts = q.real(16);
        f.endVolts = q.real(17);
        f.extMax = q.maybe(18);
        f.intMax = q.maybe(19);
        f.spread = q.maybe(20);
        f.endsCharging = q.whole(21);
        if (q.maybe(22))
            f.resistance = RunSummary::Resistance { q.real(22), q.real(23), q.real(24), q.real(25),
                                                    cellsOf(q.text(26)) };
        f.runKey = q.text(27);
        f.loadedVolts = q.maybe(28);
        out.push_back(std::move(f));
    }
    return out;
}

QString Book::packOf(const RunFigures &run) const
{
    if (const auto moved = moves_.find(run.path); moved != moves_.end())
        return *moved;
    const QString name = packNameOf(run.title);
    return names_.value(packKey(name), name);
}

std::optional<double> Book::ratedMahOf(const QString &description) const
{
    const QString name = packNameOf(description);
    const QString pack = names_.value(packKey(name), name);
    const Spec spec = specs_.value(packKey(pack));
    return spec.ratedMah ? spec.ratedMah : RunSummary::ratedMahIn(pack);
}

std::vector<PackFigures> Book::packs(const std::vector<RunFigures> &runs,
                                     const QDateTime &now) const
{
    QHash<QString, PackFigures> byKey;
    QSet<QString> seen; // one run, however many files hold it: the first by date counts
    for (const RunFigures &run : runs)
        if (run.skipped.isEmpty() && !seen.contains(run.runKey)) {
            seen.insert(run.runKey);
            const QString name = packOf(run);
            PackFigures &p = byKey[packKey(name)];
            if (p.runs.empty())
                p.name = name;
            p.runs.push_back(&run);
        }
    std::vector<PackFigures> out;
    for (auto it = byKey.begin(); it != byKey.end(); ++it) {
        PackFigures p = std::move(*it);
        std::stable_sort(p.runs.begin(), p.runs.end(),
                         [](auto *a, auto *b) { return a->date < b->date; });
        const RunFigures *latest = p.runs.front();
        for (const RunFigures *r : p.runs)
            if (r->end() >= latest->end())
                latest = r;
        p.first = p.runs.front()->date;
        p.last = latest->end();
        // Runs under no name are no pack: nothing to sum.
        if (p.name.isEmpty()) {
            out.push_back(std::move(p));
            continue;
        }
        const Spec spec = specs_.value(it.key());
        p.ratedMah = spec.ratedMah ? spec.ratedMah : RunSummary::ratedMahIn(p.name);
        p.cells = spec.cells;
        for (const RunFigures *r : p.runs) {
            if (!spec.cells)
                p.cells = std::max(p.cells, r->cells);
            if (!p.ratedMah)
                p.ratedMah = RunSummary::ratedMahIn(r->title);
        }
        double discharged = 0, largest = 0;
        std::vector<double> full; // discharges down to the end
        std::vector<const RunFigures *> charges, measured;
        for (const RunFigures *r : p.runs) {
            discharged += r->dischargedMah;
            largest = std::max(largest, r->dischargedMah);
            if ((r->kind == RunSummary::Kind::Discharge || r->kind == RunSummary::Kind::Both)
                && r->reachedEnd(p.cells))
                full.push_back(r->dischargedMah);
            if ((r->kind == RunSummary::Kind::Charge || r->kind == RunSummary::Kind::Both)
                && r->spread)
                charges.push_back(r);
            if (r->resistance)
                measured.push_back(r);
        }
        const double rated = p.ratedMah.value_or(largest);
        p.cycles = rated > 0 ? discharged / rated : 0;
        if (!full.empty()) {
            p.capacityMah = full.back();
            const double best = *std::max_element(
                full.begin(), full.begin() + std::min<std::size_t>(3, full.size()));
            if (best > 0) {
                p.capacityPct = *p.capacityMah / best * 100;
                p.fadePct = 100 - *p.capacityPct;
            }
        }
        // The latest figure of the method proper, else the latest; its trend from the first
        // figure of the same method, direction and currents.
        const auto iec = [&p](const RunFigures *r) { return r->resistance->iec61960(p.ratedMah); };
        for (const RunFigures *r : measured)
            if (!p.dcir || iec(r) || !iec(p.dcir))
                p.dcir = r;
        const auto alike = [](double a, double b) {
            return std::abs(a - b) <= std::max(0.1, 0.2 * std::abs(b));
        };
        for (const RunFigures *r : measured)
            if (!p.dcirFrom && iec(r) == iec(p.dcir)
                && alike(r->resistance->fromAmps, p.dcir->resistance->fromAmps)
                && alike(r->resistance->toAmps, p.dcir->resistance->toAmps))
                p.dcirFrom = r;
        if (p.dcir && p.dcirFrom != p.dcir)
            p.dcirTrend = p.dcir->resistance->milliohm - p.dcirFrom->resistance->milliohm;
        for (std::size_t i = charges.size() > 3 ? charges.size() - 3 : 0; i < charges.size(); ++i)
            p.spread = std::max(p.spread.value_or(0), *charges[i]->spread);
        p.storedFull = latest->chemistry == Lithium && latest->endsCharging && p.cells > 0
            && latest->endVolts / p.cells > FullCellVolts
            && latest->end().secsTo(now) >= StoredDays * 86400;
        out.push_back(std::move(p));
    }
    std::sort(out.begin(), out.end(), [](const PackFigures &a, const PackFigures &b) {
        return packKey(a.name) < packKey(b.name);
    });
    return out;
}

void Book::renamePack(const QString &name, const QString &to)
{
    const QString from = packKey(name), target = to.simplified();
    if (target.isEmpty() || name.simplified() == target)
        return;
    exec("begin");
    for (const RunFigures &run : runs()) {
        if (packKey(packOf(run)) != from)
            continue;
        if (moves_.contains(run.path)) {
            moveRun(run.path, target);
        } else {
            const QString key = packKey(packNameOf(run.title));
            names_[key] = target;
            Statement(db_, "insert or replace into pack_names values (?, ?)")
                .bind(1, key)
                .bind(2, target)
                .run();
        }
    }
    if (specs_.contains(from) && !specs_.contains(packKey(target))) {
        const Spec spec = specs_.value(from);
        setPackSpec(target, spec.ratedMah, spec.cells);
    }
    exec("commit");
}

void Book::moveRun(const QString &path, const QString &pack)
{
    moves_[path] = pack.simplified();
    Statement(db_, "insert or replace into run_packs values (?, ?)")
        .bind(1, path)
        .bind(2, pack.simplified())
        .run();
}

void Book::setPackSpec(const QString &pack, std::optional<double> ratedMah, int cells)
{
    specs_[packKey(pack)] = { ratedMah, cells };
    Statement(db_, "insert or replace into pack_specs values (?, ?, ?)")
        .bind(1, packKey(pack))
        .bind(2, ratedMah)
        .bind(3, qint64(cells))
        .run();
}

bool Book::claimStoredFull(const PackFigures &pack)
{
    // One statement, so that two programs on the book cannot both take the same episode.
    const int before = sqlite3_total_changes(db_);
    Statement(db_,
              "insert into told values (?, ?) on conflict (pack_key) do update set run_end = "
              "excluded.run_end where run_end <> excluded.run_end")
        .bind(1, packKey(pack.name))
        .bind(2, pack.last.toMSecsSinceEpoch())
        .run();
    return sqlite3_total_changes(db_) > before;
}
