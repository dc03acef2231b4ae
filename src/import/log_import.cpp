#include "import/log_import.h"

#include "link/channel_reading.h"
#include "run/bdf_file.h"
#include "run/run_file.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <openssl/evp.h>

namespace {

constexpr int HashDigits = 16;

// On the processor's SHA instructions where it has them: a tenth of Qt's time.
QByteArray sha256(QByteArrayView bytes)
{
    QByteArray digest(EVP_MAX_MD_SIZE, Qt::Uninitialized);
    unsigned size = 0;
    if (!EVP_Digest(bytes.data(), std::size_t(bytes.size()),
                    reinterpret_cast<uchar *>(digest.data()), &size, EVP_sha256(), nullptr))
        return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
    digest.truncate(int(size));
    return digest;
}

// A Battery Data Format file: its reader keeps each sample's time of day, a log counts from
// its first sample.
ImportedLog bdfLog(const QString &path)
{
    BdfRead read = readBdf(path);
    if (!read.error.isEmpty())
        return ImportedLog::refused(read.error);
    ImportedLog log;
    log.start = read.start;
    log.skipped = read.skipped;
    const double startOfDay
        = read.start.isValid() ? read.start.time().msecsSinceStartOfDay() / 864e5 : 0;
    for (qint64 r = 0; r < read.samples.count(); ++r) {
        ChannelReading row = read.samples.reading(r);
        if (const auto t = row[Time].time())
            row[Time] = DayTime { t->days - startOfDay };
        log.samples.append(row);
    }
    return log;
}

// A log in the format its name tells. A format is one function from the file to an
// ImportedLog; text logs are read from the bytes already read.
LogReading readLog(const QString &path, const QByteArray &bytes, const ColumnMapper &mapper)
{
    const QString name = path.toLower();
    if (name.endsWith(QLatin1String(".bdf.csv")) || name.endsWith(QLatin1String(".bdf.gz")))
        return [path] { return bdfLog(path); };
    return readTextLog(bytes, mapper);
}

// A whole second comes back from its fraction of a day a hair below it at times.
double elapsed(const Samples &samples, qint64 row)
{
    if (const auto [kind, seconds] = samples.kept(row, Time); kind == Samples::Time)
        return seconds; // most logs: whole seconds, read without making a value
    const Value v = samples.value(row, Time);
    return v.time() ? v.time()->days * 86400 + 1e-6 : 0;
}

// A charge raises the voltage: a current mostly negative while it rises, or positive while it
// falls, was logged with the other sign.
bool looksFlipped(const Samples &samples)
{
    if (samples.count() < 2)
        return false;
    const double rise = samples.number(samples.count() - 1, Bat_volt).value_or(Fixed()).toDouble()
        - samples.number(0, Bat_volt).value_or(Fixed()).toDouble();
    double amps = 0;
    for (qint64 r = 0; r < samples.count(); ++r)
        amps += samples.number(r, Current).value_or(Fixed()).toDouble();
    amps /= double(samples.count());
    return std::abs(rise) >= 0.05 && std::abs(amps) >= 0.05 && (rise > 0) != (amps > 0);
}

// An import's outcome and, where its run file is written, the step that commits it.
struct Made {
    ImportOutcome out;
    std::function<QString()> commit;
};

// The run file of a log: its samples read, a sample a second kept, what a run needs and the
// log lacks made up, written, to be committed. On a thread of the import's.
Made makeRun(const LogReading &reading, const QString &path, const QDateTime &modified,
             const QString &hash, const QString &folder)
{
    ImportOutcome out;
    out.source = path;
    const QFileInfo info(path); // for its names: the file's times are taken before
    const auto refused = [&out](const QString &why) {
        out.error = why;
        return Made { out, {} };
    };
    ImportedLog log = reading();
    if (!log.error.isEmpty())
        return refused(log.error);
    if (log.samples.count() == 0)
        return refused(QCoreApplication::translate("LogImport", "It holds no samples."));
    out.skipped = log.skipped;
    if (looksFlipped(log.samples))
        out.warning = QCoreApplication::translate(
            "LogImport",
            "The current looks flipped: it is mostly negative while the voltage "
            "rises, or positive while it falls (a charge is positive here). Map "
            "its column as \"current (A, charge negative)\" if it is.");

    // A run file keeps a sample a second, at the time of day it was taken: the file's time
    // stands for the run's end where the log does not tell its start.
    const double seconds = elapsed(log.samples, log.samples.count() - 1);
    const QDateTime start = log.start.isValid()
        ? log.start
        : modified.addMSecs(-qint64(std::llround(seconds * 1000)));
    const int startOfDay = start.time().msecsSinceStartOfDay() / 1000;
    QList<qint64> rows; // the rows kept, once one is left out
    qint64 lastSecond = -1, sameSecond = 0;
    for (qint64 r = 0; r < log.samples.count(); ++r) {
        if (const auto second = qint64(std::floor(elapsed(log.samples, r))); second != lastSecond) {
            lastSecond = second;
            if (sameSecond > 0)
                rows << r;
        } else if (sameSecond++ == 0) {
            rows.reserve(log.samples.count());
            for (qint64 k = 0; k < r; ++k)
                rows << k;
        }
    }
    if (sameSecond > 0)
        out.skipped << QCoreApplication::translate(
            "LogImport",
            "%n sample(s) in a second that had one already (a run keeps one a "
            "second)",
            nullptr, int(sameSecond));
    const QString run
        = QDir(folder).filePath(info.fileName().section(u'.', 0, 0).left(RunFile::TitleSize) + u'-'
                                + hash + QStringLiteral(".mdb"));
    const QString title = info.completeBaseName().left(RunFile::TitleSize);
    // Most logs keep every sample: those are taken as they are, not copied.
    Samples kept = sameSecond == 0 ? std::move(log.samples) : log.samples.picked(rows);
    // A run has a capacity and a temperature in every sample: a log without them gets the
    // charge moved so far and 0 °C.
    const auto amps = [&kept](qint64 i) {
        return std::abs(kept.number(i, Current).value_or(Fixed()).toDouble());
    };
    double moved = 0, before = 0, then = 0; // the amps and seconds of the sample before
    for (qint64 i = 0; i < kept.count(); ++i) {
        const double now = amps(i), at = elapsed(kept, i); // before it is made a time of day
        if (i > 0)
            moved += (before + now) / 2 * (at - then) / 3.6;
        before = now;
        then = at;
        kept.setSeconds(i, Time, qint32((startOfDay + qint64(std::floor(at))) % 86400));
        const auto blank = [&](int field) {
            const auto [kind, data] = kept.kept(i, field);
            return kind == Samples::Empty || (kind == Samples::Text && kept.textAt(data).isEmpty());
        };
        if (blank(Cap))
            kept.set(i, Cap, Fixed::fromDouble(moved).hundredths());
        if (blank(Ext_temp))
            kept.set(i, Ext_temp, 0);
    }
    RunFile::WriteOptions options;
    options.tidy = false; // done once, by the import
    // The book dates a run without a date in its description by the file's time, its end.
    options.modified = start.addMSecs(qint64(std::llround(seconds * 1000)));
    RunFile::Written written = RunFile::writeUncommitted(run, title, kept, options);
    if (!written.commit)
        return refused(written.failure);
    out.run = run;
    out.taken = kept.count();
    return { out, std::move(written.commit) };
}

} // namespace

QString ImportOutcome::text() const
{
    QStringList parts { QFileInfo(source).fileName() + u':' };
    if (already)
        parts << QCoreApplication::translate("LogImport", "imported before, as %1.").arg(run);
    else if (!error.isEmpty())
        parts << QCoreApplication::translate("LogImport", "not imported: %1").arg(error);
    else
        parts << QCoreApplication::translate("LogImport", "%n sample(s) taken into %1.", nullptr,
                                             int(taken))
                     .arg(run);
    if (!skipped.isEmpty())
        parts << QCoreApplication::translate("LogImport", "Skipped: %1.")
                     .arg(skipped.join(QStringLiteral("; ")));
    if (!warning.isEmpty())
        parts << warning;
    return parts.join(u' ');
}

LogImport::LogImport(const QString &folder) : folder_(folder)
{
    syncers_.setMaxThreadCount(MaxMaking);
    static const QRegularExpression digits(
        QStringLiteral("-([0-9a-f]{%1})\\.mdb$").arg(HashDigits));
    RunFile::removeLeftovers(QDir(folder)); // once for all the files this writes
    QDirIterator files(folder, { QStringLiteral("*.mdb") }, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        if (const auto m = digits.match(path); m.hasMatch())
            known_.insert(m.captured(1), path);
    }
}

LogImport::~LogImport()
{
    makers_.waitForDone(); // before the syncers: a maker hands its file on to them
    syncers_.waitForDone();
}

QList<ImportOutcome> LogImport::add(const QString &path, const ColumnMapper &mapper)
{
    queue_.push_back(read(path, mapper));
    return settled(false);
}

QList<ImportOutcome> LogImport::finish()
{
    return settled(true);
}

bool LogImport::full() const
{
    return making_.available() == 0;
}

void LogImport::land(Pending &p)
{
    if (!p.made.valid())
        return;
    p.out = p.made.get();
    if (p.out.error.isEmpty())
        known_.insert(p.hash, p.out.run);
}

QList<ImportOutcome> LogImport::settled(bool wait)
{
    QList<ImportOutcome> done;
    while (!queue_.empty()
           && (wait || !queue_.front().made.valid()
               || queue_.front().made.wait_for(std::chrono::seconds(0))
                   == std::future_status::ready)) {
        land(queue_.front());
        done << std::move(queue_.front().out);
        queue_.pop_front();
    }
    return done;
}

LogImport::Pending LogImport::read(const QString &path, const ColumnMapper &mapper)
{
    Pending p;
    ImportOutcome &out = p.out;
    out.source = path;
    const auto refuse = [&p](const QString &why) {
        p.out.error = why;
        return std::move(p);
    };
    const QFileInfo info(path);
    // Checked before opening: a FIFO would block the reading for ever.
    if (!info.exists())
        return refuse(QCoreApplication::translate("LogImport", "File not found."));
    if (!info.isFile())
        return refuse(QCoreApplication::translate("LogImport", "It is not a regular file."));
    const QString tooLarge = QCoreApplication::translate("LogImport", "It is larger than %1 MB.")
                                 .arg(MaxBytes / 1024 / 1024);
    if (info.size() > MaxBytes)
        return refuse(tooLarge);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    // As much as the file held; only a file that grew meanwhile is read on, to the limit. (A
    // read of the limit would take that much memory for every file.)
    QByteArray bytes = file.read(info.size() + 1);
    if (bytes.size() > info.size())
        bytes += file.read(MaxBytes + 1 - bytes.size());
    if (file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (bytes.size() > MaxBytes)
        return refuse(tooLarge);
    p.hash = QString::fromLatin1(sha256(bytes).toHex().left(HashDigits));
    // The same log written meanwhile is known once it is in.
    for (Pending &writing : queue_)
        if (writing.hash == p.hash)
            land(writing);
    if (const auto at = known_.constFind(p.hash); at != known_.cend()) {
        out.already = true;
        out.run = *at;
        return p;
    }

    LogReading reading = readLog(path, bytes, mapper);
    QDir().mkpath(folder_); // the save folder is made by the first run saved in it
    // Made while the next log is read, on as many threads as there are processors; synced on
    // others, so that a maker does not wait for the disk. Sixteen at a time in all.
    making_.acquire(); // the first run to end makes room, not the oldest
    auto ended = std::make_shared<std::promise<ImportOutcome>>();
    p.made = ended->get_future();
    const auto end = [this, ended](ImportOutcome out) {
        ended->set_value(std::move(out));
        making_.release();
    };
    makers_.start([this, end, reading = std::move(reading), path, modified = info.lastModified(),
                   hash = p.hash, folder = folder_] {
        Made made = makeRun(reading, path, modified, hash, folder);
        if (!made.commit)
            return end(std::move(made.out));
        syncers_.start([end, made = std::move(made)]() mutable {
            if (const QString failure = made.commit(); !failure.isEmpty()) {
                made.out.error = failure;
                made.out.run.clear();
                made.out.taken = 0;
            }
            end(std::move(made.out));
        });
    });
    return p;
}
