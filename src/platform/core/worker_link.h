#pragma once

#include <QMetaObject>
#include <QMutex>

#include <atomic>

// The tie between work on a thread of its own and the object of the GUI thread it works for.
// The object may go first (a cancelled open, the program quitting): nobody ever waits for the
// thread, and the work reaches its object only while the object lives. Shared by both sides.
template <class Owner> class WorkerLink {
public:
    explicit WorkerLink(Owner *owner) : owner_(owner) { }

    // From the thread: runs `call(owner)` on the owner's thread, unless the owner has gone.
    template <class Call> void post(Call call)
    {
        QMutexLocker lock(&mutex_);
        // A queued call dies with its receiver, so `owner` is alive whenever it runs.
        if (owner_)
            QMetaObject::invokeMethod(
                owner_, [owner = owner_, call = std::move(call)] { call(*owner); },
                Qt::QueuedConnection);
    }
    // From the owner as it goes: nothing reaches it any more, and the work is asked to stop.
    void cut()
    {
        QMutexLocker lock(&mutex_);
        owner_ = nullptr;
        stop_ = true;
    }
    const std::atomic<bool> &stopped() const { return stop_; }

private:
    QMutex mutex_;
    Owner *owner_;
    std::atomic<bool> stop_ = false;
};
