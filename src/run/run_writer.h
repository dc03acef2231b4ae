#pragma once

#include "run/samples.h"

#include <QObject>
#include <memory>

class Background;

namespace RunFile {

// Writes a run file (RunFile::write) on a thread of its own, so that the event loop goes on
// serving the serial port and the timers meanwhile. The samples are a copy taken at the start:
// a live run goes on growing meanwhile.
class Writer final : public QObject {
    Q_OBJECT
public:
    // The background waits for the writing at the program's end: a program ends only with the
    // files it started complete.
    Writer(const QString &path, const QString &title, const Samples &rows, Background &background,
           QObject *parent = nullptr);
    // Does not wait: the writing ends on its own, with the file complete or the old one intact.
    ~Writer() override;
    // Rows written so far, for progress.
    qint64 written() const;

signals:
    // The end, after which the writer goes: "" when the file is written, otherwise why not.
    void finished(const QString &failure);

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;
};

} // namespace RunFile
