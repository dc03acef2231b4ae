#pragma once

#include <QByteArray>

#include <condition_variable>
#include <mutex>
#include <thread>

class QFileDevice;

// Writes a file chunk by chunk on a thread of its own while the caller makes the next chunk:
// a long export then costs about the longer of making and writing rather than their sum. The
// thread is started and waited for by its owner; the file is not touched by anyone else
// meanwhile.
class ChunkWriter {
public:
    explicit ChunkWriter(QFileDevice &file);
    ~ChunkWriter(); // waits for what was handed over
    ChunkWriter(const ChunkWriter &) = delete;
    ChunkWriter &operator=(const ChunkWriter &) = delete;

    // Hands `chunk`'s first `size` bytes over to be written after the ones before, and gives
    // back in `chunk` the buffer written before (empty at first) to be filled next. False once
    // a write has failed.
    bool write(QByteArray &chunk, qsizetype size);
    // Waits for every write: whether all of them were whole.
    bool finish();

private:
    void run();

    QFileDevice &file_;
    std::mutex mutex_; // guards what follows
    std::condition_variable changed_;
    QByteArray pending_;
    qsizetype pendingSize_ = 0;
    bool hasPending_ = false, done_ = false, failed_ = false;
    std::thread thread_; // last: started once the above stand
};
