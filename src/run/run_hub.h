#pragma once

#include "run/run.h"

#include <QList>
#include <QObject>

#include <memory>

// Why a run ended.
enum class RunEnd {
    Finished, // the charger or the station said so, or a new run took the channel
    Interrupted, // a silence, or a capacity that fell
    LinkLost, // the charger's port or the station went away
    Stopped, // the program closed, or the user stopped watching
    Loaded, // a run file read to its end
};

// Every run the program knows while something feeds it, whatever its source: the charger's
// channels, a watched station, a run file. A source starts its runs here and ends them here;
// whatever follows runs (chart windows, the panel, notices, the publisher, the logger)
// attaches to the hub, and sees every run the same way.
class RunHub final : public QObject {
    Q_OBJECT
public:
    explicit RunHub(QObject *parent = nullptr) : QObject(parent) { }

    // Announces `run`, then passes on its samples until it ends.
    void start(const std::shared_ptr<Run> &run);
    // The source stopped feeding `run`: its figures are final. Nothing when it has ended.
    void end(const std::shared_ptr<Run> &run, RunEnd why);
    // The runs being fed, in the order they started.
    const QList<std::shared_ptr<Run>> &runs() const { return runs_; }

signals:
    // `run` began; its first sample comes next.
    void runStarted(const std::shared_ptr<Run> &run);
    // `run` recorded `sample` (in the form its samples keep).
    void recorded(const Run &run, const ChannelReading &sample);
    void runEnded(const std::shared_ptr<Run> &run, const RunSummary &summary, RunEnd why);

private:
    QList<std::shared_ptr<Run>> runs_;
};
