#include "book/book.h"

#include "book/weak_cell.h"
#include "run/run_file.h"
#include "run/run_title.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QSet>
#include <sqlite3.h>

#include <algorithm>
#include <cmath>

namespace {
// Run files a run of the book may hold, and how long one transaction of the index may grow.
constexpr int CommitEveryMs = 250;
const QString Lithium = QStringLiteral("LiIo/Po/Fe");
// A lithium pack left above this per cell for StoredDays wants to go to storage voltage.
constexpr double FullCellVolts = 4.0;
constexpr qint64 StoredDays = 3;

const char *kindName(PackFigures::Warning::Kind kind)
{
    static const char *const names[]
        = { "stored_full", "weak_cell", "capacity", "resistance", "resistance_risen", "spread" };
    return names[int(kind)];
}

// What a pack's figures warn of by the user's limits; a retired pack's wear is no news, a pack
// left full is.
std::vector<PackFigures::Warning> warningsOf(const PackFigures &p, int weakCell, bool retired,
                                             const HealthLimits &limits, const QDateTime &now)
{
    using Kind = PackFigures::Warning::Kind;
    std::vector<PackFigures::Warning> out;
    if (p.storedFull)
        out.push_back({ Kind::StoredFull,
                        QCoreApplication::translate("Book", "stored full for %1 days")
                            .arg(p.last.secsTo(now) / 86400),
                        QString::number(p.last.toMSecsSinceEpoch()) });
    if (retired)
        return out;
    if (weakCell)
        out.push_back({ Kind::WeakCell,
                        QCoreApplication::translate("Book", "cell %1 weak").arg(weakCell),
                        QString::number(weakCell) });
    const double share = limits.capacityShare * 100;
    if (p.capacityPct && *p.capacityPct < share)
        out.push_back({ Kind::Capacity,
                        QCoreApplication::translate("Book", "capacity down to %1 % (limit %2 %)")
                            .arg(*p.capacityPct, 0, 'f', 0)
                            .arg(share, 0, 'g', 3),
                        QString::number(share) });
    if (p.dcir) {
        // Like with like: the latest against the first measured the same way.
        const double mohm = p.dcir->resistance->milliohm, from = p.dcirFrom->resistance->milliohm;
        const double limit = limits.resistanceMohm.value_or(2 * from);
        if (mohm >= limit)
            out.push_back(
                { Kind::Resistance,
                  QCoreApplication::translate("Book", "resistance %1 mΩ (limit %2 mΩ)")
                      .arg(mohm, 0, 'f', 0)
                      .arg(limit, 0, 'f', 0),
                  limits.resistanceMohm ? QString::number(limit) : QStringLiteral("double") });
        else if (p.dcirTrend && *p.dcirTrend >= 0.5 * from)
            out.push_back({ Kind::ResistanceRisen,
                            QCoreApplication::translate("Book", "resistance up %1 %")
                                .arg(*p.dcirTrend / from * 100, 0, 'f', 0),
                            QStringLiteral("half") });
    }
    if (limits.spreadVolts && p.spread && *p.spread > *limits.spreadVolts)
        out.push_back({ Kind::Spread,
                        QCoreApplication::translate("Book", "cells %1 V apart (limit %2 V)")
                            .arg(*p.spread, 0, 'f', 3)
                            .arg(*limits.spreadVolts, 0, 'f', 3),
                        QString::number(*limits.spreadVolts) });
    return out;
}

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
      "loaded_v, r_seconds, cv_high, end_low, first_out, cells_charged, cells_discharged, "
      "cv_share, taper_s, ica_peak_v, ica_peak_mah_v";

// The runs are an index of the files, made again whenever their columns change.
QByteArray runsTable()
{
    return "create table if not exists runs ("
        + QByteArray(RunColumns).replace("path,", "path text primary key,") + ");";
}

// A row of the runs, every column a parameter.
QByteArray putRun()
{
    QByteArray values = "?";
    for (qsizetype i = QByteArray(RunColumns).count(','); i > 0; --i)
        values += ", ?";
    return "insert or replace into runs values (" + values + ")";
}

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

// A run's cell voltages as the resistances' cells are kept.
QString voltsText(const std::vector<double> &cells)
{
    return cellsText({ cells.begin(), cells.end() });
}

std::vector<double> voltsOf(const QString &text)
{
    std::vector<double> cells;
    for (const auto &c : cellsOf(text))
        cells.push_back(c.value_or(0));
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

QString PackFigures::dcirPlan() const
{
    if (!dcirLatest)
        return {};
    const RunSummary::Resistance &r = *dcirLatest->resistance;
    const double from = ratedMah ? 0.2 * *ratedMah / 1000 : std::abs(r.fromAmps);
    const double to = std::ceil((from + r.stepFor(r.milliohm, 0.1)) * 10) / 10;
    return QCoreApplication::translate("Book", "hold %1 A for 10 s, then at least %2 A")
        .arg(QString::number(from, 'f', 2), QString::number(to, 'f', 1));
}

QString PackFigures::joined(const std::vector<Warning> &warnings)
{
    QStringList texts;
    for (const Warning &w : warnings)
        texts << w.text;
    return texts.join(QStringLiteral(", "));
}

bool PackFigures::untagged() const
{
    return std::any_of(runs.begin(), runs.end(),
                       [this](const RunFigures *r) { return packTagIn(r->title) != id; });
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
    const QByteArray schema = "pragma journal_mode = wal; pragma synchronous = normal;"
                              "create table if not exists folders (path text primary key);"
        + runsTable()
        + "create table if not exists pack_names (title_key text primary key, pack text);"
          "create table if not exists run_packs (path text primary key, pack text);"
          "create table if not exists pack_details (id text primary key, name text, "
          "chemistry text, cells integer, rated_mah real, maker text, bought text, notes text, "
          "retired integer, merged_into text);"
          "create table if not exists run_exclusions (path text primary key);"
          "create table if not exists run_dates (path text primary key, date text);"
          // The warnings told of each pack, and what raised each.
          "create table if not exists warnings_told (pack_key text, kind text, cause text, "
          "primary key (pack_key, kind));"
          // The user's limits by name; a limit unset has no row.
          "create table if not exists limits (name text primary key, value real);";
    if (!exec(schema.constData())) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        return;
    }
    // Packs stored full were the only warning told, by the end of the run they were left after.
    const bool toldFull = Statement(db_, "select 1 from sqlite_master where name = 'told'").row();
    if (toldFull
        && !exec("begin; insert or ignore into warnings_told select pack_key, 'stored_full', "
                 "cast(run_end as text) from told; drop table told; commit"))
        exec("rollback");
    load();
    if (was == 1)
        migrate();
    else if (was == 2 || was == 3) // the runs gained columns: the index is read again in full
        exec(("drop table runs; " + runsTable()).constData());
    exec(("pragma user_version = " + QByteArray::number(SchemaVersion)).constData());
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
    for (Statement q(db_, "select * from pack_details"); q.row();)
        keep({ q.text(0), q.text(1), q.text(2), q.text(5), q.text(7), int(q.whole(3)), q.maybe(4),
               QDate::fromString(q.text(6), Qt::ISODate), q.whole(8) != 0 },
             q.text(9));
    for (Statement q(db_, "select path from run_exclusions"); q.row();)
        excluded_ << q.text(0);
    for (Statement q(db_, "select path, date from run_dates"); q.row();)
        dates_[q.text(0)] = QDateTime::fromString(q.text(1), Qt::ISODate);
    for (Statement q(db_, "select name, value from limits"); q.row();) {
        const std::optional<double> value = q.maybe(1);
        if (!value || !std::isfinite(*value) || *value <= 0)
            continue; // a damaged limit is no limit
        if (q.text(0) == QLatin1String("capacity_share") && *value < 1)
            limits_.capacityShare = *value;
        else if (q.text(0) == QLatin1String("resistance_mohm"))
            limits_.resistanceMohm = value;
        else if (q.text(0) == QLatin1String("spread_v"))
            limits_.spreadVolts = value;
    }
}

void Book::setLimits(const HealthLimits &limits)
{
    limits_ = limits;
    exec("begin; delete from limits");
    const auto put = [this](const char *name, std::optional<double> value) {
        if (value)
            Statement(db_, "insert into limits values (?, ?)")
                .bind(1, QString::fromLatin1(name))
                .bind(2, value)
                .run();
    };
    put("capacity_share", limits.capacityShare);
    put("resistance_mohm", limits.resistanceMohm);
    put("spread_v", limits.spreadVolts);
    exec("commit");
}

// Version 1 kept a pack's rated capacity and cells by the key of its name: they become the
// details of a pack with an ID, under the name as the user wrote it.
void Book::migrate()
{
    QHash<QString, QString> written;
    for (Statement q(db_, "select title from runs"); q.row();)
        written.insert(packKey(packNameOf(q.text(0))), packNameOf(q.text(0)));
    for (const QString &name : std::as_const(names_))
        written.insert(packKey(name), name);
    exec("begin");
    for (Statement q(db_, "select pack_key, rated_mah, cells from pack_specs"); q.row();) {
        PackDetails d;
        d.name = written.value(q.text(0), q.text(0));
        d.ratedMah = q.maybe(1);
        d.cells = int(q.whole(2));
        setDetails(d);
    }
    // The runs' columns changed too: they are read again in full.
    exec(("drop table if exists pack_specs; drop table runs; " + runsTable() + "commit")
             .constData());
}

void Book::store(const PackDetails &details, const QString &mergedInto)
{
    Statement(db_, "insert or replace into pack_details values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
        .bind(1, details.id)
        .bind(2, details.name)
        .bind(3, details.chemistry)
        .bind(4, qint64(details.cells))
        .bind(5, details.ratedMah)
        .bind(6, details.maker)
        .bind(7, details.bought.toString(Qt::ISODate))
        .bind(8, details.notes)
        .bind(9, qint64(details.retired))
        .bind(10, mergedInto)
        .run();
    keep(details, mergedInto);
}

void Book::keep(const PackDetails &details, const QString &mergedInto)
{
    if (const auto was = details_.constFind(details.id); was != details_.cend())
        ids_.remove(packKey(was->name));
    details_[details.id] = details;
    mergedInto_.remove(details.id);
    if (mergedInto.isEmpty())
        ids_[packKey(details.name)] = details.id;
    else
        mergedInto_[details.id] = mergedInto;
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
    Statement put(db_, putRun().constData());
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
            put.bind(30, r ? std::optional(r->seconds) : std::nullopt);
            put.bind(31, qint64(f.cvHigh)).bind(32, qint64(f.endLow)).bind(33, qint64(f.firstOut));
            put.bind(34, voltsText(f.chargedCells)).bind(35, voltsText(f.dischargedCells));
            put.bind(36, f.cvShare).bind(37, f.taperSeconds);
            put.bind(38, f.icaPeakVolts).bind(39, f.icaPeakHeight);
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
            f.resistance = RunSummary::Resistance { q.real(22), q.real(23),          q.real(24),
                                                    q.real(25), cellsOf(q.text(26)), q.real(29) };
        f.runKey = q.text(27);
        f.loadedVolts = q.maybe(28);
        f.cvHigh = int(q.whole(30));
        f.endLow = int(q.whole(31));
        f.firstOut = int(q.whole(32));
        f.chargedCells = voltsOf(q.text(33));
        f.dischargedCells = voltsOf(q.text(34));
        f.cvShare = q.maybe(35);
        f.taperSeconds = q.maybe(36);
        f.icaPeakVolts = q.maybe(37);
        f.icaPeakHeight = q.maybe(38);
        if (excluded_.contains(f.path) && f.skipped.isEmpty())
            f.skipped
                = QCoreApplication::translate("Book", "You left it out of its pack's figures.");
        if (const auto date = dates_.constFind(f.path); date != dates_.cend()) {
            f.date = *date;
            f.dateFromFile = false;
        }
        out.push_back(std::move(f));
    }
    return out;
}

Book::Identity Book::identityOf(const RunFigures &run) const
{
    QString name;
    if (const auto moved = moves_.find(run.path); moved != moves_.end()) {
        name = *moved;
    } else if (const QString id = packTagIn(run.title); !id.isEmpty()) {
        return identityOfId(id, run.title);
    } else {
        name = packNameOf(run.title);
        name = names_.value(packKey(name), name);
    }
    const QString id = ids_.value(packKey(name));
    return id.isEmpty() ? Identity { QString(), name } : identityOfId(id, name);
}

Book::Identity Book::identityOfId(const QString &id, const QString &title) const
{
    QString to = id;
    for (int hops = 0; mergedInto_.contains(to) && hops < details_.size(); ++hops)
        to = mergedInto_.value(to);
    if (const auto d = details_.constFind(to); d != details_.cend())
        return { to, d->name };
    // A tag the book has not met: the pack goes by the rest of the description.
    const QString rest = packNameOf(QString(title).remove(u'#' + id, Qt::CaseInsensitive));
    return { id, rest.isEmpty() ? id : rest };
}

QString Book::packOf(const RunFigures &run) const
{
    return identityOf(run).name;
}

std::optional<double> Book::ratedMahOf(const QString &description) const
{
    RunFigures run;
    run.title = description;
    const Identity pack = identityOf(run);
    const std::optional<double> rated = details_.value(pack.id).ratedMah;
    return rated ? rated : RunSummary::ratedMahIn(pack.name);
}

std::vector<PackFigures> Book::packs(const std::vector<RunFigures> &runs,
                                     const QDateTime &now) const
{
    QHash<QString, PackFigures> byKey;
    QSet<QString> seen; // one run, however many files hold it: the first by date counts
    for (const RunFigures &run : runs)
        if (run.skipped.isEmpty() && !seen.contains(run.runKey)) {
            seen.insert(run.runKey);
            const Identity who = identityOf(run);
            PackFigures &p = byKey[who.id.isEmpty() ? packKey(who.name) : who.id];
            if (p.runs.empty()) {
                p.id = who.id;
                p.name = who.name;
            }
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
        const PackDetails spec = details_.value(p.id);
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
        std::vector<PackForecast::Point> fullAt; // the same, mAh discharged by their end
        std::vector<const RunFigures *> charges, measured;
        for (const RunFigures *r : p.runs) {
            discharged += r->dischargedMah;
            p.cyclesAt.push_back(discharged); // in mAh until the rated capacity is known
            largest = std::max(largest, r->dischargedMah);
            if ((r->kind == RunSummary::Kind::Discharge || r->kind == RunSummary::Kind::Both)
                && r->reachedEnd(p.cells)) {
                full.push_back(r->dischargedMah);
                fullAt.push_back({ discharged, r->dischargedMah, r->end() });
            }
            if ((r->kind == RunSummary::Kind::Charge || r->kind == RunSummary::Kind::Both)
                && r->spread)
                charges.push_back(r);
            if (r->resistance && r->resistance->shown())
                measured.push_back(r);
            if (r->resistance)
                p.dcirLatest = r;
        }
        const double rated = p.ratedMah.value_or(largest);
        p.cycles = rated > 0 ? discharged / rated : 0;
        for (PackForecast::Point &at : fullAt)
            at.cycles = rated > 0 ? at.cycles / rated : 0;
        for (double &at : p.cyclesAt)
            at = rated > 0 ? at / rated : 0;
        p.eol = PackForecast::of(fullAt, limits_.capacityShare);
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
        // Those figures against the cycles forecast when the resistance reaches its limit.
        const auto alike = [](double a, double b) {
            return std::abs(a - b) <= std::max(0.1, 0.2 * std::abs(b));
        };
        std::vector<PackForecast::Point> dcirAt;
        for (std::size_t i = 0; i < p.runs.size(); ++i)
            if (const RunFigures *r = p.runs[i]; r->resistance && r->resistance->shown()
                && iec(r) == iec(p.dcir)
                && alike(r->resistance->fromAmps, p.dcir->resistance->fromAmps)
                && alike(r->resistance->toAmps, p.dcir->resistance->toAmps)) {
                p.dcirFrom = p.dcirFrom ? p.dcirFrom : r;
                dcirAt.push_back({ p.cyclesAt[i], r->resistance->milliohm, r->end() });
            }
        if (p.dcir && p.dcirFrom != p.dcir)
            p.dcirTrend = p.dcir->resistance->milliohm - p.dcirFrom->resistance->milliohm;
        p.dcirEol = PackForecast::of(dcirAt, 2, PackForecast::Measure::Resistance,
                                     limits_.resistanceMohm);
        for (std::size_t i = charges.size() > 3 ? charges.size() - 3 : 0; i < charges.size(); ++i)
            p.spread = std::max(p.spread.value_or(0), *charges[i]->spread);
        int weak = 0;
        p.weakCell = weakCell(p.runs, &weak);
        p.cvShare = CvShareTrend::of(p.runs);
        p.storedFull = latest->chemistry == Lithium && latest->endsCharging && p.cells > 0
            && latest->endVolts / p.cells > FullCellVolts
            && latest->end().secsTo(now) >= StoredDays * 86400;
        p.warnings = warningsOf(p, weak, spec.retired, limits_, now);
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
    const QString fromId = ids_.value(from), intoId = ids_.value(packKey(target));
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
    PackDetails details = details_.value(fromId);
    if (!fromId.isEmpty() && (intoId.isEmpty() || intoId == fromId)) {
        details.name = target;
        store(details);
    } else if (!fromId.isEmpty()) { // the runs tagged with the one ID go under the other
        PackDetails into = details_.value(intoId);
        into.ratedMah = into.ratedMah ? into.ratedMah : details.ratedMah;
        into.cells = into.cells ? into.cells : details.cells;
        store(into);
        store(details, intoId);
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
    PackDetails details = details_.value(ids_.value(packKey(pack)));
    if (details.id.isEmpty())
        details.name = pack;
    details.ratedMah = ratedMah;
    details.cells = cells;
    setDetails(details);
}

std::vector<PackDetails> Book::packDetails() const
{
    std::vector<PackDetails> out;
    for (const PackDetails &d : details_)
        if (!mergedInto_.contains(d.id))
            out.push_back(d);
    std::sort(out.begin(), out.end(), [](auto &a, auto &b) { return a.id < b.id; });
    return out;
}

QString Book::setDetails(PackDetails details)
{
    // The logger and the window may both hand out IDs: the next one is the book's, taken under
    // its write lock.
    const bool own = sqlite3_get_autocommit(db_);
    if (own)
        exec("begin immediate");
    if (details.id.isEmpty()) {
        Statement last(db_, "select max(cast(substr(id, 2) as integer)) from pack_details");
        details.id
            = QStringLiteral("P%1").arg((last.row() ? last.whole(0) : 0) + 1, 4, 10, QChar(u'0'));
    }
    details.name = details.name.simplified();
    if (details.name.isEmpty())
        details.name = details.id;
    const QString other = ids_.value(packKey(details.name));
    const bool free = other.isEmpty() || other == details.id;
    if (free)
        store(details);
    if (own)
        exec("commit");
    return free ? details.id : QString();
}

void Book::identify(const std::vector<RunFigures> &runs)
{
    // The window asks on every refresh: the book's write lock only for a pack without details.
    const auto lacking = [this](const RunFigures &run) {
        const Identity who = identityOf(run);
        return run.skipped.isEmpty() && !who.name.isEmpty() && !details_.contains(who.id);
    };
    if (std::none_of(runs.begin(), runs.end(), lacking))
        return;
    // What another program on the book gave IDs to meanwhile is read first.
    exec("begin immediate");
    load();
    // Tags first: a new ID is never one a run already carries.
    for (const bool tagged : { true, false })
        for (const RunFigures &run : runs) {
            if (packTagIn(run.title).isEmpty() == tagged || !lacking(run))
                continue;
            const Identity who = identityOf(run);
            PackDetails details;
            details.id = who.id;
            details.name = who.name;
            if (setDetails(details).isEmpty()) { // an untagged pack of that name has an ID
                details.name = who.id;
                setDetails(details);
            }
        }
    exec("commit");
}

QStringList Book::tagRuns(const PackFigures &pack)
{
    QStringList failed;
    for (const RunFigures *run : pack.runs) {
        if (pack.id.isEmpty() || packTagIn(run->title) == pack.id)
            continue;
        const QString title = withPackTag(run->title, pack.id);
        if (const QString why = RunFile::retitle(run->path, title); !why.isEmpty()) {
            failed << QDir::toNativeSeparators(run->path) + QStringLiteral(": ") + why;
            continue;
        }
        // The file keeps its time, so the index would not read it again.
        Statement(db_, "update runs set title = ? where path = ?")
            .bind(1, title)
            .bind(2, run->path)
            .run();
    }
    return failed;
}

void Book::excludeRun(const QString &path, bool excluded)
{
    if (excluded)
        excluded_.insert(path);
    else
        excluded_.remove(path);
    Statement(db_,
              excluded ? "insert or ignore into run_exclusions values (?)"
                       : "delete from run_exclusions where path = ?")
        .bind(1, path)
        .run();
}

void Book::correctDate(const QString &path, const QDateTime &date)
{
    if (!date.isValid()) {
        dates_.remove(path);
        Statement(db_, "delete from run_dates where path = ?").bind(1, path).run();
        return;
    }
    dates_[path] = date;
    Statement(db_, "insert or replace into run_dates values (?, ?)")
        .bind(1, path)
        .bind(2, date.toString(Qt::ISODate))
        .run();
}

std::vector<PackFigures::Warning> Book::claimWarnings(const PackFigures &pack)
{
    const QString key = pack.id.isEmpty() ? packKey(pack.name) : pack.id;
    std::vector<PackFigures::Warning> fresh;
    QString standing = QStringLiteral(",");
    for (const PackFigures::Warning &w : pack.warnings) {
        // One statement each, so that two programs on the book cannot both take a warning.
        const int before = sqlite3_total_changes(db_);
        Statement(db_,
                  "insert into warnings_told values (?, ?, ?) on conflict (pack_key, kind) do "
                  "update set cause = excluded.cause where cause <> excluded.cause")
            .bind(1, key)
            .bind(2, QString::fromLatin1(kindName(w.kind)))
            .bind(3, w.cause)
            .run();
        if (sqlite3_total_changes(db_) > before)
            fresh.push_back(w);
        standing += QLatin1String(kindName(w.kind)) + u',';
    }
    // A warning gone is told again when it comes back.
    Statement(db_,
              "delete from warnings_told where pack_key = ? and instr(?, ',' || kind || ',') = 0")
        .bind(1, key)
        .bind(2, standing)
        .run();
    return fresh;
}
