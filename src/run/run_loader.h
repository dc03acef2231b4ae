#pragma once

#include "link/channel_reading.h"
#include "run/samples.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>

class Background;

namespace RunFile {

// Where a read hands what it reads, in file order.
struct Into {
    // The file is a run file with this title; about `rows` samples follow (-1: unknown).
    std::function<void(const QString &title, qint64 rows)> opened;
    // The next sample, its time going on past midnight as a live run's does (a file keeps the
    // time of day).
    std::function<void(ChannelReading &row)> row;
};

// Reads a run file: the one way every part of the program (opening, recovery, comparison, the
// book, the logger) reads one, so that they accept and refuse the same files with the same
// words. Only a regular file that is a run file is read, and a sample without a value where a
// chart needs one refuses the file. `stop`, once set, ends the reading between rows and any wait
// for the file. "" after the last row or a stop, otherwise why the file is refused; the rows
// before that have been handed on.
QString read(const QString &path, const Into &into, const std::atomic<bool> &stop);

// Reads a run file (RunFile::read) in the background and hands the title and the rows to the
// thread that created it, one batch per turn of its event loop: however slow or large the
// file, that loop goes on serving timers and the serial port between batches. The rows come
// already in the form a run keeps them, so taking a batch costs that thread a copy. A few
// batches at most wait to be taken, so a long file is never held twice in memory.
class Loader final : public QObject {
    Q_OBJECT
public:
    static constexpr int BatchRows = 1024;
    static constexpr int BatchesWaiting = 4;

    Loader(const QString &path, Background &background, QObject *parent = nullptr);
    // Stops the reading without waiting for it; nothing is signalled afterwards.
    ~Loader() override;

signals:
    void opened(const QString &title, qint64 rows);
    // The next rows in file order, as RunFile::read hands them, in the form a run keeps them.
    void rowsRead(const SampleBatch &rows);
    // The end: "" after the last row, otherwise why the file is refused.
    void finished(const QString &error);

private:
    struct Shared;
    // In the background, which shares only `shared` with the loader.
    static void read(Shared &shared, const QString &path);
    // Hands over the title, the next batch, or the end once every batch is taken.
    void take();

    std::shared_ptr<Shared> shared_;
    // A zero timer fires once per turn of the loop, after the other timers and the port.
    QTimer taker_;
};

} // namespace RunFile
