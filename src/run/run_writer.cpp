#include "run/run_writer.h"

#include "platform/core/worker_link.h"
#include "run/run_file.h"

#include <QMutex>
#include <QWaitCondition>
#include <thread>

namespace RunFile {
namespace {
QMutex runningMutex;
QWaitCondition runningEnded;
int running = 0;
} // namespace

struct Writer::Shared : WorkerLink<Writer> {
    using WorkerLink::WorkerLink;
    std::atomic<qint64> written = 0;
};

Writer::Writer(const QString &path, const QString &title, const Samples &rows, QObject *parent)
    : QObject(parent), shared_(std::make_shared<Shared>(this))
{
    {
        QMutexLocker lock(&runningMutex);
        ++running;
    }
    std::thread([shared = shared_, path, title, rows] {
        const QString failure = write(path, title, rows.count(), [&](qint64 row, int field) {
            shared->written.store(row, std::memory_order_relaxed);
            return rows.text(row, field);
        });
        shared->post([failure](Writer &writer) {
            writer.deleteLater();
            emit writer.finished(failure);
        });
        QMutexLocker lock(&runningMutex);
        --running;
        runningEnded.wakeAll();
    }).detach();
}

Writer::~Writer()
{
    shared_->cut();
}

qint64 Writer::written() const
{
    return shared_->written.load(std::memory_order_relaxed);
}

void Writer::finishAll()
{
    QMutexLocker lock(&runningMutex);
    while (running > 0)
        runningEnded.wait(&runningMutex);
}

} // namespace RunFile
