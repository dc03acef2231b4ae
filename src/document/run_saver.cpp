#include "document/run_saver.h"

#include "platform/core/worker_link.h"
#include "platform/progress.h"
#include "run/run_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QMutex>
#include <QWaitCondition>
#include <thread>

namespace RunFile {
namespace {
QMutex runningMutex;
QWaitCondition runningEnded;
int running = 0;
} // namespace

struct Saver::Shared : WorkerLink<Saver> {
    using WorkerLink::WorkerLink;
    std::atomic<qint64> written = 0;
};

Saver::Saver(QWidget &window, const QString &path, const QString &title, const Samples &rows,
             QObject *parent)
    : QObject(parent), shared_(std::make_shared<Shared>(this)),
      progress_(std::make_unique<Progress>(
          window,
          QCoreApplication::translate("RunFile", "Saving %1").arg(QFileInfo(path).fileName()),
          false))
{
    progress_->setTotal(rows.count());
    connect(&poll_, &QTimer::timeout, this,
            [this] { progress_->setDone(shared_->written.load(std::memory_order_relaxed)); });
    poll_.start(100);
    {
        QMutexLocker lock(&runningMutex);
        ++running;
    }
    std::thread([shared = shared_, path, title, rows] {
        const QString failure = write(path, title, rows.count(), [&](qint64 row, int field) {
            shared->written.store(row, std::memory_order_relaxed);
            return rows.text(row, field);
        });
        shared->post([failure](Saver &saver) { saver.end(failure); });
        QMutexLocker lock(&runningMutex);
        --running;
        runningEnded.wakeAll();
    }).detach();
}

Saver::~Saver()
{
    shared_->cut();
}

void Saver::finishAll()
{
    QMutexLocker lock(&runningMutex);
    while (running > 0)
        runningEnded.wait(&runningMutex);
}

void Saver::showProgress()
{
    if (progress_)
        progress_->show();
}

void Saver::end(const QString &failure)
{
    poll_.stop();
    progress_.reset(); // before any message of the end can stand under it
    deleteLater();
    emit finished(failure);
}

} // namespace RunFile
