#pragma once

#include "platform/core/clock.h"

#include <QPointer>
#include <map>

// Time stands still until the test advances it; what waits for a time is called as it passes.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0)))
        : now_(std::move(start))
    {
    }
    QDateTime now() const override { return now_; }
    qint64 monotonicMs() const override { return mono_; }

    void after(qint64 ms, QObject *context, std::function<void()> call) const override
    {
        waiting_.emplace(mono_ + ms, std::pair(QPointer(context), std::move(call)));
    }

    void advanceMs(qint64 ms)
    {
        now_ = now_.addMSecs(ms);
        mono_ += ms;
        while (!waiting_.empty() && waiting_.begin()->first <= mono_) {
            auto [context, call] = std::move(waiting_.begin()->second);
            waiting_.erase(waiting_.begin());
            if (context)
                call();
        }
    }
    void advanceSeconds(double s) { advanceMs(static_cast<qint64>(s * 1000)); }
    std::size_t waiting() const { return waiting_.size(); }

private:
    QDateTime now_;
    qint64 mono_ = 0;
    mutable std::multimap<qint64, std::pair<QPointer<QObject>, std::function<void()>>> waiting_;
};
