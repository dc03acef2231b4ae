#pragma once

#include <QObject>

class LiveRuns;
class SleepInhibitor;

// Keeps the computer from idle sleep while a channel of `runs` is live, and says once when no
// power manager can.
class KeepAwake final : public QObject {
    Q_OBJECT
public:
    KeepAwake(LiveRuns &runs, SleepInhibitor &inhibitor, QObject *parent = nullptr);
    ~KeepAwake() override;
    // Idle sleep held off while a channel is live and `allowed` (not while the program ends).
    void update(bool allowed = true);

signals:
    void message(const QString &text);

private:
    LiveRuns &runs_;
    SleepInhibitor &inhibitor_;
    bool awake_ = false;
    bool refusalNoted_ = false;
};
