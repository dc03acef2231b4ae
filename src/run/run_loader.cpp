#include "run/run_loader.h"

#include "platform/core/background.h"
#include "platform/core/worker_link.h"
#include "run/run.h"
#include "run/run_file.h"

#include <QCoreApplication>
#include <QFile>
#include <QMutex>
#include <QSemaphore>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace RunFile {

struct Loader::Shared : WorkerLink<Loader> {
    using WorkerLink::WorkerLink;
    QSemaphore free { BatchesWaiting };
    QMutex mutex; // guards what follows
    std::optional<std::pair<QString, qint64>> opened;
    QList<SampleBatch> ready;
    std::optional<QString> end;
};

namespace {
bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Opens `path` for `reader` only if it names a regular file: SQLite's open() of a FIFO waits
// for a writer for ever, and merely opening a device can set it going. The file is checked by
// name first, then by a descriptor opened without waiting, and is still the same file once
// SQLite has opened the name, in case it was swapped meanwhile. Returns why not, or "".
QString openRegularFile(Reader &reader, const QString &path)
{
    const QString notRegular = QStringLiteral("It is not a regular file.");
    const QByteArray name = QFile::encodeName(path);
    struct stat named { };
    if (::stat(name.constData(), &named) != 0 || !S_ISREG(named.st_mode))
        return notRegular;
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat opened { };
    QString error;
    const bool regular = fd >= 0 && ::fstat(fd, &opened) == 0 && sameFile(named, opened);
    if (regular && !reader.open(path))
        error = reader.error();
    else if (!regular || ::stat(name.constData(), &named) != 0 || !sameFile(named, opened))
        error = notRegular;
    // SQLite holds no lock now, so closing another descriptor of the file drops none.
    if (fd >= 0)
        ::close(fd);
    return error;
}
} // namespace

QString read(const QString &path, const Into &into, const std::atomic<bool> &stop)
{
    Reader reader(&stop);
    const QString refused = openRegularFile(reader, path);
    const auto title = refused.isEmpty() ? reader.title() : std::nullopt;
    if (!title)
        return refused.isEmpty() ? reader.error() : refused;
    into.opened(*title, reader.rowCount());
    ChannelReading row;
    double lastTime = 0;
    int midnights = 0;
    for (qint64 n = 1; !stop && reader.next(row); ++n) {
        if (const int field = Run::lacking(row); field >= 0)
            return QCoreApplication::translate("Run", "Sample %1 has no value in %2.")
                .arg(n)
                .arg(QLatin1String(FieldNames[field]));
        // A time that goes back has passed midnight.
        const double time = row[Time].time()->days;
        if (time < lastTime)
            ++midnights;
        lastTime = time;
        row[Time] = DayTime { time + midnights };
        into.row(row);
    }
    return stop ? QString() : reader.error();
}

Loader::Loader(const QString &path, Background &background, QObject *parent)
    : QObject(parent), shared_(std::make_shared<Shared>(this))
{
    taker_.setInterval(0);
    connect(&taker_, &QTimer::timeout, this, &Loader::take);
    background.start([shared = shared_, path] { read(*shared, path); },
                     [shared = shared_] { shared->cut(); });
}

Loader::~Loader()
{
    shared_->cut();
}

void Loader::take()
{
    Shared &s = *shared_;
    std::optional<std::pair<QString, qint64>> opened;
    std::optional<SampleBatch> rows;
    std::optional<QString> end;
    {
        QMutexLocker lock(&s.mutex);
        if (s.opened)
            opened = std::exchange(s.opened, std::nullopt);
        else if (!s.ready.isEmpty())
            rows = s.ready.takeFirst();
        else
            end = std::exchange(s.end, std::nullopt);
        if (!opened && !rows)
            taker_.stop();
    }
    if (opened) {
        emit this->opened(opened->first, opened->second);
    } else if (rows) {
        s.free.release();
        emit rowsRead(*rows);
    } else if (end) {
        emit finished(*end);
    }
}

void Loader::read(Shared &s, const QString &path)
{
    // Whatever is handed over, the loader takes on its next turn.
    const auto hand = [&s](const auto &put) {
        {
            QMutexLocker lock(&s.mutex);
            put();
        }
        s.post([](Loader &loader) { loader.taker_.start(); });
    };
    SampleBatch batch;
    // Waits while the receiver is behind, but not past a stop.
    const auto handBatch = [&] {
        while (!s.free.tryAcquire(1, 50))
            if (s.stopped())
                return false;
        hand([&] { s.ready.append(std::exchange(batch, {})); });
        return true;
    };
    const QString error = RunFile::read(path,
                                        { [&](const QString &title, qint64 rows) {
                                             hand([&] { s.opened = { title, rows }; });
                                         },
                                          [&](ChannelReading &row) {
                                              batch.days.push_back(row[Time].time()->days);
                                              Samples::shown(row);
                                              batch.samples.append(row);
                                              if (batch.days.size() == BatchRows)
                                                  handBatch();
                                          } },
                                        s.stopped());
    if (s.stopped() || (!batch.days.empty() && !handBatch()))
        return;
    hand([&] { s.end = error; });
}

} // namespace RunFile
