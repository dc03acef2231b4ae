#pragma once

#include "platform/core/clock.h"

// Time stands still until the test advances it.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0)))
        : now_(std::move(start))
    {
    }
    QDateTime now() const override { return now_; }
    qint64 monotonicMs() const override { return mono_; }

    void advanceMs(qint64 ms)
    {
        now_ = now_.addMSecs(ms);
        mono_ += ms;
    }
    void advanceSeconds(double s) { advanceMs(static_cast<qint64>(s * 1000)); }

private:
    QDateTime now_;
    qint64 mono_ = 0;
};
