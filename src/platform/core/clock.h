#pragma once

#include <QDateTime>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

// Time as the program reads it: the time of day in whole seconds as a fraction of a day,
// the date and time for texts, and a monotonic clock for elapsed times that must not
// wrap at midnight.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    virtual qint64 monotonicMs() const = 0;

    // Fraction of a day, whole seconds (1 s = 1/86400).
    virtual double timeOfDay() const
    {
        const int seconds = now().time().msecsSinceStartOfDay() / 1000;
        return seconds / 86400.0;
    }
    // Calls `call` on this thread once `ms` have passed, unless `context` has gone first.
    virtual void after(qint64 ms, QObject *context, std::function<void()> call) const
    {
        QTimer::singleShot(ms, context, std::move(call));
    }
};

// A wait for something that may come back in time: `call` runs once the time has passed,
// unless the wait was called off or started again first. Its timer holds no pointer to it, so
// that it may move (in a hash, say).
class Waiting {
public:
    void start(const Clock &clock, qint64 ms, QObject *context, std::function<void()> call)
    {
        token_ = std::make_shared<char>();
        clock.after(ms, context, [token = std::weak_ptr(token_), call = std::move(call)] {
            if (!token.expired())
                call();
        });
    }
    void cancel() { token_.reset(); }
    bool waiting() const { return token_ != nullptr; }

private:
    std::shared_ptr<char> token_;
};

class SystemClock final : public Clock {
public:
    SystemClock() { started_.start(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 monotonicMs() const override { return started_.elapsed(); }
    // Every frame is stamped with it; asking the time zone each time reads the zone file, so
    // its offset is kept for the current minute (offsets change on whole minutes only).
    double timeOfDay() const override
    {
        const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
        if (utcMs / 60000 != offsetMinute_) {
            offsetMinute_ = utcMs / 60000;
            offsetSeconds_ = QDateTime::fromMSecsSinceEpoch(utcMs).offsetFromUtc();
        }
        const qint64 local = utcMs / 1000 + offsetSeconds_;
        return ((local % 86400) + 86400) % 86400 / 86400.0;
    }

private:
    QElapsedTimer started_;
    mutable qint64 offsetMinute_ = -1;
    mutable int offsetSeconds_ = 0;
};
