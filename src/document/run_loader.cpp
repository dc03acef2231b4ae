#include "document/run_loader.h"

#include "document/run_file.h"

namespace RunFile {

Loader::Loader(const QString &path, QObject *parent)
    : QObject(parent), thread_([this, path] { read(path); })
{
}

Loader::~Loader()
{
    stop_ = true;
    thread_.join();
}

void Loader::read(const QString &path)
{
    Reader reader;
    const auto title = reader.open(path) ? reader.title() : std::nullopt;
    if (!title) {
        post([this, e = reader.error()] { emit finished(e); });
        return;
    }
    post([this, t = *title, n = reader.rowCount()] { emit opened(t, n); });
    QList<ChannelReading> batch;
    // Waits while the receiver is behind, but not past a stop.
    const auto hand = [&] {
        while (!free_.tryAcquire(1, 50))
            if (stop_)
                return false;
        post([this, rows = std::exchange(batch, {})]() mutable {
            free_.release();
            emit rowsRead(rows);
        });
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
    post([this, e = reader.error()] { emit finished(e); });
}

} // namespace RunFile
