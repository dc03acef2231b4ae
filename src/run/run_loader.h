#pragma once

#include "link/channel_reading.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

namespace RunFile {

// Reads a run file on a thread of its own and hands the title and the rows to the thread that
// created it, one batch per turn of its event loop: however slow or large the file, that loop
// goes on serving timers and the serial port between batches. A few batches at most wait to be
// taken, so a long file is never held twice in memory.
class Loader final : public QObject {
    Q_OBJECT
public:
    static constexpr int BatchRows = 1024;
    static constexpr int BatchesWaiting = 4;

    explicit Loader(const QString &path, QObject *parent = nullptr);
    // Stops the reading without waiting for it: a read stuck in the file ends on its own, later,
    // and nothing is signalled afterwards.
    ~Loader() override;

signals:
    // The file is a run file with this title; about `rows` samples follow (-1: unknown).
    void opened(const QString &title, qint64 rows);
    // The next rows in file order, for the receiver to take as it wants.
    void rowsRead(QList<ChannelReading> &rows);
    // The end: "" after the last row, otherwise why the file cannot be read.
    void finished(const QString &error);

private:
    struct Shared;
    // On the reading thread, which owns the reader and shares only `shared` with the loader.
    static void read(Shared &shared, const QString &path);
    // Hands over the title, the next batch, or the end once every batch is taken.
    void take();

    std::shared_ptr<Shared> shared_;
    // A zero timer fires once per turn of the loop, after the other timers and the port.
    QTimer taker_;
};

} // namespace RunFile
