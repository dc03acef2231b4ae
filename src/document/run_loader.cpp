#include "document/run_loader.h"

#include "document/run_file.h"

namespace RunFile {

Loader::Loader(const QString &path, QObject *parent)
    : QObject(parent), thread_([this, path] { read(path); })
{
    taker_.setInterval(0);
    connect(&taker_, &QTimer::timeout, this, &Loader::take);
}

Loader::~Loader()
{
    stop_ = true;
    thread_.join();
}

void Loader::wake()
{
    QMetaObject::invokeMethod(&taker_, qOverload<>(&QTimer::start), Qt::QueuedConnection);
}

void Loader::take()
{
    QList<ChannelReading> rows;
    std::optional<QString> end;
    {
        QMutexLocker lock(&mutex_);
        if (!ready_.isEmpty()) {
            rows = ready_.takeFirst();
        } else {
            end = std::exchange(end_, std::nullopt);
            taker_.stop();
        }
    }
    if (!rows.isEmpty()) {
        free_.release();
        emit rowsRead(rows);
    } else if (end) {
        emit finished(*end);
    }
}

void Loader::read(const QString &path)
{
    Reader reader;
    const auto finish = [&] {
        {
            QMutexLocker lock(&mutex_);
            end_ = reader.error();
        }
        wake();
    };
    const auto title = reader.open(path) ? reader.title() : std::nullopt;
    if (!title)
        return finish();
    QMetaObject::invokeMethod(
        this, [this, t = *title, n = reader.rowCount()] { emit opened(t, n); },
        Qt::QueuedConnection);
    QList<ChannelReading> batch;
    // Waits while the receiver is behind, but not past a stop.
    const auto hand = [&] {
        while (!free_.tryAcquire(1, 50))
            if (stop_)
                return false;
        {
            QMutexLocker lock(&mutex_);
            ready_.append(std::exchange(batch, {}));
        }
        wake();
        return true;
    };
    ChannelReading row;
    while (!stop_ && reader.next(row)) {
        if (batch.isEmpty())
            batch.reserve(BatchRows);
        batch.append(row);
        if (batch.size() == BatchRows && !hand())
            return;
    }
    if (stop_ || (!batch.isEmpty() && !hand()))
        return;
    finish();
}

} // namespace RunFile
