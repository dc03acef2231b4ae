#pragma once

#include <QMutex>
#include <QThreadPool>

#include <functional>
#include <map>

// The program's work off the GUI thread: reading and saving run files, syncing journals,
// indexing the book. Each piece runs on a thread of its own, started here; when the owner goes
// (the program's end), what may be cut is cut and everything is waited for, so that no thread
// outlives the program's objects and every save it started is complete.
class Background {
public:
    Background();
    ~Background();
    Background(const Background &) = delete;
    Background &operator=(const Background &) = delete;

    // Runs `work`. `cut`, when given, asks it to end soon: a read the end need not wait out.
    void start(std::function<void()> work, std::function<void()> cut = {});
    // Cuts what may be cut and waits for all of it.
    void finish();

private:
    QThreadPool pool_;
    QMutex mutex_; // guards what follows
    std::map<quint64, std::function<void()>> cuts_;
    quint64 next_ = 0;
};
