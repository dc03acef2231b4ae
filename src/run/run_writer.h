#pragma once

#include "run/samples.h"

#include <QObject>
#include <memory>

namespace RunFile {

// Writes a run file (RunFile::write) on a thread of its own, so that the event loop goes on
// serving the serial port and the timers meanwhile. The samples are a copy taken at the start:
// a live run goes on growing meanwhile.
class Writer final : public QObject {
    Q_OBJECT
public:
    Writer(const QString &path, const QString &title, const Samples &rows,
           QObject *parent = nullptr);
    // Does not wait: the writing ends on its own, with the file complete or the old one intact.
    ~Writer() override;
    // Rows written so far, for progress.
    qint64 written() const;
    // Waits until every write still running has ended: a program ends only with the files it
    // started complete.
    static void finishAll();

signals:
    // The end, after which the writer goes: "" when the file is written, otherwise why not.
    void finished(const QString &failure);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace RunFile
