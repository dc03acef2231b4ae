#include "run/run_writer.h"

#include "platform/core/background.h"
#include "platform/core/worker_link.h"
#include "run/run_file.h"

namespace RunFile {

struct Writer::Shared : WorkerLink<Writer> {
    using WorkerLink::WorkerLink;
    std::atomic<qint64> written = 0;
};

Writer::Writer(const QString &path, const QString &title, const Samples &rows,
               Background &background, QObject *parent)
    : QObject(parent), shared_(std::make_shared<Shared>(this))
{
    background.start([shared = shared_, path, title, rows] {
        RunFile::WriteOptions options;
        options.done = &shared->written;
        const QString failure = write(path, title, rows, options);
        shared->post([failure](Writer &writer) {
            writer.deleteLater();
            emit writer.finished(failure);
        });
    });
}

Writer::~Writer()
{
    shared_->cut();
}

qint64 Writer::written() const
{
    return shared_->written.load(std::memory_order_relaxed);
}

} // namespace RunFile
