#include "platform/core/background.h"

Background::Background()
{
    // A reader waiting for the GUI thread to take its rows holds its thread: no piece of work
    // may wait in a queue behind others.
    pool_.setMaxThreadCount(256);
}

Background::~Background()
{
    finish();
}

void Background::start(std::function<void()> work, std::function<void()> cut)
{
    quint64 id = 0;
    {
        QMutexLocker lock(&mutex_);
        id = next_++;
        if (cut)
            cuts_.emplace(id, std::move(cut));
    }
    pool_.start([this, id, work = std::move(work)] {
        work();
        QMutexLocker lock(&mutex_);
        cuts_.erase(id);
    });
}

void Background::finish()
{
    std::map<quint64, std::function<void()>> cuts;
    {
        QMutexLocker lock(&mutex_);
        cuts = cuts_;
    }
    for (const auto &[id, cut] : cuts)
        cut();
    pool_.waitForDone();
}
