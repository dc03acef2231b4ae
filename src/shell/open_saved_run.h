#pragma once

#include "link/channel_reading.h"

#include <QObject>
#include <QPointer>

class MDIForm1;
class QProgressBar;
class QProgressDialog;
class tee;
namespace RunFile {
class Loader;
}

// One open of a run file, from the chosen file to the filled chart window. The file is read
// on a thread of its own and its rows reach the new chart window in batches from the event
// loop, so the serial port and the timers go on meanwhile and no nested event loop can run a
// command in the middle of the open. A failed or cancelled open leaves no window behind.
class RunOpening final : public QObject {
    Q_OBJECT
public:
    RunOpening(MDIForm1 &window, const QString &file);

    // The chart window being filled: none before the title is read or after the end.
    tee *document() const;
    bool running() const { return loader_ != nullptr; }
    // Shows the progress now rather than after a while.
    void showProgress();

private:
    void opened(const QString &title, qint64 rows);
    void rowsRead(QList<ChannelReading> &rows);
    void finished(const QString &error);
    void cancel();
    void end();

    MDIForm1 &window_;
    QString file_;
    RunFile::Loader *loader_;
    QPointer<QProgressDialog> progress_;
    QProgressBar *bar_;
    QPointer<tee> doc_;
    qint64 done_ = 0;
};
