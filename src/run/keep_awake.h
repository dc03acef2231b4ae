#pragma once

#include <QObject>

class RunHub;
class SleepInhibitor;

// Keeps the computer from idle sleep while the charger feeds a run, and says once when no power
// manager can.
class KeepAwake final : public QObject {
    Q_OBJECT
public:
    KeepAwake(RunHub &hub, SleepInhibitor &inhibitor, QObject *parent = nullptr);
    ~KeepAwake() override;
    // Idle sleep held off while a channel is live and `allowed` (not while the program ends).
    void update(bool allowed = true);

signals:
    void message(const QString &text);

private:
    RunHub &hub_;
    SleepInhibitor &inhibitor_;
    bool awake_ = false;
    bool refusalNoted_ = false;
};
