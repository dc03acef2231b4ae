#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class QProgressBar;
class QProgressDialog;
class QWidget;

// The progress of a job that runs while the event loop turns (opening or saving a run): a
// window-modal dialog over `window` that appears only once the job has taken half a second,
// with a busy bar until the amount of work is known. The dialog is made when it is shown and
// deleted with this object, so none is left behind by a job that has ended.
class Progress final : public QObject {
    Q_OBJECT
public:
    static constexpr int ShowAfterMs = 500;

    Progress(QWidget &window, const QString &label, bool cancellable);
    ~Progress() override;

    // The amount of work; -1 while it is unknown.
    void setTotal(qint64 total);
    void setDone(qint64 done);
    // Shows the dialog now rather than after a while.
    void show();

signals:
    // The user cancelled. Queued: the dialog may go at once.
    void canceled();

private:
    void update();

    QWidget &window_;
    QString label_;
    bool cancellable_;
    QTimer after_;
    QPointer<QProgressDialog> dialog_;
    QProgressBar *bar_ = nullptr;
    qint64 total_ = -1;
    qint64 done_ = 0;
};
