#include "platform/core/chunk_writer.h"

#include <QFileDevice>

ChunkWriter::ChunkWriter(QFileDevice &file) : file_(file), thread_([this] { run(); }) { }

ChunkWriter::~ChunkWriter()
{
    finish();
}

bool ChunkWriter::write(QByteArray &chunk, qsizetype size)
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !hasPending_; });
    if (failed_)
        return false;
    pending_.swap(chunk);
    pendingSize_ = size;
    hasPending_ = true;
    changed_.notify_all();
    return true;
}

bool ChunkWriter::finish()
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !hasPending_; });
        done_ = true;
        changed_.notify_all();
    }
    if (thread_.joinable())
        thread_.join();
    return !failed_;
}

void ChunkWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return hasPending_ || done_; });
        if (!hasPending_)
            return;
        lock.unlock();
        const bool whole = file_.write(pending_.constData(), pendingSize_) == pendingSize_;
        lock.lock();
        failed_ = failed_ || !whole;
        hasPending_ = false;
        changed_.notify_all();
    }
}
