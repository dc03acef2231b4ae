#pragma once

#include "run/samples.h"

#include <QObject>
#include <QTimer>
#include <memory>

class Progress;
class QWidget;

namespace RunFile {

// Writes a run file (RunFile::write) on a thread of its own, so that the event loop goes on
// serving the serial port and the timers, with its progress over `window` as an open shows it.
// The samples are a copy taken at the start: a live run goes on growing meanwhile.
class Saver final : public QObject {
    Q_OBJECT
public:
    Saver(QWidget &window, const QString &path, const QString &title, const Samples &rows,
          QObject *parent);
    // Does not wait: the writing ends on its own, with the file complete or the old one intact.
    ~Saver() override;
    void showProgress();
    // Waits until every save still writing has ended: the program ends only with the files
    // the user asked for complete.
    static void finishAll();

signals:
    // The end, after which the saver goes: "" when the file is written, otherwise why not.
    void finished(const QString &failure);

private:
    struct Shared;
    void end(const QString &failure);

    std::shared_ptr<Shared> shared_;
    std::unique_ptr<Progress> progress_;
    QTimer poll_;
};

} // namespace RunFile
